#include "lib/changejournal.h"

#include "lib/fileio.h"
#include "lib/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {
namespace {

const QString kList = QStringLiteral("liste.txt");
const QString kUndone = QStringLiteral(".annulé");
const QString kDateFormat = QStringLiteral("yyyyMMdd-hhmmss-zzz");

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// The cause of the system call that just failed, in French.
QString errnoText() {
    return fileErrorCause(FileError::system(FileError::Operation::Write, errno));
}

struct Stat {
    bool exists = false;
    qint64 size = 0;
    qint64 ns = 0;
    unsigned mode = 0;
};

Stat statOf(const QString& path) {
    Stat s;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = qint64(st.st_size);
    s.ns = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.mode = st.st_mode & 07777;
#endif
    return s;
}

bool setModifiedNs(const QString& path, qint64 ns) {
#ifdef Q_OS_UNIX
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(ns / 1000000000);
    times[1].tv_nsec = long(ns % 1000000000);
    return ::utimensat(AT_FDCWD, native(path).constData(), times, 0) == 0;
#else
    return false;
#endif
}

// Copies `from` to the new file `to` (created exclusively), with `mode`. False with errno set.
bool copyBytes(const QString& from, const QString& to, unsigned mode) {
#ifdef Q_OS_UNIX
    const int in = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return false;
    const int out = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        errno = e;
        return false;
    }
    bool ok = true;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                if (w == 0)
                    errno = ENOSPC;
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    const int e = errno;
    ::fchmod(out, mode);
    if (::close(out) != 0 && ok)
        ok = false;
    ::close(in);
    if (!ok) {
        ::unlink(native(to).constData());
        errno = e;
    }
    return ok;
#else
    Q_UNUSED(mode);
    return QFile::copy(from, to);
#endif
}

// Runs of the journal not yet undone, oldest first.
QStringList runsOf(const QString& folder, bool withUndone) {
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (!withUndone)
        names.removeIf([](const QString& n) { return n.endsWith(kUndone); });
    return names;
}

} // namespace

ChangeJournal::ChangeJournal(const QString& folder, int keep) : folder_(withSeparator(folder)), keep_(keep) {}

QString ChangeJournal::defaultFolder(const QString& kind) {
    // Shared by the window and the command line, whatever their application names.
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
           QStringLiteral("Vendrel/quillsite/annulation/") + kind + u'/';
}

void ChangeJournal::begin(const QDateTime& when) {
    QString name = when.toString(kDateFormat);
    // Two runs in one millisecond: the second gets a suffix.
    for (int n = 2; QFileInfo::exists(folder_ + name); ++n)
        name = when.toString(kDateFormat) + u'-' + QString::number(n);
    runFolder_ = folder_ + name + u'/';
    entries_.clear();
    next_ = 1;
}

bool ChangeJournal::keep(const QString& path, qint64 modifiedNs, JournalEntry* entry, QString* error) {
    const auto fail = [&](const QString& cause) {
        if (error)
            *error = QStringLiteral("Je ne peux pas conserver le contenu actuel de \"%1\" dans \"%2\", qui "
                                    "permettrait d'annuler le remplacement : %3.")
                         .arg(path, withoutSeparator(runFolder_), cause);
        return false;
    };
    QString saved;
    {
        QMutexLocker lock(&mutex_);
        if (next_ == 1 && !QDir().mkpath(runFolder_))
            return fail(QStringLiteral("le dossier ne peut pas être créé"));
        saved = QString::number(next_++);
    }
    const QString copy = runFolder_ + saved;
#ifdef Q_OS_UNIX
    // A second link keeps the very bytes and date without copying them; another disk needs a copy.
    if (::link(native(path).constData(), native(copy).constData()) != 0) {
        if (!copyBytes(path, copy, 0600))
            return fail(errnoText());
        setModifiedNs(copy, modifiedNs);
    }
#else
    if (!copyBytes(path, copy, 0600))
        return fail(QStringLiteral("copie impossible"));
#endif
    entry->path = path;
    entry->saved = saved;
    entry->originalNs = modifiedNs;
    return true;
}

void ChangeJournal::changed(JournalEntry entry) {
    if (entry.newSize < 0) {
        const Stat after = statOf(entry.path);
        entry.newSize = after.size;
        entry.newNs = after.ns;
    }
    QMutexLocker lock(&mutex_);
    entries_.append(std::move(entry));
}

void ChangeJournal::drop(const JournalEntry& entry) {
    if (!entry.saved.isEmpty())
        QFile::remove(runFolder_ + entry.saved);
}

void ChangeJournal::abandon() {
    if (!runFolder_.isEmpty() && next_ > 1)
        QDir(runFolder_).removeRecursively();
    entries_.clear();
    next_ = 1;
}

