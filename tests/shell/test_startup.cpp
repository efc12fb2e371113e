// Start-up, closing and the File menu's site commands, answered through ScriptedDialogs.
#include "commands/selection.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "shellfixture.h"
#include "site/listing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qs;
using namespace qs::test;

namespace {

class Startup : public ::testing::Test, public ShellFixture {
protected:
    // A site already open, as start-up leaves it.
    QString openSite(const QString& name, const QStringList& domains) {
        const QString site = makeSite(name, domains);
        storeSite(site + "Index.htm");
        shell->Form_Load();
        return site;
    }
    void click(const QString& domain) {
        state->dListe.select(state->dListe.find(domain));
        dListe_Click(*state);
    }
};

} // namespace

TEST_F(Startup, FirstLaunchAsksForANewSiteAndCancellingLeavesEmptyLists) {
    TempDir cwd;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    dialogs.answer(QString());
    shell->Form_Load();
    EXPECT_EQ(dialogs.log(), (QStringList{"message: Vous devez créer un nouveau site...",
                                          "prompt Nouveau site: Nom du nouveau site :"}));
    EXPECT_EQ(state->dListe.count() + state->cListe.count() + state->tListe.count(), 0);
    EXPECT_FALSE(shell->programEnded);
    EXPECT_EQ(domainPrompts, 0);
    EXPECT_EQ(state->controls.currentTab, Tab::Catalogue);
    EXPECT_EQ(settings("Adresse Modification"), "Adresse= Modification="); // nothing else is loaded
    // Without a site, Save, Refresh and closing write nothing anywhere.
    shell->mnuFileSave_Click();
    shell->mnuViewRefresh_Click();
    const WindowGeometry g{10, 20, 900, 600};
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_TRUE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(dialogs.calls().size(), 2);
    QDir::setCurrent(previous);
}

TEST_F(Startup, FirstLaunchCreatesTheSiteInTheProgramFolder) {
    dialogs.answer("Mon site");
    domainsToAdd = {"Accueil"};
    shell->Form_Load();
    const QString site = program + "Mon site/";
    EXPECT_EQ(setting("Adresse"), site + "Index.htm");
    EXPECT_EQ(setting("Répertoire"), site);
    EXPECT_EQ(state->values.Répertoire, site);
    EXPECT_EQ(state->controls.tFichier, site + "Index.htm");
    for (const char* name : {"head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt",
                             "images/logo.gif", "Index.html", "Index.htm"})
        EXPECT_TRUE(QFile::exists(site + QLatin1String(name))) << name;
    // The link-type levels are not New Site's.
    EXPECT_EQ(
        settings("Indexer CouleurFond(rrggbb) CouleurTexte(rrggbb) Modification NiveauRep LastOpen NivImg"),
        "Indexer=Non CouleurFond(rrggbb)=F0F0FF CouleurTexte(rrggbb)=000090 Modification=Oui NiveauRep=4 "
        "LastOpen= NivImg=");
    // The window ends on the new domain.
    EXPECT_EQ(state->dListe.texts(), QStringList{"Accueil"});
    EXPECT_EQ(state->dListe.selectedText(), "Accueil");
    EXPECT_EQ(state->cListe.count(), 1);
    EXPECT_EQ(domainPrompts, 1);
    EXPECT_EQ(browsed, QStringList{site + "Index.htm"});
    EXPECT_EQ(explored, 1);
    EXPECT_FALSE(shell->programEnded);
}

TEST_F(Startup, ASiteNameInUseIsAskedAgain) {
    makeDir(program + "Doc");
    dialogs.answer("Doc").answer("  Doc 2 ");
    domainsToAdd = {"D"};
    shell->mnuFileNew_Click();
    EXPECT_EQ(dialogs.log().value(1), "message(!) Erreur: Ce domaine existe déjà ! Saisissez un autre nom.");
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(setting("Adresse"), program + "Doc 2/Index.htm");
    EXPECT_FALSE(QFile::exists(program + "Doc/head_d.txt"));
}

