#include "tools/fileops.h"

#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <QDirIterator>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {
namespace {

std::filesystem::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

bool replaceFileAtomically(const QString& from, const QString& to, QString* cause) {
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
#endif
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (!ec)
        return true;
    if (cause)
        *cause = fileErrorCause(ec, FileError::Operation::Write);
    return false;
}

FileStatus fileStatus(const QString& path, bool followLinks) {
    FileStatus status;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if ((followLinks ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st)) != 0)
        return status;
    status.exists = true;
    status.isSymLink = S_ISLNK(st.st_mode);
    status.mode = st.st_mode & 07777;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    if (followLinks)
        status.protectedFile = !(st.st_mode & 0222) || ::access(native.constData(), W_OK) != 0;
#else
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return status;
    status.exists = true;
    status.isSymLink = !followLinks && info.isSymLink();
    status.mode = uint(info.permissions());
    status.protectedFile = !info.isWritable();
#endif
    return status;
}

#ifdef Q_OS_UNIX
namespace {

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

} // namespace

FileStamp fileStamp(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return stampOf(st);
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

InputFile::Result InputFile::open(const QString& path, bool followLinks) {
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that a FIFO with no writer cannot hold the run; the type is then checked on the
    // descriptor itself, not on a name that may have changed in between. (Reads of an ordinary file
    // never block, so the flag may stay.)
    fd_ = ::open(native.constData(),
                 O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW));
    if (fd_ < 0)
        return !followLinks && errno == ELOOP ? Result::Link : Result::Unreadable;
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return Result::Unreadable;
    if (!S_ISREG(st.st_mode))
        return Result::NotOrdinary;
    path_ = native;
    stamp_ = stampOf(st);
    status_.exists = true;
    status_.mode = st.st_mode & 07777;
    status_.owner = st.st_uid;
    status_.group = st.st_gid;
    return Result::Ok;
}

bool InputFile::isProtected() const {
    // Answered from the mode where it says everything, without asking the system.
    static const uid_t self = ::geteuid();
    if (!(status_.mode & 0222))
        return true;
    if (self == 0)
        return false;
    if (status_.owner == self)
        return !(status_.mode & 0200);
    // Gone meanwhile is not protected: the check before the rename sees it.
    return ::access(path_.constData(), W_OK) != 0 && errno != ENOENT;
}

qint64 InputFile::read(char* data, qint64 max) {
    for (;;) {
        const ssize_t n = ::read(fd_, data, size_t(max));
        if (n >= 0 || errno != EINTR)
            return qint64(n);
    }
}

qint64 InputFile::readAt(char* data, qint64 max, qint64 offset) {
    for (;;) {
        const ssize_t n = ::pread(fd_, data, size_t(max), off_t(offset));
        if (n >= 0 || errno != EINTR)
            return qint64(n);
    }
}

bool InputFile::rewind() {
    return ::lseek(fd_, 0, SEEK_SET) == 0;
}

QString workFilePrefix() {
    return QStringLiteral(".qs-remplacement-");
}

WorkFile::~WorkFile() {
    discard();
}

namespace {

// The mode bits the process's umask takes away, read once.
mode_t umaskBits() {
    static const mode_t bits = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return bits;
}

const QString& processNumber() {
    static const QString pid = QString::number(::getpid());
    return pid;
}

} // namespace

bool WorkFile::create(const QString& folder, const FileStatus& like, QString* cause) {
    const QString base = withSeparator(folder) + workFilePrefix() + processNumber() + u'-';
    // Created with the mode it must have when the umask allows, saving a change afterwards.
    const mode_t mode = like.mode & 0777;
    modeSet_ = (like.mode & 07000) == 0 && (mode & umaskBits()) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            base + QString::number(QRandomGenerator::global()->generate64() % 0xFFFFFFFFFFull, 36);
        fd_ = ::open(QFile::encodeName(name).constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, modeSet_ ? mode : 0600);
        if (fd_ >= 0) {
            path_ = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    errno_ = errno;
    if (cause)
        *cause = this->cause();
    return false;
}

bool WorkFile::flushBuffer() {
    const char* p = buffer_.constData();
    qint64 left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errno_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    buffer_.clear();
    return true;
}

bool WorkFile::write(const char* data, qint64 size) {
    if (buffer_.size() + size > (1 << 20) && !flushBuffer())
        return false;
    if (size >= (1 << 20)) {
        buffer_.append(data, size);
        return flushBuffer();
    }
    buffer_.append(data, size);
    return true;
}

bool WorkFile::finish(const FileStatus& like, QString* cause) {
    bool ok = flushBuffer();
    if (ok) {
        // The owner first: changing it may clear the set-id bits, which the mode then restores. It only
        // succeeds when allowed (root, or a group of our own); otherwise the new file is ours.
        static const uid_t user = ::geteuid();
        static const gid_t group = ::getegid();
        const bool sameOwner = like.owner == user && like.group == group;
        if (!sameOwner && ::fchown(fd_, like.owner, like.group) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd_, uid_t(-1), like.group);
        }
        if (!sameOwner || !modeSet_)
            ::fchmod(fd_, like.mode);
        struct stat st {};
        if (::fstat(fd_, &st) == 0)
            stamp_ = stampOf(st);
    }
    if (::close(fd_) != 0 && ok) {
        errno_ = errno;
        ok = false;
    }
    fd_ = -1;
    if (!ok && cause)
        *cause = this->cause();
    return ok;
}

void WorkFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!path_.isEmpty()) {
        ::unlink(QFile::encodeName(path_).constData());
        path_.clear();
    }
}

QString WorkFile::cause() const {
    return fileErrorCause(FileError::system(FileError::Operation::Write, errno_));
}

void removeLeftoverWorkFiles(const QString& folder) {
    const QByteArray dir = QFile::encodeName(withSeparator(folder));
    const QByteArray prefix = QFile::encodeName(workFilePrefix());
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(d)) {
        const QByteArrayView name(entry->d_name);
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 pid = name.sliced(prefix.size()).toByteArray().split('-').front().toLongLong(&ok);
        // Left by a run that has ended: its process is gone.
        if (ok && pid > 0 && pid != self && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlink((dir + name.toByteArray()).constData());
    }
    ::closedir(d);
}
#endif

QStringList FichiersLister(const QString& folder, const QStringList& patterns) {
    QDir dir(folder);
    dir.setFilter(QDir::Files); // without QDir::CaseSensitive, patterns ignore case
    if (!patterns.isEmpty())
        dir.setNameFilters(patterns);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    // A link to a file outside the folder is not one of its files: a run must not reach through it.
    names.removeIf([&](const QString& n) { return linksOutside(dir.filePath(n), folder); });
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString DossierMémorisé(const QString& key, const QStringList& fallbacks) {
    const QString stored = ParamètreLire(key);
    if (!stored.isEmpty() && DossierExiste(stored))
        return withSeparator(stored);
    for (const QString& f : fallbacks)
        if (!f.isEmpty() && DossierExiste(f))
            return withSeparator(f);
    return withSeparator(QDir::homePath());
}

void DossierMémoriser(const QString& key, const QString& folder) {
    if (!folder.isEmpty())
        ParamètreEcrire(key, withSeparator(folder));
}

} // namespace qs
