#include "lib/files.h"
#include "lib/text1252.h"

#include "lib/dialogs.h"
#include "lib/fileio.h"

#include <QDateTime>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {

QString sep() {
    return QString(QDir::separator());
}

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || !isSeparator(folder.back()))
        return folder + sep();
    return folder;
}

QString withoutSeparator(const QString& folder) {
    if (folder.size() > 1 && isSeparator(folder.back()))
        return folder.chopped(1);
    return folder;
}

bool FichierExiste(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && !fi.isDir();
}

bool DossierExiste(const QString& path) {
    if (path.isEmpty())
        return false;
    return QFileInfo(withoutSeparator(path)).isDir();
}

void DossierCréer(const QString& path) {
    QString p = path.trimmed();
    if (p.isEmpty())
        return;
    p = withoutSeparator(p);
    if (DossierExiste(p))
        return;
    qsizetype last = p.size() - 1;
    while (last >= 0 && !isSeparator(p[last]))
        --last;
    if (last > 0)
        DossierCréer(p.left(last));
#ifdef Q_OS_WIN
    if (p.mid(1) == u":")
        return;
#endif
    QDir().mkdir(p);
}

QString CrLf(const QVariant& count) {
    bool ok = false;
    qlonglong n = count.isValid() ? count.toLongLong(&ok) : 1;
    if (!ok || n < 1)
        n = 1;
    if (n > 100)
        n = 100;
    return QStringLiteral("\r\n").repeated(n);
}

namespace {

// Index of the last separator (or Windows drive colon), -1 when there is none.
qsizetype lastSplit(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path[i]))
            return i;
#ifdef Q_OS_WIN
        if (path[i] == u':')
            return i;
#endif
    }
    return -1;
}

} // namespace

QString FichierRépertoire(const QString& path) {
    const qsizetype i = lastSplit(path);
    if (i < 0)
        return {};
    return path[i] == u':' ? path.left(i + 1) : path.left(i);
}

QString FichierNom(const QString& path) {
    return path.mid(lastSplit(path) + 1);
}

