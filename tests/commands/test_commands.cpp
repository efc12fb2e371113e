// The domain and category commands: add, right click, and the context menus' copy, rename, delete,
// fragment and independent-file entries.
#include "commands/commands.h"
#include "commands/fragmentedit.h"
#include "commands/pageeditor.h"
#include "generate/fragments.h"

#include "pagesite.h"

#include <gtest/gtest.h>

#include <QDirIterator>

using namespace qs;
using namespace qs::test;

namespace {

// Every file below a folder but the generated index pages, relative and sorted, with its size: what a
// copy or a rename must keep.
QStringList tree(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() != u"Index.htm" && it.fileName() != u"IndexG.htm")
            out.append(path.mid(folder.size()) + u':' + QString::number(QFileInfo(path).size()));
    }
    out.sort();
    return out;
}

// A site with domains A (categories C1 with two pages, C2) and B (category X).
void twoDomains(PageSite& s) {
    s.page("A/C1/1.htm", "Un");
    s.page("A/C1/2.htm", "Deux");
    s.folder("A/C2");
    s.folder("B/X");
    writeFile(s.at("A/notes.txt"), "notes");
    s.open();
}

const QString kInvalid =
    QStringLiteral("Ce nom est incorrect (ou contient des caractères incorrects)\r\n\r\n"
                   "Donnez un nom qui puisse être utilisé comme nom de dossier sur ce système.");

} // namespace

TEST(ContextMenu, RightClickSelectsTheRowOrBeepsBelowTheLast) {
    PageSite s;
    twoDomains(s);
    EXPECT_FALSE(dListe_MouseUp(s.state, Qt::RightButton, 2));
    EXPECT_EQ(s.dialogs.log(), QStringList{"beep"});
    EXPECT_EQ(s.state.ListeCourante, nullptr);
    EXPECT_FALSE(dListe_MouseUp(s.state, Qt::LeftButton, 1));
    EXPECT_EQ(s.state.dListe.selectedRow(), -1);

    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 1));
    EXPECT_EQ(s.state.dListe.selectedText(), "B");
    EXPECT_EQ(s.state.cListe.texts(), QStringList{"X"});
    EXPECT_EQ(s.state.currentDomain, "B");
    EXPECT_EQ(s.state.ListeCourante, &s.state.dListe);

    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    EXPECT_EQ(s.state.currentCategory, "X");
    EXPECT_EQ(s.state.ListeCourante, &s.state.cListe);
    EXPECT_FALSE(cListe_MouseUp(s.state, Qt::RightButton, -1));
    EXPECT_EQ(s.dialogs.calls().back().kind, ScriptedDialogs::Kind::Beep);

    EXPECT_EQ(folderMenu()[3].caption, "Ajouter un fichier indépendant");
}

TEST(ContextMenu, WithoutAListTheDomainMenuWarnsAndTheCategoryMenuEnds) {
    PageSite s;
    twoDomains(s);
    s.clickDomain("A");
    EXPECT_EQ(mmod_Click(s.state, FolderCommand::Delete), CommandOutcome::Done);
    EXPECT_EQ(s.dialogs.messages(),
              QStringList{"Erreur de programmation : \"ListeCourante\" n'est pas définie !"});
    EXPECT_EQ(mod2_Click(s.state, FolderCommand::Delete), CommandOutcome::EndProgram);
    EXPECT_EQ(s.dialogs.messages().last(), "Erreur : ListeCourante pas définie !");
    EXPECT_TRUE(s.exists("A"));
}

TEST(DomainAdd, RefusesATakenNameWhateverItsCaseAndSelectsTheNewDomain) {
    PageSite s;
    twoDomains(s);
    s.state.controls.tFichier.clear();
    s.dialogs.answer("a").answer("  Nouveau  ").answer("Première");
    dAjouter_Click(s.state);
    EXPECT_EQ(s.dialogs.texts(),
              (QStringList{"Nom du nouveau domaine :", "Ce domaine existe déjà ! Saisissez un autre nom.",
                           "Nom du nouveau domaine :", "Nom de la nouvelle catégorie :"}));
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"A", "B", "Nouveau"}));
    EXPECT_EQ(s.state.dListe.selectedText(), "Nouveau");
    EXPECT_EQ(s.state.cListe.selectedText(), "Première");
    EXPECT_TRUE(DossierExiste(s.at("Nouveau/Première")));
    // With no address shown, the site's address is stored and shown.
    EXPECT_EQ(ParamètreLire("Adresse"), s.root() + "Index.htm");
    EXPECT_EQ(ParamètreLire("Dossier"), s.root());
    EXPECT_EQ(s.state.controls.tFichier, s.root() + "Index.htm");
}

