#pragma once

#include <QString>
#include <QStringView>

namespace qs {

// Turns a link as written in a page into a file path, the platform's separator throughout. Both "/"
// and "\" separate folders in the link and in the base folder, which ends with a separator. The
// fragment and the query are cut, "%" escapes decoded and the path normalised, so that every way of
// writing one address gives one path (the key of its node):
//
//   base "/site/d/c/",  "../b.htm"                     ->  "/site/d/b.htm"
//   base "/site/d/c/",  "./x/../p.htm?v=2#part"        ->  "/site/d/c/p.htm"
//   base "/site/d/c/",  "#top"                         ->  "/site/d/c/"
//   base "/site/",      "caf%C3%A9%201.htm"            ->  "/site/café 1.htm"
//   any base,           "HTTPS://host/dir/a.htm"       ->  "host/dir/a.htm"   (never a file)
//   any base,           "file:///C:/x.htm"             ->  "/C:/x.htm"
//   base "/s/",         "../../x.htm"                  ->  "/x.htm"  (stops at the start of the base)
QString AdresseComplète(const QString& base, const QString& link);

// "%" escapes decoded: a run of escapes that is valid UTF-8 as UTF-8, otherwise as Windows-1252. Escaped
// separators and NUL stay escaped, as does a "%" not followed by two hexadecimal digits.
//   "a%20b.htm" -> "a b.htm"    "caf%E9" -> "café"    "a%2Fb" -> "a%2Fb"    "100%" -> "100%"
QString percentDecoded(const QString& text);

// "." segments removed, each ".." with the folder before it, repeated separators made one; leading
// separators and a trailing one kept. A relative path keeps the ".." it cannot resolve.
//   "/s/./a/../b.htm" -> "/s/b.htm"    "/../x" -> "/x"    "../a/./" -> "../a/"
QString normalisedPath(const QString& path);

// Icon key of the link tree for a path: "htm", "mid", "wav", "ra", "gif", "jpg", "bmp", "exe", "txt",
// "cgi" (any other path that holds "CGI" in any case) or "?".
QString iconKeyFor(const QString& path);

// A node key is a path followed by an occurrence suffix "<n>" for the n-th further node of that path.
// baseKey() drops the suffix (the text from the last "<" on, when the key ends with ">"), occurrence()
// gives n (0 for a key without suffix), occurrenceKey() builds the key of occurrence n.
QString baseKey(const QString& key);
int occurrence(const QString& key);
QString occurrenceKey(const QString& base, int n);

// True for a path whose last characters, in upper case, are ".HTM", ".HTML", ".SHTM" or ".SHTML".
bool isPagePath(QStringView path);

} // namespace qs
