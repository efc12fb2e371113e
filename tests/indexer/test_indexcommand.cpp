#include "commands/mainstate.h"
#include "commands/selection.h"
#include "indexer/indexer.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "site/listing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

using namespace qs;
using namespace qs::test;

namespace {

const QDateTime kMonday(QDate(2026, 3, 9), QTime(10, 0));

QString trashFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
}

class StopAtOnce : public IndexProgress {
public:
    bool stopRequested() override { return true; }
};

class RecordingProgress : public IndexProgress {
public:
    void written() override { ++writtenCalls; }
    int writtenCalls = 0;
};

} // namespace

class IndexCommand : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(trashFolder()).removeRecursively();
        writeFile(site("Dom/Cat/1.htm"), "<TITLE>Un</TITLE>");
        setModified(site("Dom/Cat/1.htm"), kMonday.addDays(-1));
        writeFile(site("Dom/Cat/2.htm"), "<TITLE>Deux</TITLE>");
        setModified(site("Dom/Cat/2.htm"), kMonday.addDays(-30));
        state.values.Répertoire = site.path();
        domainesInit(state);
    }

    bool homeLinksToTheLists() const {
        const QStringList home = fileLines(site("Index.htm"));
        return home.contains("<TD ALIGN=\"RIGHT\" WIDTH=\"50%\"><A HREF=\"Search.htm\">Rechercher</A>") &&
               home.contains("<BR><A HREF=\"Recent.htm\">Nouveautés</A></TD>");
    }

    TempDir site;
    ScriptedDialogs dialogs;
    FixedClock clock{kMonday, "marie"};
    MainState state{dialogs, clock, site("programme/")};
};

TEST_F(IndexCommand, FirstRunSetsTheFlagAndTheHomePageLinksToTheLists) {
    ParamètreEcrire("Indexer", "Non");
    RecordingProgress progress;
    const IndexResult result = runIndexing(state, progress);
    ASSERT_EQ(result.outcome, IndexResult::Outcome::Written);
    EXPECT_EQ(ParamètreLire("Indexer"), "Oui");
    EXPECT_EQ(progress.writtenCalls, 1);
    EXPECT_TRUE(QFile::exists(site("Recent.htm")));
    EXPECT_TRUE(QFile::exists(site("Search.htm")));
    EXPECT_TRUE(homeLinksToTheLists());
    EXPECT_EQ(fileLines(site("Index.html")), fileLines(site("Index.htm")));
    EXPECT_EQ(dialogs.statuses().last(), "Indexation terminée : 1 page récente, 2 pages dans l'index.");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n');
    EXPECT_EQ(dialogs.busyDepth(), 0);
    EXPECT_GE(dialogs.busyEntries(), 1);
    EXPECT_FALSE(QDir(trashFolder()).exists()); // nothing was indexed before: nothing to trash
}

TEST_F(IndexCommand, AnIndexedSiteSendsItsPreviousListsToTheTrash) {
    ParamètreEcrire("Indexer", "Oui");
    writeFile(site("Recent.htm"), "ancienne");
    writeFile(site("Search.htm"), "ancien");
    IndexProgress none;
    ASSERT_EQ(runIndexing(state, none).outcome, IndexResult::Outcome::Written);
    EXPECT_EQ(readFile(trashFolder() + "/files/Recent.htm"), QByteArray("ancienne"));
    EXPECT_EQ(readFile(trashFolder() + "/files/Search.htm"), QByteArray("ancien"));
    EXPECT_TRUE(fileLines(site("Search.htm")).contains("<TD>Deux</TD>"));
}

TEST_F(IndexCommand, AStoppedRunChangesNothing) {
    ParamètreEcrire("Indexer", "Non");
    writeFile(site("Search.htm"), "ancien");
    StopAtOnce stop;
    EXPECT_EQ(runIndexing(state, stop).outcome, IndexResult::Outcome::Cancelled);
    EXPECT_EQ(ParamètreLire("Indexer"), "Non");
    EXPECT_FALSE(QFile::exists(site("Index.htm")));
    EXPECT_FALSE(QFile::exists(site("Recent.htm")));
    EXPECT_EQ(readFile(site("Search.htm")), QByteArray("ancien"));
    EXPECT_EQ(dialogs.statuses().last(), "Indexation interrompue : les listes précédentes sont conservées.");
    EXPECT_EQ(dialogs.busyDepth(), 0);
}

TEST_F(IndexCommand, AMissingSiteFolderIsReported) {
    ParamètreEcrire("Indexer", "Non");
    state.values.Répertoire = site("parti/");
    IndexProgress none;
    EXPECT_EQ(runIndexing(state, none).outcome, IndexResult::Outcome::Failed);
    EXPECT_EQ(dialogs.messages(), QStringList{"Le dossier du site \"" + site("parti/") +
                                              "\" est introuvable : l'index n'a pas été créé."});
    EXPECT_EQ(ParamètreLire("Indexer"), "Non");
    EXPECT_FALSE(QFile::exists(site("parti")));

    state.values.Répertoire.clear(); // no site open
    dialogs.clear();
    EXPECT_EQ(runIndexing(state, none).outcome, IndexResult::Outcome::Failed);
    EXPECT_EQ(dialogs.messages(), QStringList{"Aucun site n'est ouvert : l'index n'a pas été créé."});
}

TEST_F(IndexCommand, ATrashThatCannotTakeThePreviousListsStopsWithNothingChanged) {
    ParamètreEcrire("Indexer", "Oui");
    writeFile(site("Recent.htm"), "ancienne");
    writeFile(site("Search.htm"), "ancien");
    makeDir(trashFolder() + "/files");
    makeDir(trashFolder() + "/info");
    ReadOnlyFolder locked(trashFolder() + "/info");
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    IndexProgress none;
    EXPECT_EQ(runIndexing(state, none).outcome, IndexResult::Outcome::Failed);
    EXPECT_EQ(
        dialogs.messages(),
        QStringList{"Je ne peux pas mettre le fichier \"" + site("Recent.htm") +
                    "\" à la corbeille (accès refusé) : il est conservé.\r\n\r\nL'index n'a pas été créé."});
    EXPECT_EQ(readFile(site("Recent.htm")), QByteArray("ancienne"));
    EXPECT_EQ(readFile(site("Search.htm")), QByteArray("ancien"));
    EXPECT_EQ(QDir(site.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Recent.htm", "Search.htm"}));
}