QString FichierExtension(const QString& path) {
    const QString name = FichierNom(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool isSameOrInside(const QString& inner, const QString& outer) {
    if (outer.isEmpty())
        return false; // an empty path names no folder
    auto canonical = [](const QString& p) {
        QFileInfo fi(withoutSeparator(p));
        QString c = fi.canonicalFilePath();
        return withSeparator(c.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : c);
    };
    // The inner folder may not exist yet: resolve its nearest existing ancestor.
    QString probe = withoutSeparator(inner);
    QString rest;
    while (!probe.isEmpty() && !QFileInfo::exists(probe)) {
        const qsizetype i = lastSplit(probe);
        if (i <= 0)
            break;
        rest = probe.mid(i + 1) + sep() + rest;
        probe = probe.left(i);
    }
    const QString in = QDir::cleanPath(canonical(probe) + rest) + sep();
    const QString out = canonical(outer);
#ifdef Q_OS_WIN
    return in.startsWith(out, Qt::CaseInsensitive);
#else
    return in.startsWith(out);
#endif
}

qint64 DossierCopier(const QString& sourceIn, const QString& destinationIn, Dialogs& dialogs) {
    if (!DossierExiste(sourceIn)) {
        dialogs.message(QStringLiteral("Je ne trouve pas le dossier \"%1\" !").arg(sourceIn));
        return 0;
    }
    const QString source = withSeparator(sourceIn);
    // The source's own name, with its separator ("Bases/").
    const QString trimmed = source.chopped(1);
    const qsizetype before = lastSplit(trimmed);
    QString ownName = before < 0 ? source : source.mid(before + 1);

    QString destination = destinationIn;
    const bool existed = DossierExiste(destination);
    if (!existed)
        ownName.clear();
    const QString target = withSeparator(destination) + ownName;
    if (isSameOrInside(target, source)) {
        dialogs.message(
            QStringLiteral("Je ne peux pas copier le dossier \"%1\" dans lui-même ni dans un de ses "
                           "sous-dossiers (\"%2\") !")
                .arg(source, target));
        return 0;
    }
    if (!existed) {
        DossierCréer(destination);
        if (!DossierExiste(destination)) {
            dialogs.message(QStringLiteral("Je ne peux pas créer le dossier \"%1\" !").arg(destination));
            return 0;
        }
    }
    destination = withSeparator(destination);
    if (!ownName.isEmpty() && DossierExiste(destination + ownName)) {
        const QString q = QStringLiteral("Le dossier \"%1\" existe déjà !").arg(destination + ownName) +
                          CrLf(2) + QStringLiteral("Souhaitez-vous tout de même faire la copie ?");
        if (!dialogs.question(q, Icon::Question))
            return 0;
    }
    BusyPointer busy(dialogs);
    const qint64 n = ArborescenceCopier(source, destination + ownName, dialogs);
    dialogs.status({});
    return n;
}

namespace {

qint64 copyTree(const QString& sourceIn, const QString& destinationIn, Dialogs& dialogs, qint64 doneBefore) {
    const QString source = withSeparator(sourceIn);
    const QString destination = withSeparator(destinationIn);
    DossierCréer(destination);
    QStringList folders;
    qint64 count = 0;
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        if (e.isDir()) {
            // Folder links are never followed, so a link to an ancestor cannot make the copy endless.
            if (!e.isSymLink())
                folders.append(name);
            continue;
        }
        const QString from = source + name;
        const QString to = destination + name;
        FileError error;
        QString failed;
        // Whole or not at all, every byte checked; a link in the copy's place is replaced, not followed.
        if (copyFileWhole(from, to, {.sync = false, .keepPermissions = true, .skipUnchanged = false}, &error,
                          &failed)) {
            ++count;
        } else {
            dialogs.message(QStringLiteral("Copie de") + CrLf() + from + CrLf() + QStringLiteral("vers") +
                                CrLf() + to + CrLf(2) + QStringLiteral("=> ") + fileErrorCause(error),
                            Icon::Exclamation, QStringLiteral("Erreur de copie"));
        }
        dialogs.status(QStringLiteral("Copie en cours : %1 fichiers copiés...").arg(doneBefore + count));
        dialogs.processEvents();
    }
    for (const QString& f : folders)
        count += copyTree(source + f, destination + f, dialogs, doneBefore + count);
    return count;
}

} // namespace

qint64 ArborescenceCopier(const QString& source, const QString& destination, Dialogs& dialogs) {
    return copyTree(source, destination, dialogs, 0);
}

bool DossierSupprimer(const QString& folderIn) {
    const QString folder = withSeparator(folderIn);
    bool ok = true;
    QDir dir(folder);
    if (!dir.exists())
        return false;
    QStringList folders;
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        if (name.startsWith(u'.'))
            continue;
        if (e.isDir() && !e.isSymLink()) {
            folders.append(name);
            continue;
        }
        const QString path = folder + name;
        if (!e.isSymLink())
            QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
        if (!FichierCorbeille(path))
            ok = false;
    }
    for (const QString& f : folders)
        if (!DossierSupprimer(folder + f))
            ok = false;
    if (!QDir().rmdir(withoutSeparator(folder)))
        ok = false;
    return ok;
}