TEST_F(Startup, AProgramFolderThatTakesNoSiteIsSaidSo) {
    ReadOnlyFolder locked(withoutSeparator(program));
    if (!locked.active())
        GTEST_SKIP() << "the folder cannot be made read-only here";
    shell->mnuFileNew_Click();
    EXPECT_EQ(dialogs.log(),
              QStringList{"message(!) Erreur: Impossible de créer un site dans le dossier du "
                          "programme :\r\n" +
                          program +
                          "\r\n\r\nCe dossier est protégé en écriture. Installez Quillsite dans "
                          "un dossier où vous pouvez écrire."});
    EXPECT_EQ(setting("Adresse"), QString());
}

// A site needs a domain: refused, the program ends (a new site asks twice, a stored one once).
TEST_F(Startup, ASiteWithoutDomainsAsksForOneOrEnds) {
    dialogs.answer("Vide");
    shell->mnuFileNew_Click();
    EXPECT_EQ(QList<int>({domainPrompts, windowShown, endRequests, shell->programEnded}),
              QList<int>({2, 1, 1, 1}));
    ShellFixture stored;
    const QString site = stored.makeSite("vide", {});
    stored.storeSite(site + "Index.htm");
    stored.shell->Form_Load();
    EXPECT_EQ(QList<int>(
                  {stored.domainPrompts, stored.windowShown, stored.endRequests, stored.shell->programEnded}),
              QList<int>({1, 1, 1, 1}));
    ShellFixture second;
    second.storeSite(site + "Index.htm");
    second.domainsToAdd = {"Premier"};
    second.shell->Form_Load();
    EXPECT_FALSE(second.shell->programEnded);
    EXPECT_EQ(second.state->dListe.texts(), QStringList{"Premier"});
    EXPECT_TRUE(QFile::exists(site + "head_d.txt"));
}

TEST_F(Startup, AStoredSiteIsOpenedWithItsSettings) {
    const QString site = makeSite("doc", {"Zeta", "alpha", "images", "ReadOnly", ".cache"});
    storeSite(site + "Index.htm");
    store("NivZip", "0");
    store("Modification", "Non");
    store("LastOpen", "/ailleurs/Index.htm");
    store("Indexer", "Oui");
    shell->Form_Load();
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(state->dListe.texts(), (QStringList{"alpha", "Zeta"}));
    EXPECT_EQ(state->values.Répertoire, site);
    // Not indexed (no "Recent.htm"): "Indexer" is reset.
    EXPECT_EQ(settings("Indexer NiveauRep Modification CouleurTitre(rrggbb)"),
              "Indexer=Non NiveauRep=4 Modification=Non CouleurTitre(rrggbb)=509000");
    EXPECT_FALSE(state->controls.tModifierVisible);
    EXPECT_FALSE(state->controls.tSupprimerVisible);
    EXPECT_EQ(state->controls.cType, (std::array<bool, 5>{true, false, true, true, true}));
    EXPECT_TRUE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shell->mnuFileMRU.caption, "&1  /ailleurs/Index.htm");
    EXPECT_EQ(browsed, QStringList{site + "Index.htm"});
    EXPECT_EQ(explored, 1);
    EXPECT_TRUE(QFile::exists(site + "head_d.txt"));
    EXPECT_FALSE(QFile::exists(site + "Index.html")); // start-up generates nothing
    EXPECT_EQ(domainPrompts, 0);
    // An indexed site keeps it, its list named as a Windows disk may name it.
    ShellFixture indexed;
    const QString other = indexed.makeSite("indexe", {"D"});
    writeFile(other + "recent.htm", "<HTML></HTML>\r\n");
    indexed.storeSite(other + "Index.htm");
    store("Indexer", "Oui");
    indexed.shell->Form_Load();
    EXPECT_EQ(setting("Indexer"), "Oui");
}

