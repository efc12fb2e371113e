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
        storeSite(site + QStringLiteral("Index.htm"));
        shell->Form_Load();
        return site;
    }
};

const QString kUnsaved =
    QStringLiteral("Vous n'avez pas validé les modifications apportées à ce document !\r\n\r\n"
                   "Voulez-vous tout de même quitter ?");

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
    EXPECT_EQ(setting("Adresse"), QString());
    EXPECT_EQ(setting("Modification"), QString()); // this path loads nothing else

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
    dialogs.answer(QStringLiteral("Mon site"));
    domainsToAdd = {QStringLiteral("Accueil")};
    shell->Form_Load();
    const QString site = program + QStringLiteral("Mon site/");
    EXPECT_EQ(setting("Adresse"), site + QStringLiteral("Index.htm"));
    EXPECT_EQ(setting("Répertoire"), site);
    EXPECT_EQ(state->values.Répertoire, site);
    EXPECT_EQ(state->controls.tFichier, site + QStringLiteral("Index.htm"));
    for (const char* name : {"head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt",
                             "images/logo.gif", "Index.html", "Index.htm"})
        EXPECT_TRUE(QFile::exists(site + QLatin1String(name))) << name;
    EXPECT_EQ(setting("Indexer"), QStringLiteral("Non"));
    EXPECT_EQ(setting("CouleurFond(rrggbb)"), QStringLiteral("F0F0FF"));
    EXPECT_EQ(setting("CouleurTexte(rrggbb)"), QStringLiteral("000090"));
    EXPECT_EQ(setting("Modification"), QStringLiteral("Oui"));
    EXPECT_EQ(setting("NiveauRep"), QStringLiteral("4"));
    EXPECT_EQ(setting("LastOpen"), QString());
    EXPECT_EQ(setting("NivImg"), QString()); // the link-type levels are not New Site's
    EXPECT_EQ(state->dListe.texts(), QStringList{QStringLiteral("Accueil")});
    EXPECT_EQ(domainPrompts, 1);
    EXPECT_EQ(browsed, QStringList{site + QStringLiteral("Index.htm")});
    EXPECT_EQ(explored, 1);
    EXPECT_FALSE(shell->programEnded);
}

TEST_F(Startup, ASiteNameInUseIsAskedAgain) {
    makeDir(program + QStringLiteral("Doc"));
    dialogs.answer(QStringLiteral("Doc")).answer(QStringLiteral("  Doc 2 "));
    domainsToAdd = {QStringLiteral("D")};
    shell->mnuFileNew_Click();
    ASSERT_EQ(dialogs.messages(),
              QStringList{QStringLiteral("Ce domaine existe déjà ! Saisissez un autre nom.")});
    EXPECT_EQ(dialogs.calls()[1].title, QStringLiteral("Erreur"));
    EXPECT_EQ(dialogs.calls()[1].icon, Icon::Exclamation);
    EXPECT_EQ(setting("Adresse"), program + QStringLiteral("Doc 2/Index.htm"));
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("Doc/head_d.txt")));
}

TEST_F(Startup, AProgramFolderThatTakesNoSiteIsSaidSo) {
    ReadOnlyFolder locked(withoutSeparator(program));
    if (!locked.active())
        GTEST_SKIP() << "the folder cannot be made read-only here";
    shell->mnuFileNew_Click();
    EXPECT_EQ(
        dialogs.log(),
        QStringList{"message(!) Erreur: Impossible de créer un site dans le dossier du programme :\r\n" +
                    program +
                    "\r\n\r\nCe dossier est protégé en écriture. Installez Quillsite dans un "
                    "dossier où vous pouvez écrire."});
    EXPECT_EQ(setting("Adresse"), QString());
}

TEST_F(Startup, RefusingTheFirstDomainTwiceEndsTheProgram) {
    dialogs.answer(QStringLiteral("Vide"));
    shell->mnuFileNew_Click();
    EXPECT_EQ(domainPrompts, 2);
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(shell->programEnded);
}

