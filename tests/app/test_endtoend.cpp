#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QThread>

using namespace qs;
using namespace qs::test;

namespace {

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
