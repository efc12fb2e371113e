#include "lib/settings.h"
#include "replace.h"
#include "tablefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

using namespace qs;
using namespace qs::test;

namespace {

const QDateTime kNewBuild(QDate(2026, 4, 2), QTime(8, 30, 15));
// Builds that answer "--version" as the program does; the old one, started, says so beside itself.
const QByteArray kNew("#!/bin/sh\n# new build\necho '(quillsite v2.0.0)'\n");
const QByteArray
    kOld("#!/bin/sh\n[ \"$1\" = --version ] && echo '(quillsite v1.0.0)' && exit 0\ntouch \"$0.started\"\n");
constexpr auto kRunnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

struct Result {
    int code;
    QString error;
};

Result runRelaypak(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(RELAYPAK_PATH), arguments);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("did not finish")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// A running program of our own: a copy of `sleep`, so that its executable is a file of the test.
struct RunningCopy {
    explicit RunningCopy(const QString& path) {
        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        if (!sleep.isEmpty() && QFile::copy(sleep, path) && QFile::setPermissions(path, kRunnable)) {
            process.start(path, {QStringLiteral("30")});
            started = process.waitForStarted();
        }
    }
    ~RunningCopy() { stop(); }
    void stop() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
    bool started = false;
};

class Relaypak : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(newVersion, kNew);
        setModified(newVersion, kNewBuild);
        QFile::setPermissions(newVersion, QFile::ReadOwner | QFile::WriteOwner); // as a share may give it
        writeFile(program, kOld);
        QFile::setPermissions(program, kRunnable);
    }
    QStringList localFiles() const {
        return QDir(dir("local")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    TempDir dir;
    QString newVersion = dir("share/quillsite"), program = dir("local/quillsite");
};

bool install(const QString& from, const QString& to, const QDateTime& when) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    if (!QFile::copy(from, to))
        return false;
    setModified(to, when);
    return QFileInfo(to).isExecutable();
}

QStringList logLines(const QString& log) {
    return QString::fromUtf8(readFile(log)).split(u'\n', Qt::SkipEmptyParts);
}

