#include "site/listing.h"

#include "lib/collation.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace qs {

namespace {

// The folders of a folder, less hidden ones and folder links.
QStringList subFolders(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(u'.'))
            names.append(name);
    }
    sortFrench(names);
    return names;
}

} // namespace

QStringList siteDomains(const QString& siteFolder, DomainListing listing) {
    QStringList names = subFolders(siteFolder);
    names.removeIf([listing](const QString& n) {
        if (n == u"java" || n == u"sound" || n == u"images")
            return true;
        return listing == DomainListing::Opening && (n == u"Modifier" || n == u"ReadOnly");
    });
    return names;
}

QStringList domainCategories(const QString& domainFolder) {
    return subFolders(domainFolder);
}

QStringList categoryPages(const QString& categoryFolder) {
    QStringList names;
    QString site; // found when a link needs it: the category's domain's parent
    QDirIterator it(categoryFolder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (it.fileInfo().isSymLink()) {
            if (site.isEmpty())
                site = QDir::cleanPath(withSeparator(categoryFolder) + QStringLiteral("../.."));
            if (linksOutside(it.filePath(), site))
                continue;
        }
        if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive))
            continue;
        if (name.compare(QStringLiteral("Index.htm"), Qt::CaseInsensitive) == 0 ||
            name.compare(QStringLiteral("IndexG.htm"), Qt::CaseInsensitive) == 0)
            continue;
        names.append(name);
    }
    sortFrench(names);
    return names;
}

QString pageTitle(QIODevice& device) {
    return readTitle(device, TitleRules::Listing);
}

QString pageTitle(const QString& path) {
    return readTitle(path, TitleRules::Listing);
}

QString pageTitleOf(QByteArrayView bytes) {
    return titleOf(bytes, TitleRules::Listing);
}

QString invalidNameMessage() {
    return QStringLiteral("Ce nom est incorrect (ou contient des caractères incorrects)") + CrLf(2) +
           QStringLiteral("Donnez un nom qui puisse être utilisé comme nom de dossier sur ce système.");
}

bool isValidFolderName(const QString& name) {
    // A name beginning with "." would be hidden: the listings leave such folders out.
    return isSafeName(name) && !name.startsWith(u'.');
}

QString askNewFolderName(Dialogs& dialogs, NewNameKind kind, const QString& parentFolder,
                         const std::function<bool(const QString&)>& listed) {
    QString prompt;
    QString title;
    QString taken;
    switch (kind) {
    case NewNameKind::Site:
        prompt = QStringLiteral("Nom du nouveau site :");
        title = QStringLiteral("Nouveau site");
        taken = QStringLiteral("Ce domaine existe déjà ! Saisissez un autre nom.");
        break;
    case NewNameKind::Domain:
        prompt = QStringLiteral("Nom du nouveau domaine :");
        title = QStringLiteral("Nouveau domaine");
        taken = QStringLiteral("Ce domaine existe déjà ! Saisissez un autre nom.");
        break;
    case NewNameKind::Category:
        prompt = QStringLiteral("Nom de la nouvelle catégorie :");
        title = QStringLiteral("Nouvelle catégorie");
        taken = QStringLiteral("Cette catégorie existe déjà ! Saisissez un autre nom.");
        break;
    }
    const QString parent = withSeparator(parentFolder);
    for (;;) {
        const QString name = dialogs.prompt(prompt, title).trimmed();
        if (name.isEmpty())
            return {};
        if (!isValidFolderName(name)) {
            dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        bool exists = false;
        switch (kind) {
        case NewNameKind::Site:
            exists = DossierExiste(parent + name);
            break;
        case NewNameKind::Domain:
        case NewNameKind::Category:
            exists = listed(name);
            break;
        }
        if (exists) {
            dialogs.message(taken, Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        DossierCréer(parent + name);
        if (DossierExiste(parent + name))
            return name;
        dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
    }
}

namespace {

// Names of the folders of `folder` that are not valid UTF-8, read as Windows-1252.
QStringList undecodableIn(const QString& folder) {
    QStringList names;
#ifdef Q_OS_UNIX
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || QByteArrayView(raw).isValidUtf8())
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
            names.append(fromWindows1252(raw));
    }
    ::closedir(dir);
#else
    Q_UNUSED(folder);
#endif
    return names;
}

} // namespace

QStringList undecodableFolders(const QString& siteFolder) {
    const QString root = withSeparator(siteFolder);
    QStringList found = undecodableIn(root);
    for (const QString& domain : siteDomains(root, DomainListing::Command))
        for (const QString& name : undecodableIn(root + domain))
            found.append(domain + u'/' + name);
    sortFrench(found);
    return found;
}

void reportUndecodableFolders(const QString& siteFolder, Dialogs& dialogs) {
    const QStringList found = undecodableFolders(siteFolder);
    if (found.isEmpty())
        return;
    dialogs.message(
        QStringLiteral("Ces dossiers du site sont laissés de côté : leur nom n'est pas écrit en UTF-8, "
                       "le programme ne peut pas les ouvrir.") +
            CrLf(2) + found.join(CrLf()) + CrLf(2) +
            QStringLiteral("Renommez-les pour qu'ils fassent partie du site."),
        Icon::Exclamation, QStringLiteral("Dossiers ignorés"));
}

QString introductionPage(const QString& categoryFolder) {
    const QString exact = QStringLiteral("Index.html");
    if (FichierExiste(categoryFolder + exact))
        return exact;
    // A case-sensitive disk may hold it as "index.html" or "INDEX.HTML".
    QDirIterator it(categoryFolder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().compare(exact, Qt::CaseInsensitive) == 0)
            return it.fileName();
    }
    return {};
}

} // namespace qs
