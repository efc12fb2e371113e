#include "datarows.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "lib/update.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

using namespace qs;
using namespace qs::test;

namespace {

const QString kKey = QStringLiteral("RépertoireMiseAJour");
const QDateTime kBuilt(QDate(2026, 3, 1), QTime(10, 0, 0));

// The update's texts, kept as data.
QString text(const char* name) {
    static const QList<DataRow> rows = dataRows(QStringLiteral("lib/update-texts.txt"));
    for (const DataRow& r : rows)
        if (r.text(0) == QLatin1String(name))
            return r.text(1);
    ADD_FAILURE() << "no text " << name;
    return {};
}

// Holds the immutable attribute on a file for as long as it lives (root only; active() says whether).
struct ImmutableFile {
    explicit ImmutableFile(QString p) : path(std::move(p)) {
        active = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~ImmutableFile() {
        if (active)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
    QString path;
    bool active = false;
};

// A program folder L holding the program "quillsite" and an update folder U, both in a temporary folder;
// the updater launcher is recorded instead of run.
class Update : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        makeDir(L);
        makeDir(U);
        writeFile(program, "build 1");
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        setModified(program, kBuilt);
        env.programPath = program;
        env.launch = [this](const QString& p, const QStringList& args) {
            launches.append(QStringList{p} + args);
            return launchSucceeds;
        };
    }

    UpdateOutcome run() { return MiseAJour(dialogs, env); }
    void setFolder(const QString& value) { ParamètreEcrire(kKey, value); }
    QString storedFolder() const { return ParamètreLire(kKey); }
    void putUpdater(const QString& folder) { writeFile(folder + QStringLiteral("relaypak"), "#!updater"); }
    // The update folder U as the program finds it: the updater beside the program, the folder stored.
    void ready() {
        putUpdater(L);
        setFolder(U);
    }
    void publishBuild(const QByteArray& bytes, const QDateTime& when) {
        writeFile(U + QStringLiteral("quillsite"), bytes);
        setModified(U + QStringLiteral("quillsite"), when);
    }
    void markBuildMachine() { writeFile(L + QStringLiteral("quillsite.publish"), ""); }
    QStringList leftovers(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".quillsite."));
    }

    TempDir dir;
    QString L = dir("local/"), U = dir("network/"), program = L + QStringLiteral("quillsite");
    ScriptedDialogs dialogs;
    UpdateEnvironment env;
    QList<QStringList> launches;
    bool launchSucceeds = true;
};

} // namespace

TEST_F(Update, DeclinedOrUnreachableFolderStopsWithoutAWord) {
    putUpdater(L);
    publishBuild("build 2", kBuilt.addDays(1)); // would otherwise be installed
    for (const QString& folder : {QStringLiteral("-"), dir("unplugged-share"), dir("unplugged-share/")}) {
        setFolder(folder);
        EXPECT_EQ(run(), UpdateOutcome::Continue);
    }
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(storedFolder(), dir("unplugged-share/"));
}

TEST_F(Update, FirstUseAsksForTheFolderAndCancelAsksAgainNextTime) {
    putUpdater(L);
    publishBuild("build 1", kBuilt);
    dialogs.answer(QString()); // Cancel
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.log(), QStringList{"prompt Vendrel: " + text("prompt")});
    EXPECT_EQ(dialogs.calls()[0].extra, QString());
    EXPECT_EQ(storedFolder(), QString());

    // A folder typed without its separator is stored with one; then the update goes on (nothing newer).
    dialogs.answer(withoutSeparator(U));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(storedFolder(), U);
}

TEST_F(Update, ThePromptRepeatsUntilAFolderHoldsTheProgram) {
    const QString missing = dir("nowhere/"), empty = dir("empty/");
    makeDir(empty);
    putUpdater(U);
    publishBuild("build 1", kBuilt);
    dialogs.answer(missing).answer(empty).answer(U);
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    // Each new prompt keeps the first text and offers the folder just refused, which is never stored.
    const QString prompt = "prompt Vendrel: " + text("prompt");
    EXPECT_EQ(dialogs.log(), (QStringList{prompt, text("missing-folder").arg(missing), prompt,
                                          text("no-program").arg(empty), prompt}));
    EXPECT_EQ(dialogs.calls()[4].extra, empty);
    EXPECT_EQ(storedFolder(), U);
}