TEST_F(Startup, AStoredSiteIsOpenedWithItsSettings) {
    const QString site = makeSite(QStringLiteral("doc"), {"Zeta", "alpha", "images", "ReadOnly", ".cache"});
    storeSite(site + QStringLiteral("Index.htm"));
    store("NivZip", QStringLiteral("0"));
    store("Modification", QStringLiteral("Non"));
    store("LastOpen", QStringLiteral("/ailleurs/Index.htm"));
    store("Indexer", QStringLiteral("Oui"));
    shell->Form_Load();
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(state->dListe.texts(), (QStringList{QStringLiteral("alpha"), QStringLiteral("Zeta")}));
    EXPECT_EQ(state->values.Répertoire, site);
    // Not indexed: no "Recent.htm".
    EXPECT_EQ(setting("Indexer"), QStringLiteral("Non"));
    EXPECT_EQ(setting("NiveauRep"), QStringLiteral("4"));
    EXPECT_EQ(setting("Modification"), QStringLiteral("Non"));
    EXPECT_EQ(setting("CouleurTitre(rrggbb)"), QStringLiteral("509000"));
    EXPECT_FALSE(state->controls.tModifierVisible);
    EXPECT_FALSE(state->controls.tSupprimerVisible);
    EXPECT_EQ(state->controls.cType, (std::array<bool, 5>{true, false, true, true, true}));
    EXPECT_TRUE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shell->mnuFileMRU.caption, QStringLiteral("&1  /ailleurs/Index.htm"));
    EXPECT_EQ(browsed, QStringList{site + QStringLiteral("Index.htm")});
    EXPECT_EQ(explored, 1);
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("head_d.txt")));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("Index.html"))); // start-up generates nothing
    EXPECT_EQ(domainPrompts, 0);
}

TEST_F(Startup, AnIndexedSiteKeepsItsIndexerSetting) {
    const QString site = makeSite(QStringLiteral("indexe"), {"D"});
    writeFile(site + QStringLiteral("recent.htm"), "<HTML></HTML>\r\n"); // as a Windows disk may name it
    storeSite(site + QStringLiteral("Index.htm"));
    store("Indexer", QStringLiteral("Oui"));
    shell->Form_Load();
    EXPECT_EQ(setting("Indexer"), QStringLiteral("Oui"));
}

TEST_F(Startup, ASiteWithoutDomainsAsksForOneOrEnds) {
    const QString site = makeSite(QStringLiteral("vide"), {});
    storeSite(site + QStringLiteral("Index.htm"));
    shell->Form_Load();
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(domainPrompts, 1);
    EXPECT_TRUE(shell->programEnded);
    EXPECT_EQ(endRequests, 1);

    ShellFixture second;
    second.storeSite(site + QStringLiteral("Index.htm"));
    second.domainsToAdd = {QStringLiteral("Premier")};
    second.shell->Form_Load();
    EXPECT_FALSE(second.shell->programEnded);
    EXPECT_EQ(second.state->dListe.texts(), QStringList{QStringLiteral("Premier")});
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("head_d.txt")));
}

TEST_F(Startup, ClosingStoresTheGeometryUnlessMinimised) {
    openSite(QStringLiteral("geo"), {"D"});
    storeGeometry({10, 20, 800, 600});
    EXPECT_TRUE(shell->Form_Unload(nullptr));
    EXPECT_EQ(setting("MainLeft"), QStringLiteral("10"));
    EXPECT_EQ(setting("MainWidth"), QStringLiteral("800"));
    const WindowGeometry g{5, 6, 1000, 700};
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_EQ(setting("MainLeft"), QStringLiteral("5"));
    EXPECT_EQ(setting("MainTop"), QStringLiteral("6"));
    EXPECT_EQ(setting("MainWidth"), QStringLiteral("1000"));
    EXPECT_EQ(setting("MainHeight"), QStringLiteral("700"));
}