bool FichierCorbeille(const QString& path) {
    return moveToTrash(path);
}

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// A folder of the trash: made when missing (private to the user), refused when it is anything else.
bool trashFolder(const QString& path, int* code) {
    if (::mkdir(native(path).constData(), 0700) == 0)
        return true;
    struct stat st;
    if (errno == EEXIST && ::lstat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    *code = errno == EEXIST ? ENOTDIR : errno;
    return false;
}

// The trash for a file of this device: the user's own when it lies on the same device, otherwise the
// device's ".Trash-<uid>" at the top of its mount (a rename cannot cross devices).
QString trashFor(const QString& absolute, dev_t device, int* code) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without the user's data folder (a new account) it is made, never replaced by the current folder.
    if (!data.isEmpty())
        QDir().mkpath(data);
    struct stat st;
    if (!data.isEmpty() && ::stat(native(data).constData(), &st) == 0 && st.st_dev == device)
        return data + QStringLiteral("/Trash");
    QString top = QFileInfo(absolute).absolutePath();
    for (;;) {
        const QString up = QFileInfo(top).absolutePath();
        if (up == top || ::stat(native(up).constData(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    if (top.endsWith(u'/'))
        top.chop(1);
    QString trash = top + QStringLiteral("/.Trash-") + QString::number(::getuid());
    if (::stat(native(top).constData(), &st) != 0) {
        *code = errno;
        return {};
    }
    return trash;
}

QString percentEncoded(const QString& path) {
    return QString::fromLatin1(native(path).toPercentEncoding("/"));
}
#endif

} // namespace

bool linksOutside(const QString& path, const QString& root) {
    const QFileInfo link(path);
    if (!link.isSymLink())
        return false;
    const QString target = link.canonicalFilePath();
    QString inside = QFileInfo(root).canonicalFilePath();
    if (target.isEmpty() || inside.isEmpty())
        return true;
    if (!inside.endsWith(u'/'))
        inside += u'/';
    return !target.startsWith(inside);
}

bool moveToTrash(const QString& path, const QString& shownAsIn, FileError* error) {
    fileStep();
    const QString shownAs = QFileInfo(shownAsIn.isEmpty() ? path : shownAsIn).absoluteFilePath();
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Done here rather than by QFile::moveToTrash, which retries names without end when the trash
    // cannot be written.
    auto failed = [error](int code) {
        if (error)
            *error = FileError::system(FileError::Operation::Write, code);
        return false;
    };
    const QString absolute = QFileInfo(path).absoluteFilePath();
    struct stat st;
    if (::lstat(native(absolute).constData(), &st) != 0)
        return failed(errno);
    int code = 0;
    const QString trash = trashFor(absolute, st.st_dev, &code);
    if (trash.isEmpty())
        return failed(code);
    const QString files = trash + QStringLiteral("/files");
    const QString info = trash + QStringLiteral("/info");
    if (!trashFolder(trash, &code) || !trashFolder(files, &code) || !trashFolder(info, &code))
        return failed(code);

    const QString name = QFileInfo(shownAs).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const QByteArray record = "[Trash Info]\nPath=" + percentEncoded(shownAs).toUtf8() + "\nDeletionDate=" +
                              QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n";
    // The info file, made exclusively, reserves the name; a bounded number of names is tried.
    constexpr int kNames = 1000;
    for (int n = 1; n <= kNames; ++n) {
        const QString trashed = n == 1 ? name : QStringLiteral("%1.%2%3").arg(stem).arg(n).arg(extension);
        const QString infoPath = info + u'/' + trashed + QStringLiteral(".trashinfo");
        const int fd =
            ::open(native(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return failed(errno);
        }
        const bool written = ::write(fd, record.constData(), size_t(record.size())) == record.size();
        const int writeCode = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(native(infoPath).constData());
            return failed(written ? EIO : writeCode);
        }
        const QString target = files + u'/' + trashed;
        if (::lstat(native(target).constData(), &st) == 0) {
            ::unlink(native(infoPath).constData());
            continue;
        }
        if (::rename(native(absolute).constData(), native(target).constData()) != 0) {
            const int renameCode = errno;
            ::unlink(native(infoPath).constData());
            return failed(renameCode);
        }
        return true;
    }
    return failed(EEXIST);
#else
    Q_UNUSED(shownAs);
    if (QFile::moveToTrash(path))
        return true;
    if (error)
        *error = FileError::system(FileError::Operation::Write, EACCES);
    return false;
#endif
}

QString trashFailureMessage(const QString& path, const FileError& error) {
    return QStringLiteral("Je ne peux pas mettre le fichier \"%1\" à la corbeille (%2) : il est conservé.")
        .arg(path, fileErrorCause(error));
}

bool isSafeName(QStringView name) {
    if (name == u"." || name == u"..")
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    return true;
}

} // namespace qs