TEST(DomainCopy, NewNameCopiesTheContentAnExistingOneReceivesASubFolder) {
    PageSite s;
    twoDomains(s);
    s.page("B/X/1.htm", "Ex");
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.answer("../ailleurs").answer("Copie");
    mmod_Click(s.state, FolderCommand::Copy);
    const QList<ScriptedDialogs::Call>& calls = s.dialogs.calls();
    EXPECT_EQ(calls[0].text, "Nouveau nom de domaine où copier \"A\" :");
    EXPECT_EQ(calls[0].title, "Copier le domaine");
    EXPECT_EQ(s.dialogs.messages(), (QStringList{kInvalid, "3 fichier(s) copié(s)"}));
    EXPECT_FALSE(QFileInfo::exists(s.at("../ailleurs")));
    EXPECT_EQ(tree(s.at("Copie/")), tree(s.at("A/")));
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"A", "B", "Copie"}));
    EXPECT_EQ(s.state.dListe.selectedText(), "Copie");
    EXPECT_GT(s.dialogs.busyEntries(), 0);
    EXPECT_EQ(s.dialogs.busyDepth(), 0);
    // The home page was rewritten with the new domain.
    EXPECT_TRUE(s.lines("Index.htm").contains("<A HREF=\"Copie/Index.htm\" TARGET=\"_top\">Copie</A>"));

    s.dialogs.clear();
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 1));
    s.dialogs.answer("A");
    mmod_Click(s.state, FolderCommand::Copy);
    EXPECT_EQ(s.dialogs.messages(), QStringList{"1 fichier(s) copié(s)"}) << s.dialogs.messages().join("\n");
    EXPECT_TRUE(DossierExiste(s.at("A/B/X")));
    EXPECT_EQ(s.state.dListe.selectedText(), "A");
}

TEST(DomainRename, MovesTheContentAndRefusesNamesThatWouldLoseIt) {
    PageSite s;
    twoDomains(s);
    s.clickDomain("A");
    s.clickCategory("C1");
    const QStringList before = tree(s.at("A/"));
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    s.folder("images");
    s.dialogs.answer("a").answer("b").answer("IMAGES").answer("Alpha");
    mmod_Click(s.state, FolderCommand::Rename);
    EXPECT_EQ(s.dialogs.calls()[0].text, "Nouveau nom du domaine \"A\" :");
    EXPECT_EQ(
        s.dialogs.messages(),
        (QStringList{
            "Le domaine s'appelle déjà \"A\".\r\n\r\nDonnez un autre nom.",
            "Le site a déjà un dossier \"B\" : le domaine \"A\" ne peut pas prendre ce nom.\r\n\r\n"
            "Donnez un autre nom.",
            "Le site a déjà un dossier \"images\" : le domaine \"A\" ne peut pas prendre ce nom.\r\n\r\n"
            "Donnez un autre nom.",
            "3 fichier(s) déplacé(s)"}));
    EXPECT_FALSE(s.exists("A"));
    EXPECT_EQ(tree(s.at("Alpha/")), before);
    EXPECT_TRUE(s.exists("Alpha/C1/2.htm"));
    EXPECT_TRUE(s.exists("images"));
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"Alpha", "B"}));
    EXPECT_EQ(s.state.dListe.selectedText(), "Alpha");
    EXPECT_TRUE(QDir(trashFolder()).entryList().isEmpty()); // the folder itself was renamed
    EXPECT_TRUE(s.lines("Alpha/C1/IndexG.htm").contains("<TITLE>Alpha / C1</TITLE>"));
    EXPECT_TRUE(s.lines("Alpha/C2/IndexG.htm").contains("<TITLE>Alpha / C2</TITLE>"));
    EXPECT_EQ(s.state.cListe.selectedRow(), -1);
}

