#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qs {

class Dialogs;

// Word documents shown through a viewer page: for each selected "x.doc" of a source folder, a page
// "x.htm" in a destination folder that embeds the document (it is not converted).

// The path from the destination folder to the source folder, folder by folder, with "/" between
// folders and a final "/" (empty for the same folder). Both "/" and the platform's own separator are
// read; "." and ".." are resolved. Nothing when the two share no root (other drives or servers):
//   C:\Web\Docs\  ->  C:\Word\        "../../Word/"
//   C:\Word\Out\  ->  C:\Word\        "../"
//   /a/b/         ->  /a/bc/          "../bc/"      (folders, not characters, are compared)
//   C:\Web\       ->  D:\Word\        nothing
std::optional<QString> CheminRelatif(const QString& destination, const QString& source);

// An absolute reference to a folder for a page, "/"-separated and ending with "/":
//   D:\Word\  ->  "file:///D:/Word/"      /srv/doc/  ->  "file:///srv/doc/"
QString RéférenceAbsolue(const QString& folder);

// The entry's name up to, not including, its last "." ("a.b.doc" -> "a.b"); the whole name without one.
QString NomDeBase(const QString& fileName);

// The viewer page of a document: `document` is the reference written into the page (relative path and
// file name), `programId` the program identification string. Lines without their CR LF.
QStringList PageVisionneur(const QString& baseName, const QString& document, const QString& programId);

// The extensions of the documents a viewer page can show, as file-list patterns.
QStringList MotifsDocumentsWord();

// True when `path` is a Word document: its extension is ".doc", ".docx" or ".rtf" and its first bytes
// are those of such a document (an OLE2 compound file, a ZIP package, "{\rtf"). A missing file or one
// that is not an ordinary file is none.
bool EstDocumentWord(const QString& path);

// True when `bytes` are a viewer page as PageVisionneur writes it, whatever its title, document and
// program identification: only such a page is replaced without further ado.
bool EstPageVisionneur(const QByteArray& bytes);

struct ImportOutcome {
    qsizetype written = 0;
    bool absolute = false; // the documents are referred to by their full path
    QStringList refused;   // not Word documents: no page made for them
    QStringList trashed;   // files that held a page's name and were not viewer pages
    QString error;         // the import stopped on this page; the pages written before it stay
};

// Writes the viewer page of each of `names` (files of `source`) into `destination`. Only Word documents
// get a page; the others are named in one message. A file already holding a page's name is replaced
// when it is a viewer page, else it goes to the trash first (and the user is told). The relative path
// is computed between the real folders, links resolved. Shows the base name of the document in
// progress on the status line, and at the end how many pages were written. Tells once when no relative
// path exists; a page that cannot be written stops the import with a message naming it.
ImportOutcome ImporterWord(const QString& source, const QString& destination, const QStringList& names,
                           const QString& programId, Dialogs& dialogs);

} // namespace qs
