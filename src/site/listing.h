#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace qs {

class Dialogs;

// The site's structure on disk: the site folder's folders are domains, a domain's folders are
// categories, a category's ".htm" files are pages. Folder links are never listed as domains or
// categories: the generators write into every listed folder, and a link would make them write into
// another domain or outside the site. Hidden entries (names beginning with ".") are never listed. An
// unreadable folder lists as empty.

// Which reserved names the domain listing leaves out: an opening of the site also hides "Modifier" and
// "ReadOnly", a domain command lists them.
enum class DomainListing { Opening, Command };
// The domains of the site folder, in French alphabetical order (sortFrench).
QStringList siteDomains(const QString& siteFolder, DomainListing listing);
// The categories of a domain folder.
QStringList domainCategories(const QString& domainFolder);
// The page files of a category folder: its ".htm" files (any case) less "Index.htm" and "IndexG.htm"
// (any case), in French alphabetical order of their names. A link to a file outside the site (the
// category's grandparent folder) is not a page (linksOutside).
QStringList categoryPages(const QString& categoryFolder);
// The page files and the introduction page (see introductionPage) of a category folder, read in one pass.
struct CategoryFiles {
    QStringList pages;
    QString introduction;
};
CategoryFiles categoryFiles(const QString& categoryFolder);

// The title of a page file as the list shows it (readTitle with TitleRules::Listing, lib/pagetitle.h):
// only the first 64 KiB of an ordinary file are looked at; "" when it has none or cannot be read.
QString pageTitle(const QString& path);
QString pageTitle(QIODevice& device);
QString pageTitleOf(QByteArrayView bytes);
// pageTitle of each of the files `names` of a folder, in the same order.
QStringList pageTitles(const QString& categoryFolder, const QStringList& names);

// Which operation a new name is for: it picks the prompt and the "already exists" message.
enum class NewNameKind { Site, Domain, Category };
// The name rule of new sites, domains and categories: the name stays one folder inside its parent (no
// folder separator of any platform the sites are made for, no control character), and it does not begin
// with "." (such a folder would be hidden from every listing; "." and ".." are refused with it).
bool isValidFolderName(const QString& name);
// Asks through `dialogs` for the name of a new site, domain or category until it is valid, and creates
// its folder in `parentFolder`. A name that is taken (a folder of the program folder for a site; for a
// domain or category, one for which `listed` is true) is refused with "... existe déjà !"; a name that
// breaks the name rule, or whose folder cannot be created, with the invalid-name message. Returns the
// name, or "" when the user gave none (nothing created then).
QString askNewFolderName(Dialogs& dialogs, NewNameKind kind, const QString& parentFolder,
                         const std::function<bool(const QString&)>& listed);
// The invalid-name message.
QString invalidNameMessage();

// The domain and category folders of the site whose names are not valid UTF-8: the program cannot name
// them, so no listing holds them. Each comes as its path from the site folder, the name read as
// Windows-1252 (what such names most often are). Empty when there is none.
QStringList undecodableFolders(const QString& siteFolder);
// Says, when there are any, which folders are left out and why (one warning for them all).
void reportUndecodableFolders(const QString& siteFolder, Dialogs& dialogs);

// The name, as it exists in the category folder, of its introduction page "Index.html" (found whatever
// its case); "" when there is none.
QString introductionPage(const QString& categoryFolder);

} // namespace qs