bool ChangeJournal::finish(QString* error) {
    if (next_ == 1)
        return true;
    if (entries_.isEmpty()) {
        abandon();
        return true;
    }
    QByteArray list;
    for (const JournalEntry& e : entries_) {
        list += e.saved.toUtf8() + '\t' + QByteArray::number(e.originalNs) + '\t' +
                QByteArray::number(e.newSize) + '\t' + QByteArray::number(e.newNs) + '\t' +
                QUrl::toPercentEncoding(e.path, "/\\:._-~ ()") + '\n';
    }
    // Saved copies of files finally left alone are not listed; they go with the run when it is dropped.
    QFile file(runFolder_ + kList);
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size() || !file.flush()) {
        if (error)
            *error = QStringLiteral("Je ne peux pas écrire \"%1\" : %2. Ce remplacement ne pourra pas être "
                                    "annulé.")
                         .arg(file.fileName(), fileErrorCause(file, FileError::Operation::Write));
        return false;
    }
    file.close();
    return true;
}

void ChangeJournal::prune() {
    const QString current = QFileInfo(withoutSeparator(runFolder_)).fileName();
    QStringList runs = runsOf(folder_, true);
    runs.removeAll(current);
    for (qsizetype i = 0; i + keep_ - 1 < runs.size(); ++i)
        QDir(folder_ + runs[i]).removeRecursively();
}

std::optional<QDateTime> ChangeJournal::lastRun() const {
    const QStringList runs = runsOf(folder_, false);
    for (qsizetype i = runs.size() - 1; i >= 0; --i) {
        if (QFileInfo::exists(folder_ + runs[i] + u'/' + kList))
            return QDateTime::fromString(runs[i].left(kDateFormat.size()), kDateFormat);
    }
    return std::nullopt;
}

UndoOutcome ChangeJournal::undoLast() {
    UndoOutcome outcome;
    const QStringList runs = runsOf(folder_, false);
    QString run;
    for (qsizetype i = runs.size() - 1; i >= 0 && run.isEmpty(); --i)
        if (QFileInfo::exists(folder_ + runs[i] + u'/' + kList))
            run = runs[i];
    if (run.isEmpty())
        return outcome;
    outcome.runDate = QDateTime::fromString(run.left(kDateFormat.size()), kDateFormat);
    const QString dir = folder_ + run + u'/';
    QFile list(dir + kList);
    if (!list.open(QIODevice::ReadOnly)) {
        outcome.error = QStringLiteral("Je ne peux pas lire \"%1\" : %2.")
                            .arg(list.fileName(), fileErrorCause(list, FileError::Operation::Read));
        return outcome;
    }
    const QList<QByteArray> lines = list.readAll().split('\n');
    list.close();
    QByteArray refusedLines;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() != 5)
            continue;
        const QString saved = dir + QString::fromUtf8(f[0]);
        const qint64 originalNs = f[1].toLongLong();
        const qint64 newSize = f[2].toLongLong();
        const qint64 newNs = f[3].toLongLong();
        const QString path = QUrl::fromPercentEncoding(f[4]);
        const Stat now = statOf(path);
        const Stat before = statOf(saved);
        if (now.exists && before.exists && now.size == before.size && now.ns == originalNs) {
            outcome.restored.append(path); // never changed, or already put back
            continue;
        }
        if (!now.exists || now.size != newSize || now.ns != newNs || !before.exists) {
            outcome.refused.append(path);
            refusedLines += line + '\n';
            continue;
        }
        if (!outcome.error.isEmpty()) {
            refusedLines += line + '\n';
            continue;
        }
        // Put back through a work file beside it, in one rename: the file is whole at every moment.
        const QString work = FichierRépertoire(path) + QStringLiteral(".qs-annulation-") +
                             QString::number(QCoreApplication::applicationPid()) + u'-' + f[0];
        QFile::remove(work);
        bool ok = copyBytes(saved, work, now.mode);
        QString cause = ok ? QString() : errnoText();
        if (ok && !setModifiedNs(work, originalNs)) {
            ok = false;
            cause = errnoText();
        }
        if (ok && std::rename(native(work).constData(), native(path).constData()) != 0) {
            ok = false;
            cause = errnoText();
        }
        if (!ok) {
            QFile::remove(work);
            outcome.error =
                QStringLiteral("Je ne peux pas rétablir le fichier \"%1\" : %2.").arg(path, cause);
            refusedLines += line + '\n';
            continue;
        }
        QFile::remove(saved);
        outcome.restored.append(path);
    }
    if (refusedLines.isEmpty()) {
        QDir(dir).removeRecursively();
        return outcome;
    }
    // What could not be put back stays, out of the way of the next undo.
    QFile rest(dir + kList);
    if (rest.open(QIODevice::WriteOnly))
        rest.write(refusedLines);
    rest.close();
    const QString kept = folder_ + run + kUndone;
    outcome.keptIn = QDir().rename(withoutSeparator(dir), kept) ? kept : withoutSeparator(dir);
    return outcome;
}

} // namespace qs
