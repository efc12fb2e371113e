#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <optional>
#include <system_error>

class QFileDevice;

// Reading and writing whole files, bounded and safe whatever the disk holds.
//
// Readers open only ordinary files, without blocking and checked on the opened descriptor, so that a
// FIFO, a device or a link to /dev/zero named like a page is refused instead of hanging the program or
// filling its memory; whole-file reads stop at a size limit.
//
// Writers put a file in place whole or not at all: the bytes go to a hidden temporary file created
// exclusively under an unpredictable name in the same folder, every write, flush and close is checked,
// the size on disk is compared with what was meant before the rename, and a link at the destination is
// replaced by a plain file (its target is never written).
namespace qs {

// Why a file operation failed.
struct FileError {
    enum class Kind {
        None,
        System,       // `code` holds the system's error number
        NotRegular,   // a folder, FIFO, device or socket where a file was expected
        TooLarge,     // larger than `limit` bytes
        ShortWrite,   // the disk took fewer bytes than were written
        SizeMismatch, // the file on disk does not have the size written
        OpenFailed,   // could not be opened, the system saying no more
        Resources,    // the system ran short of something (memory, handles, disk space)
        Failed,       // the read or write failed, the system saying no more
    };
    enum class Operation { Read, Write };
    Kind kind = Kind::None;
    Operation operation = Operation::Read;
    int code = 0;
    qint64 limit = 0;

    bool failed() const { return kind != Kind::None; }
    // A failed system call; without an error number the cause stays general.
    static FileError system(Operation op, int code) {
        return code != 0 ? FileError{Kind::System, op, code, 0} : FileError{Kind::Failed, op, 0, 0};
    }
};

// The cause in French, without the file's name: "disque plein", "accès refusé", ... Never the system's
// own (English) text.
QString fileErrorCause(const FileError& error);
// "Je ne peux pas lire le fichier "<path>" : <cause>." / "Je ne peux pas écrire le fichier ...".
QString fileErrorMessage(const QString& path, const FileError& error);

// The same for a Qt file device that failed in `op`: from `code`, the errno taken right after the failed
// call, when there is one, else from the device's error.
FileError fileErrorOf(const QFileDevice& device, FileError::Operation op, int code = 0);
QString fileErrorCause(const QFileDevice& device, FileError::Operation op, int code = 0);
// ... and for an error of the standard library's file system calls.
QString fileErrorCause(const std::error_code& error, FileError::Operation op);

// Whole-file reads of text (pages, fragments) stop here: 16 MiB is far beyond any hand-written page.
inline constexpr qint64 kMaxWholeFile = qint64(16) << 20;
// Titles are looked for in the first 64 KiB of a page.
inline constexpr qint64 kTitlePrefix = qint64(64) << 10;

// An ordinary file open for reading. Opening never blocks and never follows into anything but an
// ordinary file: anything else leaves it closed with Kind::NotRegular.
class RegularFile {
public:
    explicit RegularFile(const QString& path);
#ifdef Q_OS_UNIX
    // A file of an open folder, looked up in that folder alone.
    RegularFile(int folder, const char* name);
#endif
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const;
    const FileError& error() const {
        return error_;
    }
    qint64 size() const {
        return size_;
    }
    // Bytes read, 0 at the end, -1 on error (error() says which).
    qint64 read(char* data, qint64 size);

private:
    void checkOpened();
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    void* file_ = nullptr;
#endif
    qint64 size_ = 0;
    FileError error_;
};

// The first `limit` bytes of a file (all of it when shorter).
std::optional<QByteArray> readFilePrefix(const QString& path, qint64 limit, FileError* error = nullptr);
// The whole file; one longer than `limit` is refused with Kind::TooLarge.
std::optional<QByteArray> readWholeFile(const QString& path, qint64 limit = kMaxWholeFile,
                                        FileError* error = nullptr);

struct WriteOptions {
    // Forces the file and its folder entry to the disk before the call returns: for the user's own
    // files. Generated pages, rewritten from the lists at every selection, do without.
    bool sync = true;
    // The replaced file's permission bits go to the new one.
    bool keepPermissions = true;
    // A file whose bytes would not change is left alone (its date stays).
    bool skipUnchanged = false;
    // The file must be new: when another is already there (made meanwhile by another program), the
    // write fails with EEXIST and that file is left alone.
    bool exclusive = false;
};

// A file written aside and put in place by commit(). Dropped uncommitted, its temporary file goes.
class PendingWrite {
public:
    PendingWrite(const QString& path, const WriteOptions& options);
    ~PendingWrite();
    PendingWrite(const PendingWrite&) = delete;
    PendingWrite& operator=(const PendingWrite&) = delete;

    bool write(QByteArrayView bytes);
    // Flushes, syncs when asked and closes the temporary file, then checks its size.
    bool finish();
    // Renames the finished temporary file over the destination.
    bool commit();
    void discard();

    const QString& path() const { return path_; }
    const FileError& error() const { return error_; }

private:
    bool fail(FileError error);

    QString path_;
    QString temporary_;
    WriteOptions options_;
    FileError error_;
    qint64 written_ = 0;
    int step_ = 0; // which write of the process this is, for the failure seam
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    void* file_ = nullptr;
#endif
    bool finished_ = false;
};

// The bytes written whole or not at all. On failure the previous file is untouched and *error says why.
bool writeFileWhole(const QString& path, QByteArrayView bytes, const WriteOptions& options = {},
                    FileError* error = nullptr);

// Copies an ordinary file whole or not at all, block by block (any size, little memory). On failure
// *failedPath names the file that failed (source or destination).
bool copyFileWhole(const QString& from, const QString& to, const WriteOptions& options, FileError* error,
                   QString* failedPath);

// Puts every finished write in place, or none: each file being replaced is kept aside (a hidden link
// beside it) until every rename has succeeded, and put back if one fails. *previous receives, in order,
// the kept-aside copy of each replaced file ("" where there was none): the caller trashes or removes it.
// On failure *failed is the index of the write that failed.
bool commitAll(const QList<PendingWrite*>& writes, QStringList* previous, int* failed);

// A new work-file path in the folder: hidden and unpredictable, ".qs-<pid>-<16 hex digits><suffix>".
// The process number lets a later run tell the work files of a run that was stopped from those of a
// run still going on.
QString workFilePath(const QString& folder, const char* suffix);
// Removes from the folder (not below it) the work files (".tmp", ".old", see workFilePath) of processes
// that have ended. A kept-aside ".old" that is the only name of its bytes goes to the trash instead.
// Returns how many were cleared.
int clearStaleWorkFiles(const QString& folder);

// Test seam for interruptions: the process ends (_exit) just before its n-th file operation that
// changes a name on the disk (a rename that puts a written file in place, a move to the trash), as a
// kill at that moment would leave it. 0 switches it off.
void setStopBeforeFileStep(int n);
// Counts one such operation (ending the process when it is the one asked for).
void fileStep();

// Test seam: makes whole-file writes fail as a full disk or a broken device would.
struct WriteFault {
    enum class Step { Create, Write, Finish, Commit };
    int file = 1; // the n-th PendingWrite made after the fault is set fails, counting from 1
    Step step = Step::Write;
    qint64 afterBytes = 0; // with Step::Write: bytes accepted before the failure
    int code = ENOSPC;
};
void setWriteFault(const std::optional<WriteFault>& fault);

} // namespace qs