// Starts the program in `folder` as a user would and waits for it to return.
bool start(const QString& program, const QString& log) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLSITE_PROBE_LOG"), log);
    p.setProcessEnvironment(env);
    // Into a file, not a pipe: the updater inherits these channels and outlives this process.
    p.setStandardOutputFile(log + QStringLiteral(".out"), QIODevice::Append);
    p.setStandardErrorFile(log + QStringLiteral(".out"), QIODevice::Append);
    p.setWorkingDirectory(QFileInfo(program).absolutePath());
    p.start(program, {});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool waitForLine(const QString& log, const QString& line, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!logLines(log).contains(line)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

TEST_F(Relaypak, ReplacesTheProgramKeepingItsRunPermission) {
    const auto permissions = QFile::permissions(program);
    EXPECT_EQ(relaypak::replaceProgram(newVersion, program), QString());
    EXPECT_EQ(readFile(program), kNew);
    EXPECT_EQ(QFile::permissions(program), permissions);
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_EQ(QFileInfo(program).lastModified(), kNewBuild); // same date as the published build: up to date
    // The old program stays beside until the new one has started.
    EXPECT_EQ(localFiles(), (QStringList{QStringLiteral("quillsite"), QStringLiteral("quillsite.ancien")}));
    EXPECT_EQ(readFile(program + QStringLiteral(".ancien")), kOld);
    EXPECT_EQ(readFile(newVersion), kNew);
}

TEST_F(Relaypak, ThroughALinkTheLinkedFileIsReplaced) {
    const QString link = dir("bin-quillsite");
    ASSERT_TRUE(QFile::link(program, link));
    EXPECT_EQ(relaypak::replaceProgram(newVersion, link), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(program), kNew);
}

TEST_F(Relaypak, AnyFailureLeavesTheOldProgramAndNoTemporaryFile) {
    writeFile(dir("share/empty"), "");
    writeFile(dir("share/mute"), "#!/bin/sh\nexit 0\n"); // does not answer with its identification
    writeFile(dir("share/stuck"), "#!/bin/sh\nsleep 5\n");
    for (const DataRow& r : tableRows("app/relaypak.txt")) {
        const QString from = dir(r.text(1)), to = dir(r.text(2));
        if (r.text(0) == u"replace") {
            EXPECT_EQ(relaypak::replaceProgram(from, to, 300),
                      r.text(3).replace(QStringLiteral("%1"), from).replace(QStringLiteral("%2"), to))
                << r.where;
        }
    }
    EXPECT_EQ(readFile(program), kOld);
    EXPECT_EQ(localFiles(), QStringList{QStringLiteral("quillsite")});

    ReadOnlyFolder readOnly(dir("local"));
    if (!readOnly.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    const QString why = relaypak::replaceProgram(newVersion, program);
    EXPECT_TRUE(
        why.startsWith(QStringLiteral("Je ne parviens pas à copier la nouvelle version \"%1\" dans le "
                                      "répertoire \"%2\" (")
                           .arg(newVersion, dir("local"))))
        << why;
    EXPECT_EQ(readFile(program), kOld);
    EXPECT_EQ(localFiles(), QStringList{QStringLiteral("quillsite")});
}

TEST_F(Relaypak, WaitsForTheProgramToEndWithinItsBound) {
#ifndef Q_OS_LINUX
    GTEST_SKIP() << "running programs are found through /proc";
#endif
    const QString running = dir("local/running");
    EXPECT_FALSE(relaypak::inUse(running)); // no such file
    RunningCopy copy(running);
    if (!copy.started)
        GTEST_SKIP() << "no program to run here";
    EXPECT_TRUE(relaypak::inUse(running));
    EXPECT_FALSE(relaypak::inUse(program)); // another file

    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(relaypak::waitUntilFree(running, 150, 20));
    EXPECT_GE(t.elapsed(), 150);
    EXPECT_LT(t.elapsed(), 5000);

    copy.stop();
    EXPECT_TRUE(relaypak::waitUntilFree(running, 2000, 20));
}

TEST_F(Relaypak, CommandLine) {
    for (const DataRow& r : tableRows("app/relaypak.txt")) {
        if (r.text(0) != u"usage")
            continue;
        QStringList arguments = r.text(1).split(u' ', Qt::SkipEmptyParts);
        for (QString& a : arguments)
            a = a.contains(u'/') ? dir(a) : a;
        const Result run = runRelaypak(arguments);
        EXPECT_EQ(run.code, 2) << r.where;
        EXPECT_TRUE(run.error.startsWith(r.text(2))) << r.where << run.error;
    }
    EXPECT_EQ(readFile(program), kOld);
    Result r;

    // A failure names its cause and keeps the old program.
    r = runRelaypak({"--sans-relance", dir("share/missing"), program});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.error, QStringLiteral("La nouvelle version \"%1\" est introuvable.\nMise à jour abandonnée, "
                                      "l'ancienne version est conservée.\n")
                           .arg(dir("share/missing")));
    EXPECT_EQ(readFile(program), kOld);

    // Paths still in the double quotes of a Windows command line are accepted.
    r = runRelaypak({"--sans-relance", u'"' + newVersion + u'"', u'"' + program + u'"'});
    EXPECT_EQ(r.code, 0) << r.error;
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(readFile(program), kNew);
    EXPECT_TRUE(readFile(program + QStringLiteral(".mise-a-jour.txt")).startsWith("ok\nLe programme \""));
}

TEST_F(Relaypak, ANewVersionThatStopsAtItsStartGivesWayToTheOldOne) {
    writeFile(newVersion,
              "#!/bin/sh\n[ \"$1\" = --version ] && echo '(quillsite v2.0.0)' && exit 0\nexit 3\n");
    const Result r = runRelaypak({newVersion, program});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("La nouvelle version s'est arrêtée dès son démarrage")))
        << r.error;
    EXPECT_EQ(readFile(program), kOld);
    EXPECT_TRUE(
        readFile(program + QStringLiteral(".mise-a-jour.txt")).startsWith("echec\nLa nouvelle version"));
    // The old program is started again.
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(program + QStringLiteral(".started")) && t.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral(".started")));
}

