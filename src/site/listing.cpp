#include "site/listing.h"

#include "lib/collation.h"
#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

CategoryFiles categoryFiles(const QString& categoryFolder) {
    CategoryFiles files;
    const QString exact = QStringLiteral("Index.html");
    QString caseless; // the first "index.html" of another case, in listing order
    bool exactFound = false;
    QString site; // found when a link needs it: the category's domain's parent
    // `isFile`: an ordinary file, through a link; `exists`: anything but a folder, through a link;
    // `mayLink`: the entry may be a link, whose target must stay inside the site to be a page.
    const auto take = [&](const QString& name, bool isFile, bool exists, bool mayLink) {
        if (name == exact) {
            exactFound = exists;
            return;
        }
        if (!isFile)
            return;
        if (caseless.isEmpty() && name.compare(exact, Qt::CaseInsensitive) == 0)
            caseless = name;
        if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive))
            return;
        if (name.compare(QStringLiteral("Index.htm"), Qt::CaseInsensitive) == 0 ||
            name.compare(QStringLiteral("IndexG.htm"), Qt::CaseInsensitive) == 0)
            return;
        if (mayLink) {
            if (site.isEmpty())
                site = QDir::cleanPath(withSeparator(categoryFolder) + QStringLiteral("../.."));
            if (linksOutside(withSeparator(categoryFolder) + name, site))
                return;
        }
        files.pages.append(name);
    };
#ifdef Q_OS_UNIX
    // One pass over the folder's entries; only links and entries of unknown type cost a stat.
    if (DIR* dir = ::opendir(QFile::encodeName(categoryFolder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const char* raw = entry->d_name;
            if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
                continue;
            bool isFile = entry->d_type == DT_REG;
            bool exists = entry->d_type != DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat st {};
                exists = ::fstatat(::dirfd(dir), raw, &st, 0) == 0 && !S_ISDIR(st.st_mode);
                isFile = exists && S_ISREG(st.st_mode);
            }
            take(QFile::decodeName(raw), isFile, exists,
                 entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN);
        }
        ::closedir(dir);
    } else {
        // A folder that can be entered but not listed may still hold a known name.
        exactFound = FichierExiste(withSeparator(categoryFolder) + exact);
    }
#else
    QDirIterator it(categoryFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        take(it.fileName(), info.isFile(), info.exists() && !info.isDir(), info.isSymLink());
    }
#endif
    sortFrench(files.pages);
    files.introduction = exactFound ? exact : caseless;
    return files;
}

QStringList categoryPages(const QString& categoryFolder) {
    return categoryFiles(categoryFolder).pages;
}

QStringList pageTitles(const QString& categoryFolder, const QStringList& names) {
    QStringList titles;
    titles.reserve(names.size());
#ifdef Q_OS_UNIX
    // Looked up in the open folder: the path is walked once, not once a page.
    const int folder =
        ::open(QFile::encodeName(categoryFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        for (const QString& name : names) {
            RegularFile file(folder, QFile::encodeName(name).constData());
            titles.append(readTitle(file, TitleRules::Listing));
        }
        ::close(folder);
        return titles;
    }
#endif
    const QString prefix = withSeparator(categoryFolder);
    for (const QString& name : names)
        titles.append(pageTitle(prefix + name));
    return titles;
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
        QString name = dialogs.prompt(prompt, title).trimmed();
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
    return categoryFiles(categoryFolder).introduction;
}

} // namespace qs
