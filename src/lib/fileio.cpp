#include "lib/fileio.h"

#include "lib/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {

namespace {

std::mutex faultMutex;
std::optional<WriteFault> currentFault;
int writesSinceFault = 0;

// The number of this write since the fault was set, 0 when no fault is set.
int nextWriteNumber() {
    const std::lock_guard lock(faultMutex);
    return currentFault ? ++writesSinceFault : 0;
}

std::optional<WriteFault> faultFor(int number, WriteFault::Step step) {
    const std::lock_guard lock(faultMutex);
    if (number > 0 && currentFault && currentFault->file == number && currentFault->step == step)
        return currentFault;
    return std::nullopt;
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    const qsizetype back = path.lastIndexOf(u'\\');
    const qsizetype cut = std::max(slash, back);
#else
    const qsizetype cut = slash;
#endif
    if (cut < 0)
        return QStringLiteral(".");
    return cut == 0 ? path.left(1) : path.left(cut);
}

qint64 processId() {
#ifdef Q_OS_UNIX
    return qint64(::getpid());
#else
    return QCoreApplication::applicationPid();
#endif
}

// A hidden name no one can guess, so that no link can be planted at it beforehand.
QString workName(const QString& folder, const char* suffix) {
    const quint64 r = QRandomGenerator::system()->generate64();
    return folder + QStringLiteral("/.qs-") + QString::number(processId()) + u'-' +
           QString::number(r, 16).rightJustified(16, u'0') + QLatin1StringView(suffix);
}

std::atomic<int> stopBefore{0};
std::atomic<int> stepsDone{0};

#ifdef Q_OS_UNIX
QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Same bytes as the file at `path`, when it is an ordinary file (never through a link).
bool sameContent(const QString& path, QByteArrayView bytes) {
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != bytes.size())
        return false;
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    char block[65536];
    qsizetype at = 0;
    bool same = true;
    while (same) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            same = n == 0 && at == bytes.size();
            break;
        }
        same = at + n <= bytes.size() && std::memcmp(block, bytes.data() + at, size_t(n)) == 0;
        at += n;
    }
    ::close(fd);
    return same;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

QString fileErrorCause(const FileError& error) {
    const bool reading = error.operation == FileError::Operation::Read;
    switch (error.kind) {
    case FileError::Kind::None:
        return QStringLiteral("aucune erreur");
    case FileError::Kind::NotRegular:
        return QStringLiteral("ce n'est pas un fichier ordinaire");
    case FileError::Kind::TooLarge:
        return QStringLiteral("fichier trop gros (plus de %1 Mo)").arg(error.limit >> 20);
    case FileError::Kind::ShortWrite:
        return QStringLiteral("écriture incomplète (disque plein ?)");
    case FileError::Kind::SizeMismatch:
        return QStringLiteral("le fichier écrit n'a pas la taille attendue (disque plein ?)");
    case FileError::Kind::OpenFailed:
        return QStringLiteral("ouverture impossible");
    case FileError::Kind::Resources:
        return QStringLiteral("ressources insuffisantes (disque plein ?)");
    case FileError::Kind::Failed:
        return reading ? QStringLiteral("erreur de lecture") : QStringLiteral("erreur d'écriture");
    case FileError::Kind::System:
        break;
    }
    switch (error.code) {
    case ENOENT:
        return reading ? QStringLiteral("fichier ou dossier introuvable")
                       : QStringLiteral("dossier introuvable");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("disque plein");
    case EROFS:
        return QStringLiteral("disque protégé en écriture");
    case EISDIR:
    case ENOTEMPTY:
        return QStringLiteral("un dossier porte ce nom");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case ENAMETOOLONG:
        return QStringLiteral("nom trop long");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case EIO:
        return QStringLiteral("erreur du disque");
    case EFBIG:
        return QStringLiteral("fichier trop gros pour le disque");
    case EBUSY:
        return QStringLiteral("fichier occupé");
    case EXDEV:
        return QStringLiteral("pas sur le même disque");
    case EEXIST:
        return QStringLiteral("le fichier existe déjà");
    case EAGAIN:
        return QStringLiteral("fichier momentanément indisponible");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    default:
        return QStringLiteral("erreur système n° %1").arg(error.code);
    }
}

