// The page editor's life: showing, adding, changing, cancelling, deleting and importing pages, with the
// page list, the page-name table and the category's navigation kept in step.
#include "commands/commands.h"
#include "commands/fragmentedit.h"
#include "commands/pageeditor.h"

#include "pagesite.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

void type(MainState& state, const QString& title, const QString& body) {
    state.controls.tTitre = title;
    state.controls.tTexte = body;
    tTexte_Change(state);
}

// Adds a page through "Ajouter" and OK; returns the path written.
QString addPage(PageSite& s, const QString& title, const QString& body = QStringLiteral("texte")) {
    tAjouter_Click(s.state);
    type(s.state, title, body);
    return tOk_Click(s.state);
}

// A category "D/C" holding three pages listed in the table as 1.htm, 2.htm, 3.htm.
void threePages(PageSite& s) {
    s.page("D/C/1.htm", "Gamma");
    s.page("D/C/2.htm", "alpha");
    s.page("D/C/3.htm", "Beta");
    s.openCategory("D", "C");
    ASSERT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Beta=3.htm", "Gamma=1.htm"}));
}

} // namespace

TEST(PageShow, SelectingAPageShowsItsListTitleAndItsBody) {
    PageSite s;
    s.page("D/C/1.htm", "Titre du fichier", "<P>Un</P>");
    s.openCategory("D", "C");
    s.state.tListe.select(0);
    tListe_Click(s.state);
    EXPECT_EQ(s.state.controls.tTitre, "Titre du fichier");
    EXPECT_EQ(s.state.controls.tTexte, "<P>Un</P>");
    EXPECT_TRUE(s.state.controls.tModifierEnabled);
    EXPECT_TRUE(s.state.controls.tSupprimerEnabled);

    // The file went away since the listing: the message names it, nothing is shown, and "Modifier"
    // stays off so that OK cannot write a page that was never read.
    QFile::remove(s.at("D/C/1.htm"));
    s.state.tListe.select(0);
    tListe_Click(s.state);
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(
        s.dialogs.messages()[0].startsWith("Je ne peux pas lire le fichier \"" + s.at("D/C/1.htm") + "\""))
        << s.dialogs.messages()[0];
    EXPECT_EQ(s.state.controls.tTitre, "");
    EXPECT_EQ(s.state.controls.tTexte, "");
    EXPECT_FALSE(s.state.controls.tModifierEnabled);
    EXPECT_TRUE(s.state.controls.tSupprimerEnabled);
}

TEST(PageEdit, AddingLocksTheListsUntilOkOrRenoncer) {
    PageSite s;
    s.page("D/C/1.htm", "Existante", "avant");
    s.openCategory("D", "C");
    s.state.tListe.select(0);
    tListe_Click(s.state);

    tAjouter_Click(s.state);
    const ControlState& c = s.state.controls;
    EXPECT_EQ(s.state.tListe.selectedRow(), -1);
    EXPECT_FALSE(c.catalogueTabEnabled);
    EXPECT_EQ(c.currentTab, Tab::Editor);
    EXPECT_TRUE(c.tOkVisible);
    EXPECT_FALSE(c.tOkEnabled);
    EXPECT_TRUE(c.tAnnulerVisible && c.tAnnulerEnabled);
    EXPECT_EQ(c.tTitre, "Nouveau chapitre");
    EXPECT_EQ(c.tTexte, "");

    // "Renoncer" writes nothing and gives the lists back.
    type(s.state, "Brouillon", "perdu");
    tAnnuler_Click(s.state);
    EXPECT_TRUE(c.catalogueTabEnabled);
    EXPECT_EQ(c.currentTab, Tab::Catalogue);
    EXPECT_FALSE(c.tOkVisible || c.tAnnulerVisible);
    EXPECT_EQ(c.tTitre, "");
    EXPECT_EQ(QDir(s.at("D/C")).entryList(QDir::Files), QStringList{"1.htm"});

    // Cancelling a change of a page shows it again as it is on disk.
    s.state.tListe.select(0);
    tListe_Click(s.state);
    tModifier_Click(s.state);
    EXPECT_EQ(c.tTexteHead, "Bientôt, on pourra éditer l'en-tête...");
    EXPECT_EQ(c.tTexteFoot, "Bientôt, on pourra éditer le pied de page...");
    EXPECT_FALSE(c.tTexteHeadEnabled || c.tTexteFootEnabled);
    type(s.state, "Existante", "changé");
    tAnnuler_Click(s.state);
    EXPECT_EQ(c.tTexte, "avant");
    EXPECT_EQ(c.tTitre, "Existante");
    EXPECT_TRUE(c.tTexteHeadEnabled && c.tTexteFootEnabled);
    // The boxes' notes go with the edit.
    EXPECT_EQ(c.tTexteHead + c.tTexteFoot, "");
}

