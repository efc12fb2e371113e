#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The site indexer: walks a whole site and writes two list pages into its root, "Recent.htm" (pages
// changed during the last few days) and "Search.htm" (pages changed during the last 300 days).
//
//   site/Dom/Cat/3.htm  modified 2.3.26   --  on Wednesday 4.3.26 -->  listed in both files
//   site/Dom/Cat/4.htm  modified 20.2.26                            -->  listed in Search.htm only
//   site/Dom/Cat/Index.htm, site/Essais_test/..., site/.git/...    -->  never looked at
namespace qs {

class Clock;
class Dialogs;

// The days that decide which pages are listed. A page is recent when its file was modified strictly
// after `recentLimit`, and indexed when strictly after `indexLimit`.
struct IndexDays {
    QDate reference; // the current day; the Saturday before on a Sunday or a Monday
    QDateTime recentLimit;
    QDateTime indexLimit;
};
IndexDays indexDays(const QDateTime& now);

// Whether the walk goes into a folder / lists a file of that name.
bool isWalkedFolder(const QString& name);
bool isIndexedFile(const QString& name);
// Pages that the walk finds but the lists leave out: copies ("Copie de ...") and the lists themselves.
bool isListedPage(const QString& fileName);

// The title of a page as the indexer reads it: the text after the first "<TITLE>" (any case) up to the
// next "<", over as many lines as it takes, each line's part trimmed and joined with one blank.
//   "<title>Plan\r\n   du site</title>"  ->  "Plan du site"
// A page without "<TITLE>" has the empty title; *readable is false when the file cannot be read.
QString indexTitle(const QString& path, bool* readable = nullptr);

// One page found by the walk.
struct IndexedPage {
    QString path;       // root + relative path, "/" between folders
    QDateTime modified; // in UTC
    QString title;      // read by the walk for a page recent enough to be listed
    bool titleRead = false;
    bool readable = true; // false when the title was to be read and the file could not be
};

// One row of a list page.
struct IndexRow {
    QString link;  // relative to the site root: "Dom/Cat/3.htm"
    QString name;  // the file name without its extension: "3"
    QString title; // as read, unescaped
    QDate modified;
};

// What goes into one list page besides its rows.
struct IndexListInput {
    QString title; // "Nouvelles pages (ou modifiées)" or "Quillsite - Index"
    QString programId;
    QDateTime now;
    QDate reference;
    QList<IndexRow> rows;
    bool fullTextLink = false; // a line at the top leads to "Recherche.htm"
};
// The lines of "Recent.htm" or "Search.htm", without their line ends: the header, five lines per row,
// the footer. The three parts are there on their own too, for a writer that shares rows between lists.
QStringList indexListLines(const IndexListInput& input);
QStringList indexListHeader(const IndexListInput& input);
QStringList indexListRow(const IndexRow& row);
// A row's five lines in Windows-1252, each ended by CR LF, appended to `out`: what indexListRow() gives,
// made without a string per line.
void appendIndexRow(QByteArray& out, QStringView link, QStringView name, QStringView title, QDate modified);
QStringList indexListFooter();

inline constexpr const char* kRecentTitle = "Nouvelles pages (ou modifiées)";
inline constexpr const char* kSearchTitle = "Quillsite - Index";

// What a run shows while it works, and how the user stops it. The defaults show nothing and never stop.
class IndexProgress {
public:
    virtual ~IndexProgress() = default;
    // A folder is about to be walked (the window's label E).
    virtual void folder(const QString& path) { Q_UNUSED(path); }
    // Folders walked and pages found so far.
    virtual void found(qsizetype folders, qsizetype pages) {
        Q_UNUSED(folders);
        Q_UNUSED(pages);
    }
    // Pages read for the full-text index so far, of `total`.
    virtual void fullText(qsizetype done, qsizetype total) {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
    virtual bool stopRequested() { return false; }
    // Both lists are in place; the generated pages are about to be rewritten.
    virtual void written() {}
};

// How a run ended and what it found.
struct IndexResult {
    enum class Outcome { Written, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    qsizetype folders = 0;  // folders walked, the root included
    qsizetype pages = 0;    // pages found by the walk
    qsizetype recent = 0;   // rows of Recent.htm
    qsizetype search = 0;   // rows of Search.htm
    qsizetype fullText = 0; // pages in the full-text index, when it was written
    // Pages whose title could not be read (listed with an empty title) and folders that could not be
    // listed (left out): the run goes on without them.
    QStringList unreadable;
};

// Walks the site folder `root` and returns its pages in ascending ordinal order of their path. The
// pages modified strictly after `titlesAfter` that the lists show have their title read on the way (an
// invalid moment reads none). Folder links are not followed. A folder that cannot be listed is added to
// *unreadable and left out; a page whose title cannot be read is added to it too, and keeps an empty
// title. Stops early (returning what it has) when the progress asks to; *stopped then says so.
QList<IndexedPage> Explore(const QString& root, const QDateTime& titlesAfter, Dialogs& dialogs,
                           IndexProgress& progress, qsizetype* folders = nullptr,
                           QStringList* unreadable = nullptr, bool* stopped = nullptr);

// One indexing run over the site folder: walks it, then writes "Recent.htm" and "Search.htm" into it,
// both whole or neither. The clock is read once, before the walk, which reads the titles it needs. With
// `trashPrevious` the lists being replaced go to the trash first. A missing root or a file that cannot be
// written ends the run with a French message and nothing changed; so does a stop asked for by the progress,
// silently.
// With `fullText.enabled` the run also writes "Recherche.htm" and its index "recherche/", put in place
// with the two lists; without, it leaves them as they are.
struct FullTextOptions {
    bool enabled = false;
    QString CouleurFond, CouleurTitre, CouleurTexte;
};
IndexResult IndexerSite(const QString& root, const Clock& clock, Dialogs& dialogs, IndexProgress& progress,
                        bool trashPrevious, const FullTextOptions& fullText = {});

class MainState;

// The indexing of the main window's site (the Tools menu's "&Générer un fichier d'index"): when the site
// was indexed before ("Indexer" is "Oui") the lists being replaced go to the trash; once both are
// written "Indexer" becomes "Oui" and Enregistrer rewrites the generated pages, so that the home page
// links to "Rechercher" and "Nouveautés". A cancelled or failed run changes nothing. The status line
// tells how it went.
// `fullText` false: the full-text search files are left as they are.
IndexResult runIndexing(MainState& state, IndexProgress& progress, bool fullText = true);

} // namespace qs
