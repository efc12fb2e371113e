#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

namespace qs {

class MainState;

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
// (any case), in French alphabetical order of their names.
QStringList categoryPages(const QString& categoryFolder);

// The title of a page file: the text after <TITLE> (any case) up to the next "<", over several lines if
// need be, joined with single blanks. Only as much of the file as the title needs is read. "" when the
// file has none or cannot be read. The text is not decoded ("&lt;" stays).
//   "<title>Mode d'emploi</title>"          -> "Mode d'emploi"
//   "<TITLE>  Deux\r\n   lignes </TITLE>"   -> "Deux lignes"
//   "<TITLE>A &amp; B<BR>suite</TITLE>"     -> "A &amp; B"
QString pageTitle(const QString& path);
QString pageTitle(QIODevice& device);
QString pageTitleOf(QByteArrayView bytes);

// The listing made when a site is (re)opened: empties the three lists, disables the image index, and
// lists the domains less the reserved names of an opening. Nothing stays current: call Enregistrer
// before changing the site folder, so that the pages of the site being left are written first.
void domainesInit(MainState& state);
// Re-lists the domains after a domain command, selects `name` when given (which runs dListe_Click),
// resets what lies below and regenerates the home page. What was current is regenerated first, while the
// lists still describe it.
void DomainesLister(MainState& state, const QString& name = {});

// Selection of a domain / a category. The window calls these once the user has moved the selection of
// dListe / cListe; the logic selects rows itself and then calls them (the window must not call them
// again for a selection made by the program). Leaving a domain or category regenerates it first; a
// domain without categories asks for a first one (cAjouter_Click) and is deselected when none is given.
void dListe_Click(MainState& state);
void cListe_Click(MainState& state);

// The add-category button: regenerates the current category, asks for the new category's name, creates
// its folder in the selected domain, adds and selects it.
void cAjouter_Click(MainState& state);

// Clearing what depends on a selection: dEffacer empties the categories (and all below) and disables
// cAjouter; cEffacer empties the pages and disables the page buttons and the image index; tEffacer
// empties the editor's title and text.
void dEffacer(MainState& state);
void cEffacer(MainState& state);
void tEffacer(MainState& state);

// Which operation a new name is for: it picks the prompt and the "already exists" message.
enum class NewNameKind { Site, Domain, Category };
// Asks for the name of a new site, domain or category until it is valid, and creates its folder in
// `parentFolder`. A name that is taken (a folder of the program folder for a site, a row of dListe or
// cListe, case ignored) is refused with "... existe déjà!"; a name holding a folder separator ("/" or
// "\"), a control character, or beginning with "." (such folders are never listed), and a name whose
// folder cannot be created, with
// the invalid-name message. Returns the name, or "" when the user gave none (nothing created then).
QString newFolderName(MainState& state, NewNameKind kind, const QString& parentFolder);
// The invalid-name message.
QString invalidNameMessage();

} // namespace qs
