#include "lib/files.h"
#include "lib/text1252.h"

#include "lib/dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

namespace {

// True when `inner` is `outer` itself or lies somewhere below it.
bool isSameOrInside(const QString& inner, const QString& outer) {
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

} // namespace

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
        QFile::remove(to);
        QFile in(from);
        if (in.copy(to)) {
            ++count;
        } else {
            dialogs.message(QStringLiteral("Copie de") + CrLf() + from + CrLf() + QStringLiteral("vers") +
                                CrLf() + to + CrLf(2) + QStringLiteral("=> ") + frenchFileError(in),
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
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Without the user's data folder (a new account), Qt makes its trash folders in the current folder:
    // the file would leave the site for wherever the program was started.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        QDir().mkpath(data);
#endif
    return QFile::moveToTrash(path);
}

} // namespace qs