TEST_F(Update, FromTheMenuEveryReasonForNotUpdatingIsTold) {
    putUpdater(L);
    env.fromMenu = true;
    const std::tuple<QString, const char*, QByteArray> cases[] = {
        {QStringLiteral("-"), "menu-declined", {}},
        {dir("unplugged/"), "menu-unreachable", {}},
        {U, "menu-no-program", {}},
        {U, "menu-up-to-date", "build 1"},
    };
    for (const auto& [folder, message, published] : cases) {
        dialogs.clear();
        setFolder(folder);
        if (!published.isEmpty())
            publishBuild(published, kBuilt);
        EXPECT_EQ(run(), UpdateOutcome::Continue);
        const QString expected = text(message);
        EXPECT_EQ(dialogs.log(), QStringList{expected.contains(u'%') ? expected.arg(folder) : expected});
    }
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(Update, AnotherWindowOfTheProgramHoldsTheUpdateBack) {
    ready();
    publishBuild("build 2", kBuilt.addDays(1));
    env.otherInstances = [](const QString&) { return QList<qint64>{4242, 4343}; };
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(dialogs.messages(), QStringList{text("other-window")});
}

TEST_F(Update, TheUpdaterReportIsShownOnceAndTheBackupGoes) {
    writeFile(program + QStringLiteral(".ancien"), "build 0");
    writeFile(program + QStringLiteral(".mise-a-jour.txt"), "echec\nLa nouvelle version s'est arrêtée.\n");
    const auto report = updateFinished(program);
    ASSERT_TRUE(report.has_value());
    EXPECT_FALSE(report->ok);
    EXPECT_EQ(report->text, QStringLiteral("La nouvelle version s'est arrêtée."));
    EXPECT_FALSE(updateFinished(program).has_value());
    EXPECT_EQ(QDir(L).entryList(QDir::Files), QStringList{"quillsite"});
}

TEST_F(Update, AFolderWithoutTheUpdaterCanBeKeptOrChanged) {
    const QString stored = withoutSeparator(U);
    setFolder(stored);
    dialogs.yes();
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.log(), QStringList{text("no-updater").arg(U)});

    // No: the prompt, with the hint about Cancel and the stored value as it was; Cancel keeps it.
    dialogs.clear();
    dialogs.no().answer(QString());
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[1].text, text("prompt-cancel"));
    EXPECT_EQ(dialogs.calls()[1].extra, stored);
    EXPECT_EQ(storedFolder(), stored);

    // No, then "-": the service is given up for good.
    dialogs.no().answer(QStringLiteral("-"));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(storedFolder(), QStringLiteral("-"));
}