TEST(DomainDelete, AsksFirstAndAfterTheLastDomainAsksForANewOne) {
    PageSite s;
    twoDomains(s);
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 1));
    s.dialogs.no();
    EXPECT_EQ(mmod_Click(s.state, FolderCommand::Delete), CommandOutcome::Done);
    const ScriptedDialogs::Call& question = s.dialogs.calls().back();
    EXPECT_EQ(question.text, "Êtes-vous sûr de vouloir supprimer le domaine \"B\" ?");
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_EQ(question.title, "Attention");
    EXPECT_TRUE(s.exists("B/X"));

    s.dialogs.yes();
    EXPECT_EQ(mmod_Click(s.state, FolderCommand::Delete), CommandOutcome::Done);
    EXPECT_FALSE(s.exists("B"));
    EXPECT_EQ(s.state.dListe.texts(), QStringList{"A"});
    EXPECT_EQ(s.state.dListe.selectedRow(), -1);
    EXPECT_EQ(s.state.cListe.count(), 0);
    EXPECT_FALSE(s.lines("Index.htm").join("").contains("B/Index.htm"));

    // The last one: a new domain is asked for at once; no answer ends the program.
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.yes().answer("");
    EXPECT_EQ(mmod_Click(s.state, FolderCommand::Delete), CommandOutcome::EndProgram);
    EXPECT_EQ(s.dialogs.texts().last(), "Nom du nouveau domaine :");
    EXPECT_EQ(s.dialogs.pending(), 0);
    EXPECT_TRUE(s.dialogs.messages().isEmpty()); // nothing failed writing into the deleted domains
}

TEST(FragmentMenu, HeaderAndFooterEntriesOpenTheirFragment) {
    PageSite s;
    twoDomains(s);
    writeFile(s.at("head_d.txt"), "<P>haut</P>\r\n");
    writeFile(s.at("foot_c.txt"), "bas\r\n");
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    mmod_Click(s.state, FolderCommand::EditHeader);
    const ControlState& c = s.state.controls;
    EXPECT_EQ(s.state.fragmentPath, s.at("head_d.txt"));
    EXPECT_EQ(c.tTexteHead, "\r\n<P>haut</P>");
    EXPECT_EQ(c.tTexteFoot, "C'est en haut qu'il faut écrire !");
    EXPECT_FALSE(c.catalogueTabEnabled);
    EXPECT_TRUE(c.HFOKVisible && c.tAnnulerVisible);

    // "Renoncer" leaves the fragment editor too.
    tAnnuler_Click(s.state);
    EXPECT_FALSE(c.HFOKVisible || c.tAnnulerVisible);
    EXPECT_EQ(s.state.fragmentPath, "");
    EXPECT_TRUE(c.catalogueTabEnabled && c.tTexteEnabled && c.tTexteHeadEnabled);

    s.clickDomain("A");
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    mod2_Click(s.state, FolderCommand::EditFooter);
    EXPECT_EQ(s.state.fragmentPath, s.at("foot_c.txt"));
    EXPECT_EQ(c.tTexteFoot, "\r\nbas");
    s.state.controls.tTexteFoot = "bas\r\nencore";
    ASSERT_TRUE(HFOK_Click(s.state));
    EXPECT_EQ(readFile(s.at("foot_c.txt")), "bas\r\nencore\r\n");
}