TEST(PageEdit, AfterAFragmentEditModifierTakesThePageFromDisk) {
    PageSite s;
    s.page("D/C/1.htm", "Page", "texte");
    s.openCategory("D", "C");
    const QByteArray before = readFile(s.at("D/C/1.htm"));
    const ControlState& c = s.state.controls;
    // The page is shown, then the header of the home page is edited and saved (or abandoned).
    for (const bool save : {true, false}) {
        s.state.tListe.select(0);
        tListe_Click(s.state);
        ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
        mmod_Click(s.state, FolderCommand::EditHeader);
        EXPECT_EQ(c.tTexte, "C'est en haut qu'il faut écrire !");
        if (save)
            ASSERT_TRUE(HFOK_Click(s.state));
        else
            tAnnuler_Click(s.state);
        EXPECT_EQ(c.tTexteHead + c.tTexteFoot, "") << save;
        EXPECT_NE(c.tTexte, "C'est en haut qu'il faut écrire!");
        // "Modifier" then OK writes the page as it was read, never the fragment editor's note.
        tModifier_Click(s.state);
        EXPECT_EQ(c.tTexte, "texte");
        tTexte_Change(s.state);
        ASSERT_EQ(tOk_Click(s.state), s.at("D/C/1.htm"));
        EXPECT_EQ(s.lines("D/C/1.htm").mid(9, 3), (QStringList{"<!-- BEGIN -->", "texte", "<!-- END -->"}));
    }
    EXPECT_NE(readFile(s.at("D/C/1.htm")), before); // rewritten by the editor, body unchanged
}

TEST(PageEdit, OkIsEnabledByANonBlankTitleAndBodyOrByAnImport) {
    PageSite s;
    s.folder("D/C");
    s.openCategory("D", "C");
    tAjouter_Click(s.state);
    const ControlState& c = s.state.controls;
    type(s.state, "Titre", " \t\r\n ");
    EXPECT_FALSE(c.tOkEnabled);
    type(s.state, "Titre", "x");
    EXPECT_TRUE(c.tOkEnabled);
    type(s.state, "  ", "x");
    EXPECT_FALSE(c.tOkEnabled);
    type(s.state, "deux\nlignes", "x");
    EXPECT_FALSE(c.tOkEnabled);
    tAnnuler_Click(s.state);

    // An import enables OK with a blank body, never with a blank title: a file without one proposes
    // its name.
    writeFile(s.at("import.txt"), "sans titre\r\n");
    s.dialogs.file(s.at("import.txt"));
    ASSERT_TRUE(tImporter_Click(s.state));
    EXPECT_EQ(c.tTitre, "import");
    EXPECT_TRUE(c.tOkEnabled);
    type(s.state, "import", "");
    EXPECT_TRUE(c.tOkEnabled);
    type(s.state, " ", "x");
    EXPECT_FALSE(c.tOkEnabled);
    EXPECT_EQ(tOk_Click(s.state), "");
    EXPECT_EQ(s.dialogs.messages(), QStringList{"Donnez à la page un titre d'une seule ligne : une page sans "
                                                "titre n'apparaîtrait dans aucune liste."});
    EXPECT_TRUE(c.tOkVisible);
    EXPECT_EQ(QDir(s.at("D/C")).entryList({"*.htm"}, QDir::Files), QStringList{});
}

TEST(PageSave, ChangingATitleKeepsTheFileAndMovesTheEntry) {
    PageSite s;
    threePages(s);
    s.state.tListe.select(s.pageRow("alpha"));
    tListe_Click(s.state);
    tModifier_Click(s.state);
    type(s.state, "Zèbre", "nouveau");
    EXPECT_EQ(tOk_Click(s.state), s.at("D/C/2.htm"));
    EXPECT_EQ(s.listing(), (QStringList{"Beta=3.htm", "Gamma=1.htm", "Zèbre=2.htm"}));
    EXPECT_EQ(s.state.tListe.selectedText(), "Zèbre");
    EXPECT_EQ(s.state.controls.currentTab, Tab::Catalogue);
    EXPECT_TRUE(s.state.controls.catalogueTabEnabled);
    EXPECT_EQ(QDir(s.at("D/C")).entryList({"*.htm"}, QDir::Files).size(), 5); // 3 pages, Index, IndexG
    EXPECT_EQ(s.navigation("D/C/"), (QStringList{"3.htm|Beta", "1.htm|Gamma", "2.htm|Zèbre"}));
}