TEST_F(Relaypak, AProgramThatKeepsRunningIsNotReplaced) {
#ifndef Q_OS_LINUX
    GTEST_SKIP() << "running programs are found through /proc";
#endif
    RunningCopy copy(dir("local/running"));
    if (!copy.started)
        GTEST_SKIP() << "no program to run here";
    const Result r = runRelaypak({QStringLiteral("--sans-relance"), QStringLiteral("--attente"),
                                  QStringLiteral("0.2"), newVersion, dir("local/running")});
    EXPECT_EQ(r.code, 1);
    const QString text =
        QStringLiteral("Le programme \"%1\" est toujours en cours d'exécution après 0.2 secondes (une "
                       "autre de ses fenêtres est sans doute ouverte).")
            .arg(dir("local/running"));
    EXPECT_EQ(r.error,
              text + QStringLiteral("\nMise à jour abandonnée, l'ancienne version est conservée.\n"));
    // The program finds why at its next start.
    EXPECT_EQ(
        readFile(dir("local/running.mise-a-jour.txt")),
        "echec\n" +
            (text + QStringLiteral(" Mise à jour abandonnée, l'ancienne version est conservée.\n")).toUtf8());
    EXPECT_NE(readFile(dir("local/running")), kNew);
}

// An old build on the user's machine, a newer one in the update folder, the real updater beside the old
// one: starting the old build hands over to the updater, which replaces it and starts the new build; that
// one, and every later start, finds nothing to do.
TEST(UpdateEndToEnd, AnOldBuildIsReplacedByTheNewerOneAndRestarted) {
    QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
    TempDir dir;
    const QString program = dir("local/quillsite");
    const QString log = dir("events.log");
    const QDateTime built(QDate(2026, 5, 1), QTime(9, 0));
    ASSERT_TRUE(install(QStringLiteral(PROBE_V1_PATH), program, built));
    ASSERT_TRUE(install(QStringLiteral(RELAYPAK_PATH), dir("local/relaypak"), built));
    ASSERT_TRUE(install(QStringLiteral(PROBE_V2_PATH), dir("network/quillsite"), built.addDays(3)));
    ParamètreEcrire(QStringLiteral("RépertoireMiseAJour"), dir("network/"));

    ASSERT_TRUE(start(program, log));
    ASSERT_TRUE(waitForLine(log, QStringLiteral("2 continue"), 20000))
        << logLines(log).join(u'|').toStdString() << readFile(log + QStringLiteral(".out")).toStdString();
    // The new build tells what happened, once, and the old one kept beside goes.
    EXPECT_EQ(
        logLines(log),
        (QStringList{QStringLiteral("1 start"), QStringLiteral("1 end"), QStringLiteral("2 start"),
                     QStringLiteral("2 report Le programme \"%1\" a été mis à jour avec la version du %2.")
                         .arg(program, built.addDays(3).toString(QStringLiteral("dd.MM.yyyy à hh:mm"))),
                     QStringLiteral("2 continue")}));
    EXPECT_EQ(readFile(program), readFile(dir("network/quillsite")));
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_EQ(QDir(dir("local")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("quillsite"), QStringLiteral("relaypak")}));

    // The next start runs the new build, which is up to date.
    QFile::remove(log);
    ASSERT_TRUE(start(program, log));
    EXPECT_EQ(logLines(log), (QStringList{QStringLiteral("2 start"), QStringLiteral("2 continue")}));
    EXPECT_EQ(readFile(log + QStringLiteral(".out")), QByteArray());
}
