#pragma once

#include <QString>
#include <QStringView>

namespace qs {

// Turns a link as written in a page into a file path, the platform's separator throughout. Both "/"
// and "\" separate folders in the link and in the base folder, which ends with a separator.
//
//   base "/site/d/c/",  "../b.htm"                     ->  "/site/d/b.htm"
//   base "/site/d/c/",  "page.htm#part"                ->  "/site/d/c/page.htm"
//   base "/site/d/c/",  "#top"                         ->  "/site/d/c/"
//   any base,           "HTTP://host/dir/a.htm"        ->  "host/dir/a.htm"   (never a file)
//   any base,           "file:///C:/x.htm"             ->  "/C:/x.htm"
//   base "/s/",         "../../x.htm"                  ->  "/x.htm"  (stops at the start of the base)
QString AdresseComplète(const QString& base, const QString& link);

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