TEST_F(Startup, UnsavedChangesAskBeforeClosing) {
    const QString site = openSite(QStringLiteral("edition"), {"D"});
    state->controls.tAnnulerVisible = true;
    state->controls.tAnnulerEnabled = true;
    dialogs.no();
    const WindowGeometry g{1, 2, 900, 650};
    EXPECT_FALSE(shell->Form_Unload(&g));
    EXPECT_EQ(dialogs.log(), QStringList{"question(?) Attention: " + kUnsaved});
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("Index.html")));
    EXPECT_EQ(setting("MainWidth"), QStringLiteral("900")); // stored before the question

    dialogs.yes();
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("Index.html")));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("Index.htm")));

    // "Renoncer" shown but disabled: nothing unsaved, no question.
    dialogs.clear();
    state->controls.tAnnulerEnabled = false;
    EXPECT_TRUE(shell->Form_Unload(&g));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(Startup, OpenNotesTheSiteBeingLeftAndOpensAnyPage) {
    const QString a = openSite(QStringLiteral("a"), {"A1"});
    const QString b = makeSite(QStringLiteral("b"), {"B1", "B2"});
    writeFile(b + QStringLiteral("page.html"), "<HTML></HTML>\r\n");

    dialogs.file(QString());
    shell->mnuFileOpen_Click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.calls()[0].extra, a + QStringLiteral("|Fichiers HTML (*.htm *.html *.shtm *.shtml)"));
    // Cancelled: only "LastOpen" changed.
    EXPECT_EQ(setting("LastOpen"), a + QStringLiteral("Index.htm"));
    EXPECT_EQ(setting("Adresse"), a + QStringLiteral("Index.htm"));
    EXPECT_EQ(state->values.Répertoire, a);

    dialogs.file(b + QStringLiteral("page.html"));
    shell->mnuFileOpen_Click();
    EXPECT_EQ(setting("Adresse"), b + QStringLiteral("page.html"));
    EXPECT_EQ(setting("Répertoire"), b);
    EXPECT_EQ(state->values.Adresse, b + QStringLiteral("page.html"));
    EXPECT_EQ(state->controls.tFichier, b + QStringLiteral("page.html"));
    EXPECT_EQ(state->dListe.texts(), (QStringList{QStringLiteral("B1"), QStringLiteral("B2")}));
    EXPECT_TRUE(QFile::exists(b + QStringLiteral("head_d.txt")));
    EXPECT_TRUE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shell->mnuFileMRU.tag, a + QStringLiteral("Index.htm"));
    EXPECT_EQ(setting("Indexer"), QStringLiteral("Non"));
    EXPECT_EQ(browsed.last(), b + QStringLiteral("page.html"));
}

TEST_F(Startup, PagesStillDueAreWrittenIntoTheSiteBeingLeft) {
    const QString a = openSite(QStringLiteral("a"), {"D1"});
    state->dListe.select(state->dListe.find(QStringLiteral("D1")));
    dListe_Click(*state);
    ASSERT_EQ(state->currentDomain, QStringLiteral("D1"));
    const QString b = makeSite(QStringLiteral("b"), {"B1"});
    dialogs.file(b + QStringLiteral("Index.htm"));
    writeFile(b + QStringLiteral("Index.htm"), "");
    shell->mnuFileOpen_Click();
    EXPECT_TRUE(QFile::exists(a + QStringLiteral("D1/Index.htm")));
    EXPECT_FALSE(QFile::exists(b + QStringLiteral("D1")));
    EXPECT_TRUE(state->currentDomain.isEmpty());
}

TEST_F(Startup, ThePreviousSiteEntrySwapsTheTwoSites) {
    const QString a = openSite(QStringLiteral("a"), {"A1"});
    const QString b = makeSite(QStringLiteral("b"), {"B1"});
    dialogs.file(b + QStringLiteral("Index.htm"));
    writeFile(b + QStringLiteral("Index.htm"), "");
    shell->mnuFileOpen_Click();
    state->dListe.select(0);
    dListe_Click(*state);
    state->cListe.select(0);
    cListe_Click(*state);
    ASSERT_TRUE(state->controls.tAjouterEnabled);

    shell->mnuFileMRU_Click();
    EXPECT_EQ(state->values.Adresse, a + QStringLiteral("Index.htm"));
    EXPECT_EQ(state->values.Répertoire, a);
    EXPECT_EQ(state->dListe.texts(), QStringList{QStringLiteral("A1")});
    EXPECT_EQ(setting("LastOpen"), b + QStringLiteral("Index.htm"));
    // What acted on the selection of the site left behind is reset.
    EXPECT_TRUE(state->cListe.texts().isEmpty());
    EXPECT_FALSE(state->controls.cAjouterEnabled);
    EXPECT_FALSE(state->controls.tAjouterEnabled);
    EXPECT_EQ(shell->mnuFileMRU.tag, b + QStringLiteral("Index.htm"));
    // The entry does not store the address: the next start opens the site chosen with Open.
    EXPECT_EQ(setting("Adresse"), b + QStringLiteral("Index.htm"));

    shell->mnuFileMRU_Click();
    EXPECT_EQ(state->values.Adresse, b + QStringLiteral("Index.htm"));
    EXPECT_EQ(state->dListe.texts(), QStringList{QStringLiteral("B1")});
    EXPECT_EQ(setting("LastOpen"), a + QStringLiteral("Index.htm"));
}

