#pragma once

#include <QByteArrayView>
#include <QString>

class QIODevice;

// The title of a page: the text after the first "<TITLE>" (any case) up to the next "<", over as many
// lines as it takes (CR LF, LF or CR), each line's part trimmed and joined with one blank. Only the first
// 64 KiB of a file are looked at, so a huge or endless file costs no more than a page. The text is not
// decoded ("&lt;" stays).
//   "<title>Mode d'emploi</title>"          -> "Mode d'emploi"
//   "<TITLE>  Deux\r\n   lignes </TITLE>"   -> "Deux lignes"
//   "<TITLE>A &amp; B<BR>suite</TITLE>"     -> "A &amp; B"
//   "<TITLE>sans fin"                       -> "sans fin"
namespace qs {

class RegularFile;

// The two readers of the site differ in two details, kept as they are:
//   Listing: a line of blanks is skipped; blanks are spaces.   "<TITLE>A\r\n\r\nB<" -> "A B"
//   Index:   every line adds its blank; tabs are blanks too.   "<TITLE>A\r\n\r\nB<" -> "A  B"
enum class TitleRules { Listing, Index };

QString titleOf(QByteArrayView bytes, TitleRules rules);
QString readTitle(QIODevice& device, TitleRules rules);
// From an open file; *readable is false when it could not be read.
QString readTitle(RegularFile& file, TitleRules rules, bool* readable = nullptr);
// "" when the file has no title, cannot be read or is not an ordinary file (then *readable is false).
QString readTitle(const QString& path, TitleRules rules, bool* readable = nullptr);

} // namespace qs