TEST(PageSave, EverySaveRegeneratesTheCategoryAndNamesItInTheFoot) {
    PageSite s;
    s.folder("D/C");
    s.openCategory("D", "C");
    addPage(s, "Premier");
    addPage(s, "Second");
    EXPECT_EQ(s.state.currentCategory, "");
    EXPECT_EQ(s.navigation("D/C/"), (QStringList{"1.htm|Premier", "2.htm|Second"}));
    const QString link = "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index C</A></TD>";
    EXPECT_EQ(s.lines("D/C/1.htm").value(18), link);
    EXPECT_EQ(s.lines("D/C/2.htm").value(18), link);
    EXPECT_EQ(s.listing(), (QStringList{"Premier=1.htm", "Second=2.htm"}));
}

TEST(PageSave, AFileThatCannotBeWrittenLosesNothing) {
    PageSite s;
    s.page("D/C/1.htm", "Existante");
    s.openCategory("D", "C");
    ReadOnlyFolder locked(s.at("D/C"));
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    tAjouter_Click(s.state);
    type(s.state, "Nouvelle", "à garder");
    EXPECT_EQ(tOk_Click(s.state), "");
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(
        s.dialogs.messages()[0].startsWith("Je ne peux pas écrire le fichier \"" + s.at("D/C/2.htm") + "\""))
        << s.dialogs.messages()[0];
    // Still editing, with the text typed; the list and the table as they were.
    EXPECT_TRUE(s.state.controls.tOkVisible);
    EXPECT_FALSE(s.state.controls.catalogueTabEnabled);
    EXPECT_EQ(s.state.controls.tTitre, "Nouvelle");
    EXPECT_EQ(s.state.controls.tTexte, "à garder");
    EXPECT_EQ(s.listing(), QStringList{"Existante=1.htm"});
    EXPECT_EQ(s.state.pageNames, (QStringList{"", "1.htm"}));
}

TEST(PageDelete, TheTableClosesTheGapAndTheNumbersFollow) {
    PageSite s;
    threePages(s);
    s.state.tListe.select(s.pageRow("Beta"));
    tListe_Click(s.state);
    ASSERT_TRUE(tSupprimer_Click(s.state));
    EXPECT_EQ(s.state.pageNames, (QStringList{"", "1.htm", "2.htm"}));
    EXPECT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Gamma=1.htm"}));
    EXPECT_EQ(s.state.controls.tTitre, "");
    EXPECT_FALSE(s.exists("D/C/3.htm"));
    EXPECT_TRUE(QDir(trashFolder()).entryList().contains("3.htm"));
    EXPECT_EQ(s.navigation("D/C/"), (QStringList{"2.htm|alpha", "1.htm|Gamma"}));
    EXPECT_TRUE(s.dialogs.messages().isEmpty());

    // The second of three numbers, once more, with the first row: 1 goes, 2 becomes 1.
    s.state.tListe.select(s.pageRow("Gamma"));
    ASSERT_TRUE(tSupprimer_Click(s.state));
    EXPECT_EQ(s.listing(), QStringList{"alpha=2.htm"});
    EXPECT_EQ(s.state.tListe.number(0), 1);
}

TEST(PageDelete, AMissingFileLeavesTheListAndAStuckOneStays) {
    PageSite s;
    threePages(s);
    QFile::remove(s.at("D/C/1.htm"));
    s.state.tListe.select(s.pageRow("Gamma"));
    ASSERT_TRUE(tSupprimer_Click(s.state));
    EXPECT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Beta=3.htm"}));
    EXPECT_EQ(s.state.pageNames, (QStringList{"", "2.htm", "3.htm"}));
    EXPECT_TRUE(s.dialogs.messages().isEmpty());

    ReadOnlyFolder locked(s.at("D/C"));
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    s.state.tListe.select(s.pageRow("Beta"));
    EXPECT_FALSE(tSupprimer_Click(s.state));
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_EQ(s.dialogs.messages()[0], "Je ne peux pas mettre le fichier \"" + s.at("D/C/3.htm") +
                                           "\" à la corbeille : la page \"Beta\" est conservée.");
    EXPECT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Beta=3.htm"}));
    EXPECT_TRUE(s.exists("D/C/3.htm"));
}

TEST(PageEdit, AfterAnIndependentFileTheListStillMatchesAndAjouterWritesIntoTheCategory) {
    PageSite s;
    threePages(s);
    s.state.tListe.select(s.pageRow("Beta"));
    tListe_Click(s.state);
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    mmod_Click(s.state, FolderCommand::NewIndependentFile);
    type(s.state, "Libre", "dans la racine");
    EXPECT_EQ(tOk_Click(s.state), s.at("1.htm"));
    EXPECT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Beta=3.htm", "Gamma=1.htm"}));
    // The page selected before is shown again, not the independent file.
    EXPECT_EQ(s.state.controls.tTitre, "Beta");
    EXPECT_EQ(s.state.controls.tTexte, "corps");

    EXPECT_EQ(addPage(s, "Delta"), s.at("D/C/4.htm"));
    EXPECT_EQ(s.listing(), (QStringList{"alpha=2.htm", "Beta=3.htm", "Delta=4.htm", "Gamma=1.htm"}));
}

