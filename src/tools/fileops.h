#pragma once

#include <QString>
#include <QStringList>

class QFile;
class QFileDevice;

// File-system steps shared by the batch tools.
namespace qs {

// A French cause for a failed open or write: from the errno captured right after the call when it says
// something, else from the device's own error.
QString fileErrorCause(int error, const QFileDevice& device);

// Puts `from` in the place of `to` in one atomic step, replacing it (never delete-then-rename). On
// failure `to` is as it was and *cause holds a French reason.
bool replaceFileAtomically(const QString& from, const QString& to, QString* cause);

// What the replacement needs to know of a file, read with as few system calls as the platform allows
// (the replacement of thousands of files spends much of its time there).
struct FileStatus {
    bool exists = false;
    bool isSymLink = false;     // only when links are not followed
    bool protectedFile = false; // its mode lets nobody write it, or we may not (links followed only)
    unsigned mode = 0;          // permission bits (Unix)
    unsigned owner = 0;
    unsigned group = 0;
};
FileStatus fileStatus(const QString& path, bool followLinks = true);

// Gives the open `file` the owner (where allowed) and the permissions `like` describes.
void keepOwnerAndPermissions(const FileStatus& like, QFile& file);

// Names of the files of a folder (hidden ones left out) matching one of `patterns` (all when empty),
// whatever their case, sorted by name without regard to case.
QStringList FichiersLister(const QString& folder, const QStringList& patterns = {});

// A folder remembered under a setting: its stored value when that folder still exists, else the first
// existing one of `fallbacks`, else the home folder. Always ends with a separator.
QString DossierMémorisé(const QString& key, const QStringList& fallbacks);
void DossierMémoriser(const QString& key, const QString& folder);

} // namespace qs
