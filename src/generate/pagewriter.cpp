#include "generate/pagewriter.h"

#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/text1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace qs {

namespace {

std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Most lines are Latin-1 outside the range where Windows-1252 differs from it: the bulk conversion then
// gives the same bytes much faster.
QByteArray encode(const QString& line) {
    for (const QChar c : line)
        if (c.unicode() >= 0x80 && (c.unicode() < 0xA0 || c.unicode() > 0xFF))
            return toWindows1252(line);
    return line.toLatin1();
}

QString failure(const QString& path, const QString& cause) {
    return QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : %2.").arg(path, cause);
}

} // namespace

QString trashedPagesMessage(const QStringList& files) {
    return QStringLiteral(
               "Ces fichiers n'avaient pas été écrits par Quillsite : ils ont été mis à la corbeille "
               "et remplacés par les pages du site.") +
           CrLf(2) + files.join(CrLf());
}

bool isGeneratedPage(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // The identification stands within the first lines, before any fragment of the site's owner.
    const QByteArray top = f.read(16 * 1024);
    return top.contains(QByteArray("(") + QString::fromUtf16(kProgramName).toLatin1() + " v");
}

bool writePage(const QString& path, const QStringList& lines, QString* error, QStringList* trashed) {
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    bytes.reserve(size);
    for (const QString& l : lines)
        bytes.append(encode(l)).append("\r\n");

    // An unchanged page is left alone: nothing to write, and the site's publishing tools see no change.
    if (QFile old(path);
        old.size() == bytes.size() && old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;

    if (QFileInfo(path).isFile() && !isGeneratedPage(path)) {
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

    const QString folder = FichierRépertoire(path);
    // Hidden, so that no listing takes it for a page, and per process, so two writers never share it.
    const QString temporary = withSeparator(folder) + u'.' + FichierNom(path) + u'.' +
                              QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".tmp");
    QFile f(temporary);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = failure(path, DossierExiste(folder) ? QStringLiteral("accès refusé")
                                                         : QStringLiteral("dossier introuvable"));
        return false;
    }
    const bool written = f.write(bytes) == bytes.size() && f.flush();
    f.close();
    if (!written || f.error() != QFileDevice::NoError) {
        QFile::remove(temporary);
        if (error)
            *error = failure(path, QStringLiteral("ressources insuffisantes (disque plein ?)"));
        return false;
    }
    // Keep the permissions the page had.
    if (const QFileInfo old(path); old.exists())
        QFile::setPermissions(temporary, old.permissions());
    std::error_code ec;
    std::filesystem::rename(nativePath(temporary), nativePath(path), ec);
    if (ec) {
        QFile::remove(temporary);
        if (error)
            *error = failure(path, QFileInfo(path).isDir() ? QStringLiteral("un dossier porte ce nom")
                                                           : QStringLiteral("accès refusé"));
        return false;
    }
    return true;
}

} // namespace qs