TEST_F(Startup, SaveReloadsTheSettingsAndRegenerates) {
    const QString site = openSite(QStringLiteral("s"), {"D"});
    makeDir(site + QStringLiteral("Nouveau/C"));
    store("Modification", QStringLiteral("Non"));
    store("NivImg", QStringLiteral("0"));
    store("CouleurFond(rrggbb)", QStringLiteral("ABCDEF"));
    state->values.CouleurFond = QStringLiteral("FF0000"); // moved in the options, then cancelled
    shell->mnuFileSave_Click();
    EXPECT_EQ(state->values.CouleurFond, QStringLiteral("ABCDEF"));
    EXPECT_FALSE(state->controls.tModifierVisible);
    EXPECT_FALSE(state->controls.cType[0]);
    EXPECT_EQ(state->dListe.texts(), (QStringList{QStringLiteral("D"), QStringLiteral("Nouveau")}));
    EXPECT_TRUE(
        fileLines(site + QStringLiteral("Index.html")).join(u'\n').contains(QStringLiteral("ABCDEF")));
    EXPECT_EQ(setting("LastOpen"), QString());
    EXPECT_EQ(dialogs.busyDepth(), 0);
    EXPECT_GT(dialogs.busyEntries(), 0);

    // An emptied start address sends Save back to the stored site.
    state->controls.tFichier.clear();
    state->values.Adresse = QStringLiteral("/nulle/part.htm");
    shell->mnuFileSave_Click();
    EXPECT_EQ(state->values.Adresse, site + QStringLiteral("Index.htm"));
    EXPECT_EQ(state->controls.tFichier, site + QStringLiteral("Index.htm"));
}

TEST_F(Startup, RefreshRelistsWithoutChangingTheSite) {
    const QString site = openSite(QStringLiteral("r"), {"D"});
    makeDir(site + QStringLiteral("Autre/C"));
    store("Modification", QStringLiteral("Non"));
    shell->mnuViewRefresh_Click();
    EXPECT_EQ(state->dListe.texts(), (QStringList{QStringLiteral("Autre"), QStringLiteral("D")}));
    EXPECT_FALSE(state->controls.tModifierVisible);
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("Index.html")));
    EXPECT_EQ(setting("Adresse"), site + QStringLiteral("Index.htm"));
    EXPECT_EQ(setting("LastOpen"), QString());
}

TEST_F(Startup, TheUpdateCommandSavesFirstAndMayEndTheProgram) {
    const QString site = openSite(QStringLiteral("maj"), {"D"});
    bool savedFirst = false;
    setUpdateProcedure([&](Dialogs&) {
        savedFirst = QFile::exists(site + QStringLiteral("Index.html"));
        return false;
    });
    shell->mnuOptionsMAJ_Click();
    setUpdateProcedure({});
    EXPECT_TRUE(savedFirst);
    EXPECT_TRUE(shell->programEnded);
    EXPECT_EQ(endRequests, 1);
}

TEST_F(Startup, AStoredSiteThatCannotBeOpenedIsSaidSoAndNothingIsRecreated) {
    const QString gone = temp.path() + QStringLiteral("débranché/");
    const struct {
        QString address;
        QString problem;
    } cases[] = {
        {gone + "Index.htm", "Le dossier du site « " + QDir::toNativeSeparators(gone) +
                                 " » est introuvable : il a été déplacé ou supprimé, ou le disque qui le "
                                 "porte n'est pas branché."},
        {"Index.htm", "L'adresse du site « Index.htm » n'est pas un chemin complet : je ne sais pas où se "
                      "trouve le site."},
        {"/Index.htm", "L'adresse du site « " + QDir::toNativeSeparators("/Index.htm") +
                           " » désigne la racine du disque, qui ne peut pas être le dossier d'un site."},
    };
    for (const auto& c : cases) {
        dialogs.clear();
        endRequests = 0;
        shell->programEnded = false;
        storeSite(c.address);
        dialogs.no().no();
        shell->Form_Load();
        EXPECT_EQ(dialogs.texts(), (QStringList{c.problem + "\r\n\r\nVoulez-vous ouvrir un autre site ?",
                                                "Voulez-vous créer un nouveau site ?",
                                                "Aucun site n'est ouvert : Quillsite va se fermer."}));
        EXPECT_EQ(endRequests, 1);
        EXPECT_FALSE(QFileInfo::exists(gone));
        EXPECT_EQ(setting("Adresse"), c.address); // kept for when the disk comes back
    }

    // Opening another site instead: a cancelled chooser asks again, a chosen page opens its site.
    const QString site = makeSite(QStringLiteral("autre"), {"A"});
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