TEST_F(Update, TheUpdaterIsLookedForBesideTheProgramThenInTheUpdateFolder) {
    setFolder(U);
    publishBuild("build 2", kBuilt.addSecs(60));
    putUpdater(U);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    putUpdater(L);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    ASSERT_EQ(launches.size(), 2);
    EXPECT_EQ(launches[0].front(), U + QStringLiteral("relaypak"));
    EXPECT_EQ(launches[1].front(), L + QStringLiteral("relaypak"));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(Update, RunningFromTheUpdateFolderIsRefusedAndEndsTheProgram) {
    putUpdater(L);
    // The program's folder; the same path in other letters (a second folder here, since this disk tells
    // cases apart); the same folder through a link.
    makeDir(dir("LOCAL/"));
    ASSERT_TRUE(QFile::link(withoutSeparator(L), dir("link")));
    for (const QString& folder : {L, dir("LOCAL/"), dir("link")}) {
        setFolder(folder);
        EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    }
    EXPECT_EQ(dialogs.log(), QStringList(3, text("from-update-folder")));
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(Update, AnUnreadableProgramDateIsReported) {
    ready();
    env.programPath = L + QStringLiteral("vanished");
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.log(), QStringList{text("no-date").arg(L + "vanished")});
}

TEST_F(Update, AUserMachineHandsANewerBuildToTheUpdater) {
    ready();
    EXPECT_EQ(run(), UpdateOutcome::Continue); // nothing published
    publishBuild("build 0", kBuilt.addDays(-1));
    EXPECT_EQ(run(), UpdateOutcome::Continue); // older
    publishBuild("build 1", kBuilt.addMSecs(900));
    EXPECT_EQ(run(), UpdateOutcome::Continue); // same second: a share's coarser time
    EXPECT_TRUE(launches.isEmpty());

    publishBuild("build 2", kBuilt.addSecs(1));
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    EXPECT_EQ(launches, (QList<QStringList>{{L + "relaypak", U + "quillsite", program}}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(readFile(program), QByteArray("build 1")); // replacing it is the updater's business
}

TEST_F(Update, AnUpdaterThatCannotStartLetsTheUserChoose) {
    ready();
    publishBuild("build 2", kBuilt.addDays(1));
    launchSucceeds = false;
    dialogs.yes();
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    dialogs.no();
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    EXPECT_EQ(dialogs.log(), QStringList(2, text("cannot-start")));
    EXPECT_EQ(launches.size(), 2);
}

TEST_F(Update, TheBuildMachinePublishesOnlyANewerBuild) {
    ready();
    markBuildMachine();
    const QString published = U + QStringLiteral("quillsite");

    // First publication: a faithful copy, run permission and date included; no beep (nothing replaced).
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 1"));
    EXPECT_TRUE(QFileInfo(published).isExecutable());
    EXPECT_EQ(QFileInfo(published).lastModified(), kBuilt);
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Same date, or a newer one there: left alone.
    writeFile(program, "build 1b");
    setModified(program, kBuilt);
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    publishBuild("build 9", kBuilt.addDays(1));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 9"));
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // An older one there: a beep, then replaced.
    setModified(program, kBuilt.addDays(2));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 1b"));
    EXPECT_EQ(dialogs.log(), QStringList{"beep"});
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_TRUE(leftovers(U).isEmpty()) << leftovers(U).join(u' ');
}

TEST_F(Update, AFailedPublicationNeverLeavesAPartialProgram) {
    ready();
    markBuildMachine();
    const QString copyFailed = text("copy-failed").arg(U, L);
    {
        ReadOnlyFolder readOnly(U);
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_EQ(run(), UpdateOutcome::Continue);
        EXPECT_EQ(dialogs.log(), QStringList{"message(!) Vendrel - Avertissement: " + copyFailed +
                                             text("gone-from-network")});
    }
    // With an older build there, the copy fails before it is touched, and the message says it stays.
    publishBuild("build 0", kBuilt.addDays(-1));
    dialogs.clear();
    {
        ReadOnlyFolder readOnly(U);
        EXPECT_EQ(run(), UpdateOutcome::Continue);
    }
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString message = dialogs.messages()[0];
    EXPECT_TRUE(message.startsWith(copyFailed + "\r\n\r\n(") && message.endsWith(text("old-stays")))
        << message;
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}

TEST_F(Update, AnOldPublishedBuildThatCannotBeReplacedIsReported) {
    ready();
    markBuildMachine();
    publishBuild("build 0", kBuilt.addDays(-1));
    ImmutableFile locked(U + QStringLiteral("quillsite"));
    if (!locked.active)
        GTEST_SKIP() << "cannot lock a file here";
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString message = dialogs.messages()[0], head = text("cannot-remove").arg(U);
    // The system's reason is there, between the brackets.
    EXPECT_TRUE(message.startsWith(head) && message.endsWith(u')') && message.size() > head.size() + 1)
        << message;
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}