TEST_F(Startup, UnsavedChangesAskBeforeClosing) {
    const QString site = openSite("edition", {"D"});
    state->controls.tAnnulerVisible = true;
    state->controls.tAnnulerEnabled = true;
    dialogs.no();
    const WindowGeometry g{1, 2, 900, 650};
    EXPECT_FALSE(shell->Form_Unload(&g));
    EXPECT_EQ(dialogs.log(),
              QStringList{"question(?) Attention: Vous n'avez pas validé les modifications "
                          "apportées à ce document !\r\n\r\nVoulez-vous tout de même quitter ?"});
    EXPECT_FALSE(QFile::exists(site + "Index.html"));
    EXPECT_EQ(settings("MainLeft MainTop MainWidth MainHeight"),
              "MainLeft=1 MainTop=2 MainWidth=900 MainHeight=650"); // stored before the question
    dialogs.yes();
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_TRUE(QFile::exists(site + "Index.html"));
    EXPECT_TRUE(QFile::exists(site + "Index.htm"));
    // "Renoncer" shown but disabled: nothing unsaved, no question.
    dialogs.clear();
    state->controls.tAnnulerEnabled = false;
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

// Opening another site notes the one left, writes into it the pages still due, and opens any page.
TEST_F(Startup, OpenNotesTheSiteBeingLeftAndOpensAnyPage) {
    const QString a = openSite("a", {"A1"});
    click("A1");
    ASSERT_EQ(state->currentDomain, "A1");
    const QString b = makeSite("b", {"B1", "B2"});
    const QString page = b + "page.html";
    writeFile(page, "<HTML></HTML>\r\n");
    dialogs.file(QString());
    shell->mnuFileOpen_Click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.calls()[0].extra, a + "|Fichiers HTML (*.htm *.html *.shtm *.shtml)");
    // Cancelled: only "LastOpen" changed.
    EXPECT_EQ(settings("LastOpen Adresse"), "LastOpen=" + a + "Index.htm Adresse=" + a + "Index.htm");
    EXPECT_EQ(state->values.Répertoire, a);
    dialogs.file(page);
    shell->mnuFileOpen_Click();
    EXPECT_EQ(settings("Adresse Répertoire Indexer"),
              "Adresse=" + page + " Répertoire=" + b + " Indexer=Non");
    EXPECT_EQ(state->values.Adresse + '|' + state->controls.tFichier + '|' + browsed.last(),
              page + '|' + page + '|' + page);
    EXPECT_EQ(state->dListe.texts(), (QStringList{"B1", "B2"}));
    EXPECT_TRUE(QFile::exists(b + "head_d.txt"));
    EXPECT_TRUE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shell->mnuFileMRU.tag, a + "Index.htm");
    // The pages still due were written into the site left, not into the new one.
    EXPECT_TRUE(QFile::exists(a + "A1/Index.htm"));
    EXPECT_FALSE(QFile::exists(b + "A1"));
    EXPECT_TRUE(state->currentDomain.isEmpty());

    // The previous-site entry swaps the two sites; what acted on the selection left behind is reset.
    click("B1");
    state->cListe.select(0);
    cListe_Click(*state);
    ASSERT_TRUE(state->controls.tAjouterEnabled);
    shell->mnuFileMRU_Click();
    EXPECT_EQ(state->values.Adresse + '|' + state->values.Répertoire, a + "Index.htm|" + a);
    EXPECT_EQ(state->dListe.texts(), QStringList{"A1"});
    EXPECT_TRUE(state->cListe.texts().isEmpty());
    EXPECT_FALSE(state->controls.cAjouterEnabled);
    EXPECT_FALSE(state->controls.tAjouterEnabled);
    EXPECT_EQ(shell->mnuFileMRU.tag, page);
    // The entry does not store the address: the next start opens the site chosen with Open.
    EXPECT_EQ(settings("LastOpen Adresse"), "LastOpen=" + page + " Adresse=" + page);
    shell->mnuFileMRU_Click();
    EXPECT_EQ(state->values.Adresse, page);
    EXPECT_EQ(state->dListe.texts(), (QStringList{"B1", "B2"}));
    EXPECT_EQ(setting("LastOpen"), a + "Index.htm");
}

