#include "generate/pagewriter.h"

#include "lib/fileio.h"
#include "lib/text1252.h"

namespace qs {

bool writePage(const QString& path, const QStringList& lines, QString* error) {
    // Not synced: generated pages are rewritten from the lists at every selection, and a sync per file
    // made regenerating a whole site some forty times slower. An unchanged page is left alone: its date
    // stays, and the site's publishing tools see no change.
    FileError why;
    if (writeFileWhole(path, encodeLines(lines),
                       {.sync = false, .keepPermissions = true, .skipUnchanged = true}, &why))
        return true;
    if (error)
        *error = fileErrorMessage(path, why);
    return false;
}

} // namespace qs