TEST(CategoryCopy, CopiesWithinTheDomainAndLeavesNothingSelected) {
    PageSite s;
    twoDomains(s);
    s.clickDomain("A");
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    ASSERT_EQ(s.state.tListe.count(), 2);
    s.dialogs.answer("Copie");
    mod2_Click(s.state, FolderCommand::Copy);
    EXPECT_EQ(s.dialogs.calls()[0].text, "Donnez un nouveau nom : ");
    EXPECT_TRUE(s.exists("A/Copie/1.htm") && s.exists("A/Copie/2.htm"));
    EXPECT_EQ(s.state.cListe.texts(), (QStringList{"C1", "C2", "Copie"}));
    EXPECT_EQ(s.state.cListe.selectedRow(), -1);
    EXPECT_EQ(s.state.tListe.count(), 0);
    EXPECT_FALSE(s.state.controls.tAjouterEnabled || s.state.controls.ImgIndexEnabled);
    EXPECT_TRUE(s.dialogs.messages().isEmpty()); // no count for categories
    // The domain's index lists the copy (the home page was rewritten, and the domain with it).
    EXPECT_TRUE(s.lines("A/Index.htm").contains("<A HREF=\"Copie/Index.htm\">Copie</A><BR>"));

    // Under the name of another category, it goes inside it.
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.answer("c2");
    mod2_Click(s.state, FolderCommand::Copy);
    EXPECT_TRUE(s.exists("A/C2/C1/1.htm"));
}

TEST(CategoryRename, ShowsTheNameRefusesItsOwnAndKeepsTheContent) {
    PageSite s;
    twoDomains(s);
    s.clickDomain("A");
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.answer("C1").answer("c2").answer("");
    mod2_Click(s.state, FolderCommand::Rename);
    EXPECT_EQ(s.dialogs.calls()[0].text, "Le nom de la catégorie actuelle est : C1\r\n\r\nNouveau nom :");
    EXPECT_EQ(
        s.dialogs.messages(),
        (QStringList{"La catégorie s'appelle déjà \"C1\".\r\n\r\nDonnez un autre nom.",
                     "Le domaine \"A\" a déjà un dossier \"C2\" : la catégorie \"C1\" ne peut pas prendre ce "
                     "nom.\r\n\r\nDonnez un autre nom."}));
    // Abandoned: what is current follows the selections.
    EXPECT_EQ(s.state.currentDomain, "A");
    EXPECT_EQ(s.state.currentCategory, "C1");
    EXPECT_TRUE(s.exists("A/C1/1.htm"));

    s.dialogs.clear();
    s.dialogs.answer("Guide");
    mod2_Click(s.state, FolderCommand::Rename);
    EXPECT_FALSE(s.exists("A/C1"));
    EXPECT_TRUE(s.exists("A/Guide/1.htm") && s.exists("A/Guide/2.htm"));
    EXPECT_EQ(s.state.cListe.texts(), (QStringList{"C2", "Guide"}));
    EXPECT_EQ(s.state.cListe.selectedRow(), -1);
    EXPECT_TRUE(s.dialogs.messages().isEmpty()) << s.dialogs.messages().join("\n");
    // The pages generated under the old name were rewritten under the new one.
    EXPECT_TRUE(s.lines("A/Guide/IndexG.htm").contains("<TITLE>A / Guide</TITLE>"));
    EXPECT_EQ(s.navigation("A/Guide/"), (QStringList{"2.htm|Deux", "1.htm|Un"}));
}

TEST(CategoryDelete, TheLastCategoryAsksForANewOneOrLeavesNoDomainSelected) {
    PageSite s;
    twoDomains(s);
    s.clickDomain("B");
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.no();
    mod2_Click(s.state, FolderCommand::Delete);
    EXPECT_EQ(s.dialogs.calls().back().text, "Êtes-vous sûr de vouloir supprimer cette catégorie ?");
    EXPECT_TRUE(s.exists("B/X"));

    s.dialogs.yes().answer("Y");
    mod2_Click(s.state, FolderCommand::Delete);
    EXPECT_FALSE(s.exists("B/X"));
    EXPECT_EQ(s.state.cListe.texts(), QStringList{"Y"});
    EXPECT_EQ(s.state.cListe.selectedText(), "Y");
    EXPECT_TRUE(s.state.controls.tAjouterEnabled); // the new category is ready for pages
    EXPECT_TRUE(s.lines("B/Index.htm").contains("<A HREF=\"Y/Index.htm\">Y</A><BR>"));

    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.yes().answer("");
    mod2_Click(s.state, FolderCommand::Delete);
    EXPECT_EQ(s.state.dListe.selectedRow(), -1);
    EXPECT_EQ(s.state.cListe.count(), 0);
    EXPECT_FALSE(s.state.controls.cAjouterEnabled);
}
