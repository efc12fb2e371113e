#pragma once

#include <QString>
#include <QStringList>

namespace qs {

// Writes a generated page: every line followed by CR LF, in Windows-1252, whole or not at all
// (writeFileWhole): a failure leaves the previous page as it was, and a link in the page's place is
// replaced by the page, its target never written. Not forced to the disk. On failure *error holds a
// French message naming the page. A page whose bytes would not change is not rewritten.
bool writePage(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace qs
