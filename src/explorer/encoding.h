#pragma once

#include <QByteArrayView>
#include <QString>

namespace qs {

// How the addresses written in a page are to be read. Pages of this program are Windows-1252; pages
// written by other tools are often UTF-8, declared by a byte order mark or a meta charset, or not
// declared at all.
enum class PageEncoding {
    Windows1252, // declared as another single-byte code page
    Utf8,        // declared UTF-8
    Guess,       // undeclared: each text is UTF-8 when it is valid UTF-8, Windows-1252 otherwise
};

// From the start of a page: a UTF-8 byte order mark, or a "charset=" within the first 1024 bytes (where a
// meta declaration must be).
//   "\xEF\xBB\xBF<html>"                      -> Utf8
//   "<meta charset=\"utf-8\">"                -> Utf8
//   "<META ... CONTENT=\"text/html; charset=iso-8859-1\">"  -> Windows1252
//   "<html>"                                  -> Guess
PageEncoding pageEncoding(QByteArrayView page);

bool isValidUtf8(QByteArrayView bytes);

// Bytes of a page as text under the page's encoding.
QString decodePageText(QByteArrayView bytes, PageEncoding encoding);
// Text back into the page's bytes (for a link rewritten in place); `utf8` as decodePageText chose.
QByteArray encodePageText(QStringView text, bool utf8);
// Whether decodePageText reads these bytes as UTF-8.
bool readsAsUtf8(QByteArrayView bytes, PageEncoding encoding);

} // namespace qs
