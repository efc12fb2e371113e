#pragma once

#include <QString>
#include <QStringList>

class QFileDevice;
class QFileInfo;

// File-system steps shared by the batch tools.
namespace qs {

// A French cause for a failed open or write: from the errno captured right after the call when it says
// something, else from the device's own error.
QString fileErrorCause(int error, const QFileDevice& device);

// Puts `from` in the place of `to` in one atomic step, replacing it (never delete-then-rename). On
// failure `to` is as it was and *cause holds a French reason.
bool replaceFileAtomically(const QString& from, const QString& to, QString* cause);

// Gives `path` the permissions (and, where allowed, the owner) of the file `like` describes.
void keepOwnerAndPermissions(const QFileInfo& like, const QString& path);

// Names of the files of a folder (hidden ones left out) matching one of `patterns` (all when empty),
// whatever their case, sorted by name without regard to case.
QStringList FichiersLister(const QString& folder, const QStringList& patterns = {});

// A folder remembered under a setting: its stored value when that folder still exists, else the first
// existing one of `fallbacks`, else the home folder. Always ends with a separator.
QString DossierMémorisé(const QString& key, const QStringList& fallbacks);
void DossierMémoriser(const QString& key, const QString& folder);

} // namespace qs
