#pragma once

#include <QString>
#include <QStringList>

namespace qs {

// Writes a generated page: every line followed by CR LF, in Windows-1252, whole or not at all. The bytes
// go to a hidden file beside the page, which is then renamed over it in one step, so a failure (no right
// to write, full disk) leaves the previous page as it was and the temporary file is removed. Unlike
// QSaveFile it does not force every page to the disk: the generated pages are rewritten from the lists at
// every selection, and a sync per file made regenerating a whole site some forty times slower. On failure
// *error holds a French message naming the page. A page whose bytes would not change is not rewritten
// (its date stays, and publishing tools that copy changed files see nothing to copy).
bool writePage(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace qs