QString fileErrorMessage(const QString& path, const FileError& error) {
    return (error.operation == FileError::Operation::Read
                ? QStringLiteral("Je ne peux pas lire le fichier \"%1\" : %2.")
                : QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : %2."))
        .arg(path, fileErrorCause(error));
}

FileError fileErrorOf(const QFileDevice& device, FileError::Operation op, int code) {
    if (code != 0)
        return FileError::system(op, code);
    switch (device.error()) {
    case QFileDevice::NoError:
        return {};
    case QFileDevice::PermissionsError:
        return FileError::system(op, EACCES);
    case QFileDevice::ResourceError:
        return {FileError::Kind::Resources, op, 0, 0};
    case QFileDevice::OpenError:
        if (op == FileError::Operation::Read && !QFileInfo::exists(device.fileName()))
            return FileError::system(op, ENOENT);
        return {FileError::Kind::OpenFailed, op, 0, 0};
    default:
        // The device's own text is English: the cause stays general rather than foreign.
        return {FileError::Kind::Failed, op, 0, 0};
    }
}

QString fileErrorCause(const QFileDevice& device, FileError::Operation op, int code) {
    return fileErrorCause(fileErrorOf(device, op, code));
}

QString fileErrorCause(const std::error_code& error, FileError::Operation op) {
    // The portable condition: errno values on every system, whatever category the call reported in.
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category())
        return fileErrorCause(FileError::system(op, condition.value()));
    return fileErrorCause(FileError{FileError::Kind::Failed, op, 0, 0});
}

// ---- reading

RegularFile::RegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a FIFO without a writer would wait forever.
    fd_ = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        error_ = FileError::system(FileError::Operation::Read, errno);
    checkOpened();
#else
    auto* f = new QFile(path);
    file_ = f;
    const QFileInfo info(path);
    if (!info.isFile()) {
        error_ = info.exists() ? FileError{FileError::Kind::NotRegular, FileError::Operation::Read, 0, 0}
                               : FileError::system(FileError::Operation::Read, ENOENT);
    } else if (!f->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error_ = FileError::system(FileError::Operation::Read, EACCES);
    } else {
        size_ = f->size();
    }
#endif
}

#ifdef Q_OS_UNIX
RegularFile::RegularFile(int folder, const char* name) {
    fd_ = ::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        error_ = FileError::system(FileError::Operation::Read, errno);
    checkOpened();
}
#endif

void RegularFile::checkOpened() {
#ifdef Q_OS_UNIX
    if (fd_ < 0)
        return;
    // Checked on the descriptor itself: the name may have changed since it was listed.
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        error_ = FileError::system(FileError::Operation::Read, errno);
    } else if (!S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode)
                     ? FileError::system(FileError::Operation::Read, EISDIR)
                     : FileError{FileError::Kind::NotRegular, FileError::Operation::Read, 0, 0};
    } else {
        size_ = st.st_size;
        return;
    }
    ::close(fd_);
    fd_ = -1;
#endif
}

RegularFile::~RegularFile() {
#ifdef Q_OS_UNIX
    if (fd_ >= 0)
        ::close(fd_);
#else
    delete static_cast<QFile*>(file_);
#endif
}

bool RegularFile::isOpen() const {
#ifdef Q_OS_UNIX
    return fd_ >= 0;
#else
    return !error_.failed() && static_cast<QFile*>(file_)->isOpen();
#endif
}

qint64 RegularFile::read(char* data, qint64 size) {
    if (!isOpen())
        return -1;
#ifdef Q_OS_UNIX
    for (;;) {
        const ssize_t n = ::read(fd_, data, size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error_ = FileError::system(FileError::Operation::Read, errno);
            return -1;
        }
    }
#else
    const qint64 n = static_cast<QFile*>(file_)->read(data, size);
    if (n < 0)
        error_ = FileError::system(FileError::Operation::Read, EIO);
    return n;
#endif
}

