#include "generate/pagewriter.h"

#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/text1252.h"

#include <QFileInfo>

namespace qs {

QString trashedPagesMessage(const QStringList& files) {
    return QStringLiteral(
               "Ces fichiers n'avaient pas été écrits par Quillsite : ils ont été mis à la corbeille "
               "et remplacés par les pages du site.") +
           CrLf(2) + files.join(CrLf());
}

bool isGeneratedPage(const QString& path) {
    // The identification stands within the first lines, before any fragment of the site's owner.
    const auto top = readFilePrefix(path, qint64(16) * 1024);
    return top && top->contains(QByteArray("(") + QString::fromUtf16(kProgramName).toLatin1() + " v");
}

bool writePage(const QString& path, const QStringList& lines, QString* error, QStringList* trashed) {
    const QByteArray bytes = encodeLines(lines);
    const QFileInfo info(path);
    // An unchanged page is left alone, whoever wrote it: its date stays, and the site's publishing tools
    // see no change.
    if (info.isFile() && !info.isSymLink() && info.size() == bytes.size()) {
        if (const auto old = readWholeFile(path, bytes.size()); old && *old == bytes)
            return true;
    }
    // A file of the page's name that another program wrote is the user's: it goes to the trash first.
    // A link in the page's place is left to the writer, which replaces the link itself.
    if (info.isFile() && !info.isSymLink() && !isGeneratedPage(path)) {
        if (!FichierCorbeille(path)) {
            if (error)
                *error = QStringLiteral("Je ne remplace pas le fichier \"%1\" : il n'a pas été écrit par "
                                        "Quillsite et ne peut pas être mis à la corbeille.")
                             .arg(path);
            return false;
        }
        if (trashed)
            trashed->append(path);
    }
    // Not synced: generated pages are rewritten from the lists at every selection, and a sync per file
    // made regenerating a whole site some forty times slower.
    FileError why;
    if (writeFileWhole(path, bytes, {.sync = false, .keepPermissions = true, .skipUnchanged = true}, &why))
        return true;
    if (error)
        *error = fileErrorMessage(path, why);
    return false;
}

} // namespace qs