TEST_F(Startup, SaveReloadsTheSettingsAndRegeneratesRefreshRelists) {
    const QString site = openSite("s", {"D"});
    makeDir(site + "Nouveau/C");
    store("Modification", "Non");
    store("NivImg", "0");
    store("CouleurFond(rrggbb)", "ABCDEF");
    state->values.CouleurFond = "FF0000"; // moved in the options, then cancelled
    shell->mnuFileSave_Click();
    EXPECT_EQ(state->values.CouleurFond, "ABCDEF");
    EXPECT_FALSE(state->controls.tModifierVisible);
    EXPECT_FALSE(state->controls.cType[0]);
    EXPECT_EQ(state->dListe.texts(), (QStringList{"D", "Nouveau"}));
    EXPECT_TRUE(fileLines(site + "Index.html").join(u'\n').contains("ABCDEF"));
    EXPECT_EQ(setting("LastOpen"), QString());
    EXPECT_EQ(dialogs.busyDepth(), 0);
    EXPECT_GT(dialogs.busyEntries(), 0);
    // An emptied start address sends Save back to the stored site.
    state->controls.tFichier.clear();
    state->values.Adresse = "/nulle/part.htm";
    shell->mnuFileSave_Click();
    EXPECT_EQ(state->values.Adresse, site + "Index.htm");
    EXPECT_EQ(state->controls.tFichier, site + "Index.htm");
    // Refresh lists again and rereads the options, without changing the site.
    makeDir(site + "Autre/C");
    store("Modification", "Oui");
    QFile::remove(site + "Index.html");
    shell->mnuViewRefresh_Click();
    EXPECT_EQ(state->dListe.texts(), (QStringList{"Autre", "D", "Nouveau"}));
    EXPECT_TRUE(state->controls.tModifierVisible);
    EXPECT_TRUE(QFile::exists(site + "Index.html"));
    EXPECT_EQ(setting("Adresse"), site + "Index.htm");
}

TEST_F(Startup, TheUpdateCommandSavesFirstAndMayEndTheProgram) {
    const QString site = openSite("maj", {"D"});
    bool savedFirst = false;
    setUpdateProcedure([&](Dialogs&) {
        savedFirst = QFile::exists(site + "Index.html");
        return false;
    });
    shell->mnuOptionsMAJ_Click();
    setUpdateProcedure({});
    EXPECT_TRUE(savedFirst);
    EXPECT_TRUE(shell->programEnded);
    EXPECT_EQ(endRequests, 1);
}

TEST_F(Startup, AStoredSiteThatCannotBeOpenedIsSaidSoAndNothingIsRecreated) {
    const QString gone = temp.path() + "débranché/";
    const std::pair<QString, QString> cases[] = {
        {gone + "Index.htm", "Le dossier du site « " + QDir::toNativeSeparators(gone) +
                                 " » est introuvable : il a été déplacé ou supprimé, ou le disque qui le "
                                 "porte n'est pas branché."},
        {"Index.htm", "L'adresse du site « Index.htm » n'est pas un chemin complet : je ne sais pas où se "
                      "trouve le site."},
        {"/Index.htm", "L'adresse du site « " + QDir::toNativeSeparators("/Index.htm") +
                           " » désigne la racine du disque, qui ne peut pas être le dossier d'un site."},
    };
    for (const auto& [address, problem] : cases) {
        dialogs.clear();
        endRequests = 0;
        shell->programEnded = false;
        storeSite(address);
        dialogs.no().no();
        shell->Form_Load();
        EXPECT_EQ(dialogs.texts(), (QStringList{problem + "\r\n\r\nVoulez-vous ouvrir un autre site ?",
                                                "Voulez-vous créer un nouveau site ?",
                                                "Aucun site n'est ouvert : Quillsite va se fermer."}));
        EXPECT_EQ(endRequests, 1);
        EXPECT_FALSE(QFileInfo::exists(gone));
        EXPECT_EQ(setting("Adresse"), address); // kept for when the disk comes back
    }
    // Opening another site instead: a cancelled chooser asks again, a chosen page opens its site.
    const QString site = makeSite("autre", {"A"});
    writeFile(site + "Index.htm", "accueil");
    dialogs.clear();
    endRequests = 0;
    shell->programEnded = false;
    storeSite(gone + "Index.htm");
    dialogs.yes().file("").yes().file(site + "Index.htm");
    shell->Form_Load();
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(state->values.Répertoire, site);
    EXPECT_EQ(state->dListe.texts(), QStringList{"A"});
    EXPECT_EQ(dialogs.texts().value(1), "Aucun site n'est ouvert.\r\n\r\nVoulez-vous ouvrir un autre site ?");
    EXPECT_EQ(dialogs.pending(), 0);
    EXPECT_FALSE(QFileInfo::exists(gone));
}