namespace {

// Up to `limit` bytes, and one more when there is one (to tell a file of exactly `limit` bytes).
std::optional<QByteArray> readUpTo(const QString& path, qint64 limit, bool oneMore, FileError* error) {
    RegularFile file(path);
    if (!file.isOpen()) {
        if (error)
            *error = file.error();
        return std::nullopt;
    }
    const qint64 wanted = limit + (oneMore ? 1 : 0);
    QByteArray bytes;
    // The size is a hint only: the file may grow or shrink while it is read.
    bytes.reserve(qsizetype(std::min(wanted, file.size() + 1)));
    constexpr qint64 kBlock = 65536;
    while (bytes.size() < wanted) {
        const qsizetype old = bytes.size();
        const qint64 ask = std::min(kBlock, wanted - old);
        bytes.resize(old + ask);
        const qint64 n = file.read(bytes.data() + old, ask);
        bytes.resize(old + std::max<qint64>(n, 0));
        if (n < 0) {
            if (error)
                *error = file.error();
            return std::nullopt;
        }
        if (n == 0)
            break;
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> readFilePrefix(const QString& path, qint64 limit, FileError* error) {
    return readUpTo(path, limit, false, error);
}

std::optional<QByteArray> readWholeFile(const QString& path, qint64 limit, FileError* error) {
    auto bytes = readUpTo(path, limit, true, error);
    if (bytes && bytes->size() > limit) {
        if (error)
            *error = {FileError::Kind::TooLarge, FileError::Operation::Read, 0, limit};
        return std::nullopt;
    }
    return bytes;
}

// ---- writing

void setWriteFault(const std::optional<WriteFault>& fault) {
    const std::lock_guard lock(faultMutex);
    currentFault = fault;
    writesSinceFault = 0;
}

void setStopBeforeFileStep(int n) {
    stopBefore = n;
    stepsDone = 0;
}

void fileStep() {
    const int n = stopBefore.load();
    if (n > 0 && ++stepsDone == n)
        std::_Exit(86);
}

QString workFilePath(const QString& folder, const char* suffix) {
    QString f = folder;
    while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\')))
        f.chop(1);
    return workName(f, suffix);
}

PendingWrite::PendingWrite(const QString& path, const WriteOptions& options)
    : path_(path), options_(options), step_(nextWriteNumber()) {
    if (const auto fault = faultFor(step_, WriteFault::Step::Create)) {
        fail(FileError::system(FileError::Operation::Write, fault->code));
        return;
    }
    const QString folder = folderOf(path);
#ifdef Q_OS_UNIX
    struct stat st;
    const bool exists = ::lstat(native(path).constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        fail(FileError::system(FileError::Operation::Write, EISDIR));
        return;
    }
    // A few tries: a clash of 64 random bits means someone is playing games with the folder.
    for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
        temporary_ = workName(folder, ".tmp");
        fd_ = ::open(native(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        const int code = errno;
        temporary_.clear();
        fail(FileError::system(FileError::Operation::Write, code));
        return;
    }
    // Only an ordinary file hands down its permissions; a link is replaced by a plain new file.
    if (options_.keepPermissions && exists && S_ISREG(st.st_mode))
        ::fchmod(fd_, st.st_mode & 07777);
#else
    temporary_ = workName(folder, ".tmp");
    auto* f = new QFile(temporary_);
    file_ = f;
    if (!f->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        temporary_.clear();
        fail(FileError::system(FileError::Operation::Write, EACCES));
        return;
    }
    if (options_.keepPermissions && QFileInfo(path).isFile())
        f->setPermissions(QFile::permissions(path));
#endif
}

PendingWrite::~PendingWrite() {
    discard();
#ifndef Q_OS_UNIX
    delete static_cast<QFile*>(file_);
#endif
}

bool PendingWrite::fail(FileError error) {
    if (!error_.failed())
        error_ = error;
    discard();
    return false;
}

void PendingWrite::discard() {
#ifdef Q_OS_UNIX
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(native(temporary_).constData());
#else
    if (file_)
        static_cast<QFile*>(file_)->close();
    if (!temporary_.isEmpty())
        QFile::remove(temporary_);
#endif
    temporary_.clear();
}

bool PendingWrite::write(QByteArrayView bytes) {
    if (error_.failed() || finished_ || temporary_.isEmpty())
        return false;
    qint64 allowed = bytes.size();
    const auto fault = faultFor(step_, WriteFault::Step::Write);
    if (fault)
        allowed = std::clamp<qint64>(fault->afterBytes - written_, 0, bytes.size());
    const char* data = bytes.data();
    qint64 left = allowed;
#ifdef Q_OS_UNIX
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(FileError::system(FileError::Operation::Write, errno));
        if (n == 0)
            return fail({FileError::Kind::ShortWrite, FileError::Operation::Write, 0, 0});
        data += n;
        left -= n;
        written_ += n;
    }
#else
    auto* f = static_cast<QFile*>(file_);
    if (f->write(data, left) != left)
        return fail({FileError::Kind::ShortWrite, FileError::Operation::Write, 0, 0});
    written_ += left;
#endif
    if (allowed < bytes.size())
        return fail(FileError::system(FileError::Operation::Write, fault->code));
    return true;
}

bool PendingWrite::finish() {
    if (error_.failed() || temporary_.isEmpty())
        return false;
    if (finished_)
        return true;
    if (const auto fault = faultFor(step_, WriteFault::Step::Finish))
        return fail(FileError::system(FileError::Operation::Write, fault->code));
#ifdef Q_OS_UNIX
    if (options_.sync && ::fsync(fd_) != 0)
        return fail(FileError::system(FileError::Operation::Write, errno));
    struct stat st;
    if (::fstat(fd_, &st) != 0)
        return fail(FileError::system(FileError::Operation::Write, errno));
    const int fd = fd_;
    fd_ = -1;
    // A network file system may report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR)
        return fail(FileError::system(FileError::Operation::Write, errno));
    if (st.st_size != written_)
        return fail({FileError::Kind::SizeMismatch, FileError::Operation::Write, 0, 0});
#else
    auto* f = static_cast<QFile*>(file_);
    if (!f->flush())
        return fail({FileError::Kind::ShortWrite, FileError::Operation::Write, 0, 0});
    f->close();
    if (QFileInfo(temporary_).size() != written_)
        return fail({FileError::Kind::SizeMismatch, FileError::Operation::Write, 0, 0});
#endif
    finished_ = true;
    return true;
}

bool PendingWrite::commit() {
    if (!finish())
        return false;
    if (const auto fault = faultFor(step_, WriteFault::Step::Commit))
        return fail(FileError::system(FileError::Operation::Write, fault->code));
    fileStep();
#ifdef Q_OS_UNIX
    if (options_.exclusive) {
        // A second name that cannot replace anything: another program's new file wins, ours goes.
        if (::link(native(temporary_).constData(), native(path_).constData()) != 0) {
            const int code = errno;
            struct stat st;
            // A disk without hard links (FAT): a look then a rename, the site's lock keeping others out.
            const bool noLinks = code == EPERM || code == EOPNOTSUPP || code == EMLINK || code == ENOSYS;
            if (!noLinks)
                return fail(FileError::system(FileError::Operation::Write, code));
            if (::lstat(native(path_).constData(), &st) == 0 || errno != ENOENT)
                return fail(FileError::system(FileError::Operation::Write, EEXIST));
            if (::rename(native(temporary_).constData(), native(path_).constData()) != 0)
                return fail(FileError::system(FileError::Operation::Write, errno));
        }
        ::unlink(native(temporary_).constData());
        temporary_.clear();
        if (options_.sync)
            syncFolder(folderOf(path_));
        return true;
    }
    // rename() replaces a link itself, never its target.
    if (::rename(native(temporary_).constData(), native(path_).constData()) != 0)
        return fail(FileError::system(FileError::Operation::Write, errno));
    temporary_.clear();
    if (options_.sync)
        syncFolder(folderOf(path_));
#else
    if (options_.exclusive && QFileInfo::exists(path_))
        return fail(FileError::system(FileError::Operation::Write, EEXIST));
    if (!options_.exclusive)
        QFile::remove(path_);
    if (!QFile::rename(temporary_, path_))
        return fail(FileError::system(FileError::Operation::Write, EACCES));
    temporary_.clear();
#endif
    return true;
}

int clearStaleWorkFiles(const QString& folder) {
    int cleared = 0;
    QString f = folder;
    while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\')))
        f.chop(1);
    const QStringList names =
        QDir(f).entryList({QStringLiteral(".qs-*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        // ".qs-<pid>-<16 hex><suffix>"
        const qsizetype dash = name.indexOf(u'-', 4);
        bool ok = false;
        const qint64 pid = dash > 4 ? QStringView(name).sliced(4, dash - 4).toLongLong(&ok) : 0;
        const QStringView rest = dash > 4 ? QStringView(name).sliced(dash + 1) : QStringView();
        const bool old = rest.endsWith(u".old");
        if (!ok || pid <= 0 || rest.size() != 16 + 4 || (!old && !rest.endsWith(u".tmp")))
            continue;
#ifdef Q_OS_UNIX
        if (pid == processId() || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QString path = f + u'/' + name;
        struct stat st;
        if (::lstat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        // A kept-aside copy whose file was replaced meanwhile holds the only copy of the old bytes.
        if (old && st.st_nlink == 1) {
            moveToTrash(path);
        } else {
            ::unlink(native(path).constData());
        }
        ++cleared;
#else
        Q_UNUSED(old);
#endif
    }
    return cleared;
}

bool writeFileWhole(const QString& path, QByteArrayView bytes, const WriteOptions& options,
                    FileError* error) {
#ifdef Q_OS_UNIX
    if (options.skipUnchanged && sameContent(path, bytes))
        return true;
#endif
    PendingWrite w(path, options);
    if (w.write(bytes) && w.commit())
        return true;
    if (error)
        *error = w.error();
    return false;
}

bool copyFileWhole(const QString& from, const QString& to, const WriteOptions& options, FileError* error,
                   QString* failedPath) {
    auto failed = [&](const QString& which, const FileError& e) {
        if (error)
            *error = e;
        if (failedPath)
            *failedPath = which;
        return false;
    };
    RegularFile in(from);
    if (!in.isOpen())
        return failed(from, in.error());
    PendingWrite out(to, options);
    QByteArray block(65536, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0)
            return failed(from, in.error());
        if (n == 0)
            break;
        if (!out.write(QByteArrayView(block.constData(), n)))
            return failed(to, out.error());
    }
    if (!out.commit())
        return failed(to, out.error());
    return true;
}

bool commitAll(const QList<PendingWrite*>& writes, QStringList* previous, int* failed) {
    struct Kept {
        QString path;
        bool moved = false; // put aside by a rename (no hard links here): absent until restored
    };
    QList<Kept> kept(writes.size());
    auto undo = [&](qsizetype committed, qsizetype failing) {
        for (qsizetype j = 0; j < writes.size(); ++j) {
            const QString& target = writes[j]->path();
#ifdef Q_OS_UNIX
            if (j < committed || (kept[j].moved && !kept[j].path.isEmpty())) {
                if (!kept[j].path.isEmpty())
                    ::rename(native(kept[j].path).constData(), native(target).constData());
                else
                    ::unlink(native(target).constData());
            } else if (!kept[j].path.isEmpty()) {
                ::unlink(native(kept[j].path).constData());
            }
#else
            if (!kept[j].path.isEmpty()) {
                QFile::remove(target);
                QFile::rename(kept[j].path, target);
            }
#endif
            writes[j]->discard();
        }
        if (failed)
            *failed = int(failing);
        return false;
    };
    for (qsizetype i = 0; i < writes.size(); ++i)
        if (!writes[i]->finish())
            return undo(0, i);
#ifdef Q_OS_UNIX
    for (qsizetype i = 0; i < writes.size(); ++i) {
        const QString& target = writes[i]->path();
        struct stat st;
        if (::lstat(native(target).constData(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        const QString aside = workName(folderOf(target), ".old");
        if (::link(native(target).constData(), native(aside).constData()) == 0) {
            kept[i].path = aside;
        } else if (::rename(native(target).constData(), native(aside).constData()) == 0) {
            kept[i] = {aside, true};
        } else {
            return undo(0, i);
        }
    }
#else
    for (qsizetype i = 0; i < writes.size(); ++i) {
        const QString& target = writes[i]->path();
        if (!QFileInfo(target).isFile())
            continue;
        const QString aside = workName(folderOf(target), ".old");
        if (!QFile::rename(target, aside))
            return undo(0, i);
        kept[i] = {aside, true};
    }
#endif
    for (qsizetype i = 0; i < writes.size(); ++i)
        if (!writes[i]->commit())
            return undo(i, i);
    if (previous) {
        previous->clear();
        for (const Kept& k : kept)
            previous->append(k.path);
    }
    return true;
}

} // namespace qs
