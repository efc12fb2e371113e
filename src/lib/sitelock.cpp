#include "lib/sitelock.h"

#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <map>
#include <memory>
#include <mutex>

namespace qs {

namespace {

struct Held {
    std::unique_ptr<QLockFile> file; // null when the folder cannot hold a lock file
    int count = 0;
};

std::mutex registryMutex;
std::map<QString, Held>& registry() {
    static std::map<QString, Held> held;
    return held;
}

const QString kJournalName = QStringLiteral(".quillsite.deplacement");

QString holderText(QLockFile& lock, const QString& lockPath, const QString& site) {
    qint64 pid = 0;
    QString host;
    QString program;
    lock.getLockInfo(&pid, &host, &program);
    QString user = QFileInfo(lockPath).owner();
    const QString unknown = QStringLiteral("inconnu");
    return QStringLiteral("Le site « %1 » est en cours de modification par un autre programme : %2 "
                          "(utilisateur %3, machine %4, processus %5). Réessayez quand il aura fini.")
        .arg(QDir::toNativeSeparators(site), program.isEmpty() ? unknown : program,
             user.isEmpty() ? unknown : user, host.isEmpty() ? unknown : host,
             pid > 0 ? QString::number(pid) : unknown);
}

bool sameBytes(const QString& a, const QString& b) {
    const auto x = readWholeFile(a);
    const auto y = readWholeFile(b);
    return x && y && *x == *y;
}

} // namespace

SiteLock::SiteLock(const QString& siteFolder, int waitMs) {
    key_ = QDir(siteFolder).canonicalPath();
    if (key_.isEmpty()) {
        // No such folder: nothing to guard, the command says what is missing.
        held_ = true;
        return;
    }
    std::unique_lock guard(registryMutex);
    Held& entry = registry()[key_];
    if (entry.count > 0) {
        ++entry.count;
        held_ = true;
        return;
    }
    const QString lockPath = key_ + u'/' + QString::fromUtf16(kSiteLockName);
    auto file = std::make_unique<QLockFile>(lockPath);
    // A live holder is never stale, however long it works; a dead one always is.
    file->setStaleLockTime(0);
    if (!file->tryLock(waitMs)) {
        if (file->error() == QLockFile::LockFailedError) {
            failure_ = holderText(*file, lockPath, key_);
            registry().erase(key_);
            return;
        }
        // A folder that cannot take the lock file (read-only, full): every write will say why.
        file.reset();
    }
    entry.file = std::move(file);
    entry.count = 1;
    held_ = true;
    // Once per process and site: a walk of every folder is not for every click of the window.
    static QSet<QString> recovered;
    const bool first = !recovered.contains(key_);
    recovered.insert(key_);
    guard.unlock();
    if (first)
        recoverInterruptedWork(key_);
}

SiteLock::~SiteLock() {
    if (!held_ || key_.isEmpty())
        return;
    const std::lock_guard guard(registryMutex);
    auto it = registry().find(key_);
    if (it != registry().end() && --it->second.count <= 0)
        registry().erase(it); // unlocks
}

bool lockRefused(const SiteLock& lock, Dialogs& dialogs) {
    if (lock.held())
        return false;
    dialogs.message(lock.failure(), Icon::Exclamation, QStringLiteral("Site occupé"));
    return true;
}

MoveJournal::MoveJournal(const QString& siteFolder, const QString& source, const QString& target) {
    const QDir root(siteFolder);
    path_ = root.filePath(kJournalName);
    const QByteArray text =
        (root.relativeFilePath(source) + u'\n' + root.relativeFilePath(target) + u'\n').toUtf8();
    if (!writeFileWhole(path_, text, {.sync = true, .keepPermissions = false, .skipUnchanged = false}))
        path_.clear();
}

MoveJournal::~MoveJournal() {
    if (!path_.isEmpty())
        QFile::remove(path_);
}

int recoverInterruptedWork(const QString& siteFolder) {
    int recovered = 0;
    const QDir root(siteFolder);
    const QString journal = root.filePath(kJournalName);
    if (const auto text = readWholeFile(journal, 1 << 16)) {
        const QStringList lines = QString::fromUtf8(*text).split(u'\n');
        if (lines.size() >= 2 && !lines[0].isEmpty() && !lines[1].isEmpty()) {
            const QString source = QDir::cleanPath(root.filePath(lines[0]));
            const QString target = QDir::cleanPath(root.filePath(lines[1]));
            // Stopped after the copy, before the source went: the copy goes (the source holds the same
            // bytes). Once the source is gone, the copy is the page.
            if (source != target && QFileInfo(source).isFile() && !QFileInfo(target).isSymLink() &&
                sameBytes(source, target) && QFile::remove(target))
                ++recovered;
        }
        QFile::remove(journal);
    }
    recovered += clearStaleWorkFiles(siteFolder);
    QDirIterator it(siteFolder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        recovered += clearStaleWorkFiles(it.next());
    return recovered;
}

} // namespace qs
