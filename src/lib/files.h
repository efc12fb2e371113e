#pragma once

#include <QString>
#include <QVariant>

namespace qs {

class Dialogs;
struct FileError;

// Paths are in the platform's form. Folder values carry a trailing separator; these procedures accept
// them with or without one and say what they return.

// The platform's folder separator as text ("/" here, "\" on Windows).
QString sep();
// True for a folder separator of the platform ("/"; on Windows also "\" and the drive colon's slash).
bool isSeparator(QChar c);
// The folder path with exactly one trailing separator added when it has none.
QString withSeparator(const QString& folder);
// The folder path without its trailing separator (the root folder itself keeps it).
QString withoutSeparator(const QString& folder);

// True when the path names an existing entry that is not a folder; false on any error.
bool FichierExiste(const QString& path);
// True when the path names an existing folder; one trailing separator is ignored.
bool DossierExiste(const QString& path);
// Creates the folder and its missing parents, top down; silent about errors (check with DossierExiste).
void DossierCréer(const QString& path);
// count times CR LF; a count that is missing, not a number or below 1 counts as 1, above 100 as 100.
QString CrLf(const QVariant& count = {});

// Text before the last separator ("" when there is none); on Windows a drive colon stays in the result.
QString FichierRépertoire(const QString& path);
// Text after the last separator, the whole path when there is none.
QString FichierNom(const QString& path);
// Extension of the file-name part, dot included; "" when the name has no dot.
QString FichierExtension(const QString& path);

// True when `inner` is `outer` itself or lies somewhere below it, links resolved (a part of `inner`
// that does not exist yet is taken as written). False when `outer` is empty.
bool isSameOrInside(const QString& inner, const QString& outer);

// Copies the source folder into the destination: when the destination does not exist it becomes the
// copy, otherwise the copy goes into a sub-folder bearing the source's own name (asked first when that
// exists). Refuses a destination inside the source. Returns the number of files copied (0 when refused).
qint64 DossierCopier(const QString& source, const QString& destination, Dialogs& dialogs);
// Copies a tree, files of each folder before its sub-folders; a file that cannot be copied is reported
// and skipped. Hidden files and folders (".htaccess", ".svn") are copied too; folder links are left
// out. Returns the number of files copied.
qint64 ArborescenceCopier(const QString& source, const QString& destination, Dialogs& dialogs);
// Moves the files of a tree to the trash and removes the emptied folders. Dot-named entries stay
// (and so do their parents). True when everything went.
bool DossierSupprimer(const QString& folder);
// Moves one file or folder to the desktop trash. True when it went (callers may ignore it).
bool FichierCorbeille(const QString& path);
// The same, filed in the trash under the name and place of `shownAs` (a file kept aside under a work
// name goes to the trash as the file it was). Never waits or loops on a trash that cannot be written:
// false, with the cause in *error, and the file stays where it was.
bool moveToTrash(const QString& path, const QString& shownAs = {}, FileError* error = nullptr);
// The message for a file that could not go to the trash: it names the file and says it was kept.
QString trashFailureMessage(const QString& path, const FileError& error);

// Whether the entry is a link that leads out of the `root` folder (or nowhere). Such a file is not one of
// the site's pages: no listing, walk or site-wide run reads or writes it. A link to another file of the
// site is an ordinary page. `root` is canonical or not, with or without its trailing separator.
bool linksOutside(const QString& path, const QString& root);

// A name that stays one entry inside its parent folder: no folder separator of any platform the sites
// are made for, no control character, neither "." nor "..".
bool isSafeName(QStringView name);

} // namespace qs
