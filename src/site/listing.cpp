#include "site/listing.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace qs {

namespace {

// A stable order whatever the disk gives: case ignored first, then exact.
void sortNames(QStringList& names) {
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString& n : names)
        keyed.append({upper1252(n), n});
    std::sort(keyed.begin(), keyed.end());
    for (qsizetype i = 0; i < keyed.size(); ++i)
        names[i] = keyed[i].second;
}

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
    sortNames(names);
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
    QDirIterator it(categoryFolder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive))
            continue;
        if (name.compare(QStringLiteral("Index.htm"), Qt::CaseInsensitive) == 0 ||
            name.compare(QStringLiteral("IndexG.htm"), Qt::CaseInsensitive) == 0)
            continue;
        names.append(name);
    }
    sortNames(names);
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
    return isSafeName(name);
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
