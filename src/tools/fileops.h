#pragma once

#include <QString>
#include <QStringList>

class QFile;
class QFileDevice;

// File-system steps shared by the batch tools.
namespace qs {

// Puts `from` in the place of `to` in one atomic step, replacing it (never delete-then-rename). On
// failure `to` is as it was and *cause holds a French reason.
bool replaceFileAtomically(const QString& from, const QString& to, QString* cause);

// What the replacement needs to know of a file, read with as few system calls as the platform allows
// (the replacement of thousands of files spends much of its time there).
struct FileStatus {
    bool exists = false;
    bool isSymLink = false; // only when links are not followed
    bool protectedFile =
        false;         // its mode lets nobody write it, or we may not (fileStatus() with links followed)
    unsigned mode = 0; // permission bits (Unix)
    unsigned owner = 0;
    unsigned group = 0;
};
FileStatus fileStatus(const QString& path, bool followLinks = true);

// What tells that a file was changed by someone else between two looks at it.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1; // -1: no such file
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const QString& path);

// A file opened for reading only when it is an ordinary file: a FIFO, a device or a folder is refused
// on the opened descriptor, and the open itself never blocks.
class InputFile {
public:
    enum class Result { Ok, Unreadable, NotOrdinary, Link };
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Without `followLinks`, a link is not opened (Link).
    Result open(const QString& path, bool followLinks = true);
    // Bytes read, 0 at the end, -1 on a read error.
    qint64 read(char* data, qint64 max);
    qint64 readAt(char* data, qint64 max, qint64 offset);
    bool rewind();
    const FileStamp& stamp() const { return stamp_; }
    const FileStatus& status() const { return status_; }
    // Its mode lets nobody write it, or we may not (asked only when it is about to be replaced).
    bool isProtected() const;

private:
    int fd_ = -1;
    QByteArray path_;
    FileStamp stamp_;
    FileStatus status_;
};

// A work file created exclusively beside the file it will replace, under a unique name of ours that
// nothing else can hold (never an existing file, folder or link), short enough for any file name.
// Writes are buffered and every one is checked; the file is removed unless released.
class WorkFile {
public:
    WorkFile() = default;
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // On failure *cause holds a French reason.
    // `like` is the file it will replace: its permissions are given at once when possible.
    bool create(const QString& folder, const FileStatus& like, QString* cause);
    bool write(const char* data, qint64 size);
    // Flushes, gives it the owner and permissions of `like`, and closes it.
    bool finish(const FileStatus& like, QString* cause);
    // What the file is once finished: what the replaced file will be.
    const FileStamp& stamp() const { return stamp_; }
    const QString& path() const { return path_; }
    bool isOpen() const { return fd_ >= 0; }
    // Removes the file (when not released) and forgets it.
    void discard();
    // The file is in place under another name: it is no longer ours to remove.
    void release() { path_.clear(); }
    QString cause() const;

private:
    bool flushBuffer();

    int fd_ = -1;
    int errno_ = 0;
    bool modeSet_ = false;
    QString path_;
    QByteArray buffer_;
    FileStamp stamp_;
};

// The start of our work files' names, so that those left by an interrupted run can be recognised.
QString workFilePrefix();
// Removes the work files of ours in `folder` whose run has ended (a process that no longer exists).
void removeLeftoverWorkFiles(const QString& folder);

// Names of the files of a folder (hidden ones left out) matching one of `patterns` (all when empty),
// whatever their case, sorted by name without regard to case.
QStringList FichiersLister(const QString& folder, const QStringList& patterns = {});

// A folder remembered under a setting: its stored value when that folder still exists, else the first
// existing one of `fallbacks`, else the home folder. Always ends with a separator.
QString DossierMémorisé(const QString& key, const QStringList& fallbacks);
void DossierMémoriser(const QString& key, const QString& folder);

} // namespace qs
