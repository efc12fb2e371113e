#include "replace.h"

#include "lib/updatefiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace relaypak {

bool inUse(const QString& program) {
#if defined(Q_OS_LINUX)
    // A process runs the file when its /proc/<pid>/exe is that very file (same device and inode), whatever
    // path it was started by.
    struct stat target {};
    if (::stat(QFile::encodeName(program).constData(), &target) != 0)
        return false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        const char* name = entry->d_name;
        if (name[0] < '1' || name[0] > '9' || self == name)
            continue;
        struct stat st {};
        const QByteArray exe = QByteArrayLiteral("/proc/") + name + QByteArrayLiteral("/exe");
        // Processes of other users cannot be looked into; they do not run this user's copy.
        if (::stat(exe.constData(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
#elif defined(Q_OS_WIN)
    // A running executable cannot be opened for writing.
    QFile f(program);
    if (!f.exists())
        return false;
    if (f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        f.close();
        return false;
    }
    return true;
#else
    Q_UNUSED(program);
    return false;
#endif
}

bool waitUntilFree(const QString& program, int timeoutMs, int pollMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!inUse(program))
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(qMin<qint64>(pollMs, qMax<qint64>(1, deadline.remainingTime()))));
    }
}

namespace {

QString tr(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

bool answersVersion(const QString& file, int timeoutMs, QString* why) {
    QProcess p;
    p.setProgram(file);
    p.setArguments({QString::fromLatin1(qs::updatefiles::versionOption())});
    p.setWorkingDirectory(QFileInfo(file).absolutePath());
    p.start();
    if (!p.waitForStarted(timeoutMs)) {
        *why = tr(u"elle ne peut pas être lancée : %1").arg(p.errorString());
        return false;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        *why = tr(u"elle ne répond pas en %1 secondes").arg(timeoutMs / 1000.0);
        return false;
    }
    const QByteArray first = p.readAllStandardOutput().split('\n').front();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 ||
        !qs::updatefiles::isIdentificationLine(first)) {
        *why = tr(u"elle ne donne pas son identification (code de sortie %1)").arg(p.exitCode());
        return false;
    }
    return true;
}

bool restoreBackup(const QString& program, QString* why) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(qs::updatefiles::backupPath(program).toStdU16String()),
                            std::filesystem::path(program.toStdU16String()), ec);
    if (ec && why)
        *why = QString::fromLocal8Bit(ec.message());
    return !ec;
}

void writeReport(const QString& program, bool ok, const QString& text) {
    QFile f(qs::updatefiles::reportPath(program));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write((ok ? QByteArrayLiteral("ok\n") : QByteArrayLiteral("echec\n")) + text.toUtf8() + '\n');
}

Start startAndWatch(const QString& program, int timeoutMs) {
    qint64 pid = 0;
    if (!QProcess::startDetached(program, {}, QFileInfo(program).absolutePath(), &pid))
        return Start::NotStarted;
    const QString backup = qs::updatefiles::backupPath(program);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!QFileInfo::exists(backup))
            return Start::Started;
#ifdef Q_OS_UNIX
        // Gone (or a zombie waiting for nobody): it ended without getting as far as its start.
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            return QFileInfo::exists(backup) ? Start::Ended : Start::Started;
#endif
        if (deadline.hasExpired())
            return Start::StillRunning;
        QThread::msleep(50);
    }
}

QString replaceProgram(const QString& newVersion, const QString& programPath, int checkMs) {
    const QFileInfo source(newVersion);
    if (!source.isFile())
        return tr(u"La nouvelle version \"%1\" est introuvable.").arg(newVersion);
    const QFileInfo given(programPath);
    if (!given.isFile())
        return tr(u"Le programme à remplacer \"%1\" est introuvable.").arg(programPath);
    // Through a link, the file it points to is the one to replace, not the link.
    const QString program = given.canonicalFilePath();
    if (source.canonicalFilePath() == program)
        return tr(u"La nouvelle version et le programme à remplacer sont le même fichier (\"%1\").")
            .arg(program);
    if (source.size() == 0)
        return tr(u"La nouvelle version \"%1\" est vide.").arg(newVersion);

    const QString folder = QFileInfo(program).absolutePath();
    auto copyFailed = [&](const QString& why) {
        return tr(u"Je ne parviens pas à copier la nouvelle version \"%1\" dans le répertoire \"%2\" (%3).")
            .arg(newVersion, folder, why);
    };
    QFile in(newVersion);
    if (!in.open(QIODevice::ReadOnly))
        return copyFailed(in.errorString());
    QString staged;
    {
        // Closed at the end of this block: a file still open for writing cannot be run.
        QTemporaryFile out(folder + QStringLiteral("/.") + QFileInfo(program).fileName() +
                           QStringLiteral(".relaypak.XXXXXX"));
        out.setAutoRemove(true);
        if (!out.open())
            return copyFailed(out.errorString());
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
                return copyFailed(in.errorString());
            if (out.write(chunk) != chunk.size())
                return copyFailed(out.errorString());
        }
        if (!out.flush() || out.size() != in.size())
            return copyFailed(out.errorString());
#ifdef Q_OS_UNIX
        // On disk before the rename: a crash must leave either the old program or the whole new one.
        if (::fsync(out.handle()) != 0)
            return copyFailed(out.errorString());
#endif
        // Keeps the run permission the program had, whatever the share gave the new version.
        if (!out.setPermissions(QFile::permissions(program)))
            return copyFailed(out.errorString());
        out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
        out.setAutoRemove(false);
        staged = out.fileName();
    }
    const auto discard = [&](const QString& why) {
        QFile::remove(staged);
        return why;
    };

    QString why;
    if (!answersVersion(staged, checkMs, &why))
        return discard(tr(u"La nouvelle version \"%1\" ne fonctionne pas ici : %2.").arg(newVersion, why));

    // The old program stays beside, under a second name, until the new one has started once.
    const QString backup = qs::updatefiles::backupPath(program);
    QFile::remove(backup);
#ifdef Q_OS_UNIX
    if (::link(QFile::encodeName(program).constData(), QFile::encodeName(backup).constData()) != 0)
#endif
        if (!QFile::copy(program, backup))
            return discard(
                tr(u"Je ne parviens pas à garder l'ancienne version \"%1\" en réserve.").arg(backup));

    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(staged.toStdU16String()),
                            std::filesystem::path(program.toStdU16String()), ec);
    if (ec) {
        QFile::remove(backup);
        return discard(tr(u"Je ne parviens pas à remplacer le programme \"%1\" (%2).")
                           .arg(program, QString::fromLocal8Bit(ec.message())));
    }
    return {};
}

} // namespace relaypak
