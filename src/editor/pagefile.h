#pragma once

#include "lib/fileio.h"

#include <functional>

#include <QString>
#include <QStringList>

// The page file of the editor: a generated head and foot around a body the user writes, which lies
// between the lines "<!-- BEGIN -->" and "<!-- END -->". Only the title and the body are edited; the
// rest is rewritten at every save.
namespace qs {

struct PageFile {
    // A page of a category links back to the category's frameset; an independent file (site root or
    // domain folder) links to the index of its folder and wraps its body in the text colour.
    bool independent = false;
    QString title; // as typed, escaped when written; the <TITLE> gets it without blanks at both ends
    QString body;  // written as one piece, its own line breaks kept
    QString couleurFond;
    QString couleurTitre;
    QString couleurTexte;
    QString id;       // ProgrammeID()
    QString date;     // updateDate()
    QString user;     // login name
    QString category; // name after "Index " in a category page's foot
};

// The lines of the file, each to be written followed by CR LF (the body may hold line breaks itself).
QStringList pageFileLines(const PageFile& page);

// The body of a page file: every piece between a start marker and the next end marker (any case), each
// piece preceded by CR LF, the first CR LF dropped. Text outside the markers is dropped; without a start
// marker the body is empty, without an end marker it runs to the end. A marker alone on its line adds no
// piece, so a body saved and loaded comes back as it was. Entities stay as written ("&lt;B&gt;" is
// documentation, not a tag); only the references written for characters outside Windows-1252 become the
// characters, and a save writes them back the same.
//   {"x<!-- begin -->a", "b<!-- End -->y"}   -> "a\r\nb"
//   {"<!-- BEGIN -->", "T", "<!-- END -->"}  -> "T"   (what the editor wrote for body T)
QString pageBody(const QStringList& lines);

// What an HTML or text file gives when it is imported as a new page: the text from "</HEAD>" up to
// "</BODY>" (any case), its entities kept as in a page body, and the text from "<TITLE>" up to the next
// "<", its pieces trimmed and joined without a separator, then decoded (decodeHtmlText), a line break
// decoded from a reference turned into a blank.
//   {"<HTML><HEAD><TITLE>Notes</TITLE></HEAD>", "<BODY>", "Hello", "</BODY>"}
//     -> title "Notes", body "\r\n<BODY>\r\nHello\r\n"
struct ImportedPage {
    QString title;
    QString body;
};
ImportedPage importedPage(const QStringList& lines);

// The name of a new page in `folder`: "N.htm" for the smallest N from 1 for which no entry of that name
// exists, case ignored (a case-sensitive disk must not end up with both "2.htm" and "2.HTM").
QString freePageName(const QString& folder);

// Makes a new page file in `folder` (with its trailing separator) under freePageName's number, created
// exclusively: when another program takes that number meanwhile, the next free one is taken, and its
// file is never replaced. `write` writes the file at the path with the options given. Returns the name,
// "" on failure with the cause in *error.
QString createNumberedPage(const QString& folder, const WriteOptions& options,
                           const std::function<bool(const QString&, const WriteOptions&, FileError*)>& write,
                           FileError* error);

} // namespace qs