TEST(PageEdit, DoubleClickModifiesExceptInReadOnlyMode) {
    PageSite s;
    s.page("D/C/1.htm", "Page");
    s.openCategory("D", "C");
    s.state.tListe.select(0);
    tListe_Click(s.state);
    s.state.controls.tModifierVisible = false; // read-only mode hides "Modifier"
    tListe_DblClick(s.state);
    EXPECT_FALSE(s.state.controls.tOkVisible);
    s.state.controls.tModifierVisible = true;
    tListe_DblClick(s.state);
    EXPECT_TRUE(s.state.controls.tOkVisible);
    EXPECT_EQ(s.state.controls.tTitre, "Page");
}

TEST(PageImport, ImportedFileBecomesANewPageOfTheCategory) {
    PageSite s;
    s.page("D/C/1.htm", "Existante");
    s.openCategory("D", "C");
    writeFile(s.at("../notes.html"), crlf({"<HTML><HEAD><TITLE>Notes</TITLE></HEAD>", "<BODY>",
                                           "&lt;i&GT;Hello", "</BODY></HTML>"}));
    s.dialogs.file(s.at("../notes.html"));
    ASSERT_TRUE(tImporter_Click(s.state));
    const ScriptedDialogs::Call& chooser = s.dialogs.calls().back();
    EXPECT_EQ(chooser.extra, s.root() + "|Fichiers HTML (*.htm *.html *.shtm *.shtml);;Text (*.txt)");
    const ControlState& c = s.state.controls;
    EXPECT_TRUE(s.state.imported);
    EXPECT_EQ(c.tTitre, "Notes");
    EXPECT_EQ(c.tTexte, "\r\n<BODY>\r\n&lt;i&GT;Hello\r\n");
    EXPECT_TRUE(c.tOkVisible && c.tOkEnabled);
    EXPECT_FALSE(c.catalogueTabEnabled);
    EXPECT_EQ(c.currentTab, Tab::Editor);
    EXPECT_EQ(tOk_Click(s.state), s.at("D/C/2.htm"));
    EXPECT_EQ(s.listing(), (QStringList{"Existante=1.htm", "Notes=2.htm"}));
}

TEST(PageImport, CancelOrAnUnreadableFileChangesNothing) {
    PageSite s;
    s.folder("D/C");
    s.openCategory("D", "C");
    s.dialogs.file("");
    EXPECT_FALSE(tImporter_Click(s.state));
    s.dialogs.file(s.at("disparu.htm"));
    EXPECT_FALSE(tImporter_Click(s.state));
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(
        s.dialogs.messages()[0].startsWith("Je ne peux pas lire le fichier \"" + s.at("disparu.htm")));
    EXPECT_FALSE(s.state.imported);
    EXPECT_TRUE(s.state.controls.catalogueTabEnabled);
    EXPECT_FALSE(s.state.controls.tOkVisible);

    // From the domain menu, a cancelled import leaves no target behind: "Ajouter" still writes into
    // the category.
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.file("");
    mmod_Click(s.state, FolderCommand::ImportIndependentFile);
    EXPECT_EQ(s.state.editTarget, EditTarget::CategoryPage);
    EXPECT_EQ(addPage(s, "Page"), s.at("D/C/1.htm"));
}

TEST(PageDelete, ANewAccountWithoutADataFolderStillGetsATrash) {
    PageSite s;
    s.page("D/C/1.htm", "Page");
    s.openCategory("D", "C");
    const QByteArray dataBefore = qgetenv("XDG_DATA_HOME");
    const QString cwdBefore = QDir::currentPath();
    makeDir(s.dir("cwd"));
    qputenv("XDG_DATA_HOME", s.dir("data/not-yet").toLocal8Bit());
    QDir::setCurrent(s.dir("cwd"));
    s.state.tListe.select(0);
    const bool deleted = tSupprimer_Click(s.state);
    const QStringList trashed = QDir(trashFolder()).entryList(QDir::Files);
    QDir::setCurrent(cwdBefore);
    qputenv("XDG_DATA_HOME", dataBefore);

    EXPECT_TRUE(deleted);
    EXPECT_EQ(trashed, QStringList{"1.htm"});
    EXPECT_EQ(QDir(s.dir("cwd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}
