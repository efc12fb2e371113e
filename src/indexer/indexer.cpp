#include "indexer/indexer.h"

#include "indexer/fulltext.h"

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/pagetitle.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

#ifdef Q_OS_UNIX
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {

namespace {

const QString kRecentFile = QStringLiteral("Recent.htm");
const QString kSearchFile = QStringLiteral("Search.htm");

// upper1252(text) compared with an upper-case ASCII word, character by character: the same answer
// without building the upper-case copy, which the walk would otherwise make for every entry.
bool upperEquals(QStringView text, QLatin1StringView word) {
    if (text.size() != word.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (upper1252(text[i]) != QLatin1Char(word[i]))
            return false;
    return true;
}

bool upperStartsWith(QStringView text, QLatin1StringView word) {
    return text.size() >= word.size() && upperEquals(text.first(word.size()), word);
}

bool upperEndsWith(QStringView text, QLatin1StringView word) {
    return text.size() >= word.size() && upperEquals(text.last(word.size()), word);
}

// What the walk does with the pages it finds.
struct PageSink {
    QString root;
    QDateTime titlesAfter; // UTC; invalid: no title is read
    Dialogs& dialogs;
    IndexProgress& progress;
    QList<IndexedPage> pages; // of the folder being listed
    qsizetype folders = 0;    // walked so far
    qsizetype found = 0;      // pages found so far

    // After each page: now and then, shows progress, lets events run and asks whether to go on, so
    // that a folder of many pages can be stopped too.
    bool step() {
        if (++found % 64 != 0)
            return true;
        progress.found(folders, found);
        dialogs.processEvents();
        return !progress.stopRequested();
    }

    bool wantsTitle(const QString& name, const QDateTime& modified) const {
        return titlesAfter.isValid() && modified > titlesAfter && isListedPage(name);
    }
};

// Lists one folder: its pages into `pages`, the folders to walk into `subfolders` in listing order.
enum class Listing { Done, Unreadable, Stopped };
Listing listFolder(const QString& path, QStringList& subfolders, PageSink& sink) {
#ifdef Q_OS_UNIX
    // The entry types come with the listing; only pages (and links, and file systems that give no
    // type) need a stat of their own.
    DIR* dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return Listing::Unreadable;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.')
            continue;
        const QString name = QFile::decodeName(raw);
        struct stat st;
        bool haveStat = false;
        bool folder = entry->d_type == DT_DIR;
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            if (::fstatat(fd, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISLNK(st.st_mode)) {
                // Folder links are not followed (a link back up the tree would never end); a link
                // to a page is a page. A broken link is nothing.
                if (::fstatat(fd, raw, &st, 0) != 0 || !S_ISREG(st.st_mode) ||
                    linksOutside(path + name, sink.root))
                    continue;
            }
            folder = S_ISDIR(st.st_mode);
            file = S_ISREG(st.st_mode);
            haveStat = true;
        }
        if (folder) {
            if (isWalkedFolder(name))
                subfolders.append(path + name + QLatin1Char('/'));
            continue;
        }
        // Only ordinary files are pages: a FIFO, socket or device is never opened.
        if (!file || !isIndexedFile(name))
            continue;
        if (!haveStat && ::fstatat(fd, raw, &st, 0) != 0)
            continue;
        const qint64 ms = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        IndexedPage page{path + name, QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC), {}, false, true};
        if (sink.wantsTitle(name, page.modified)) {
            // Read now, while the folder is open: the name is looked up in it alone.
            RegularFile opened(fd, raw);
            page.title = readTitle(opened, TitleRules::Index, &page.readable);
            page.titleRead = true;
        }
        sink.pages.append(std::move(page));
        if (!sink.step()) {
            ::closedir(dir);
            return Listing::Stopped;
        }
    }
    ::closedir(dir);
    return Listing::Done;
#else
    const QFileInfo self(path);
    if (!self.isDir() || !self.isReadable())
        return Listing::Unreadable;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QString name = entry.fileName();
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (entry.isDir()) {
            if (!entry.isSymLink() && !entry.isJunction() && isWalkedFolder(name))
                subfolders.append(path + name + QLatin1Char('/'));
        } else if (entry.isFile() && isIndexedFile(name) && !linksOutside(entry.filePath(), sink.root)) {
            IndexedPage page{path + name, entry.lastModified().toUTC(), {}, false, true};
            if (sink.wantsTitle(name, page.modified)) {
                page.title = readTitle(page.path, TitleRules::Index, &page.readable);
                page.titleRead = true;
            }
            sink.pages.append(std::move(page));
            if (!sink.step())
                return Listing::Stopped;
        }
    }
    return Listing::Done;
#endif
}

// The local day of a UTC moment. On Unix localtime_r is asked directly: Qt re-reads the time zone for
// every conversion, one system call per page, which the indexer cannot afford 50,000 times.
QDate localDate(const QDateTime& utc) {
#ifdef Q_OS_UNIX
    const time_t secs = time_t(utc.toSecsSinceEpoch());
    struct tm parts;
    if (::localtime_r(&secs, &parts))
        return QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
#endif
    return utc.toLocalTime().date();
}

QString updatedOn(const QDateTime& when) {
    return when.toString(QStringLiteral("d.M.yy 'à' H:mm"));
}

// Puts a copy of the file, when there is one, into the trash under its own name; the file stays.
bool trashCopy(const QString& path, FileError* error) {
    if (!QFileInfo(path).isFile())
        return true;
    const QString copy = workFilePath(FichierRépertoire(path), ".old");
#ifdef Q_OS_UNIX
    // A second name for the same bytes costs nothing; a copy only where links are not supported.
    const bool linked = ::link(QFile::encodeName(path).constData(), QFile::encodeName(copy).constData()) == 0;
#else
    const bool linked = false;
#endif
    QString failedPath;
    if (!linked &&
        !copyFileWhole(path, copy, {.sync = false, .keepPermissions = true, .skipUnchanged = false}, error,
                       &failedPath))
        return false;
    if (moveToTrash(copy, path, error))
        return true;
    QFile::remove(copy);
    return false;
}

// The site root as the paths of the walk begin: separators at its end replaced by exactly one "/".
QString rootText(const QString& root) {
    QString r = root;
    while (r.size() > 1 && isSeparator(r.back()))
        r.chop(1);
    if (r.isEmpty() || !isSeparator(r.back()))
        r += QLatin1Char('/');
    return r;
}

} // namespace

IndexDays indexDays(const QDateTime& now) {
    QDate day = now.date();
    switch (day.dayOfWeek()) {
    case Qt::Sunday:
        day = day.addDays(-1);
        break;
    case Qt::Monday:
        day = day.addDays(-2);
        break;
    default:
        break;
    }
    // Limits are whole days back from the reference day's midnight, whatever the clock change between.
    return {day, day.addDays(-4).startOfDay(), day.addDays(-300).startOfDay()};
}

bool isWalkedFolder(const QString& name) {
    return !name.startsWith(QLatin1Char('.')) && !upperEndsWith(name, "TEST"_L1);
}

bool isIndexedFile(const QString& name) {
    if (name.startsWith(QLatin1Char('.')) || !upperEndsWith(name, ".HTM"_L1))
        return false;
    for (QLatin1StringView word :
         {"SEARCH"_L1, "RECENT"_L1, "HOMEPAGE"_L1, "IMGINDEX"_L1, "INDEXG"_L1, "INDEX"_L1, "MODIF_"_L1})
        if (upperStartsWith(name, word))
            return false;
    // The full-text search page is generated too.
    return !upperEquals(name, "RECHERCHE.HTM"_L1);
}

bool isListedPage(const QString& fileName) {
    const QStringView base = QStringView(fileName).chopped(std::min<qsizetype>(4, fileName.size()));
    return !upperStartsWith(base, "COPIE DE "_L1) && !upperEquals(base, "RECENT"_L1) &&
           !upperEquals(base, "SEARCH"_L1);
}

QString indexTitle(const QString& path, bool* readable) {
    return readTitle(path, TitleRules::Index, readable);
}

QStringList indexListHeader(const IndexListInput& in) {
    QStringList lines{
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>") + in.title + QStringLiteral("</TITLE>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY BACKGROUND=\"images/domaine.gif\" BGCOLOR=\"#FFEEEE\">"),
        QStringLiteral("<FONT SIZE=\"1\">") + in.programId + QStringLiteral("</FONT><BR>"),
        QStringLiteral("<CENTER><H2><FONT COLOR=\"#009900\">") + in.title +
            QStringLiteral("</FONT></H2></CENTER>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<CENTER>Mis à jour le ") + updatedOn(in.now) + QStringLiteral(" (réf ") +
            in.reference.toString(QStringLiteral("d.M.yy")) + QStringLiteral(")</CENTER><BR>"),
        QStringLiteral("<CENTER><TABLE>"),
        QStringLiteral("<COL ALIGN=LEFT><COL ALIGN=LEFT><COL ALIGN=CENTER>"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TH ALIGN=LEFT>Page</TH><TH ALIGN=LEFT>Titre</TH><TH>Modifié le</TH></TR>")};
    if (in.fullTextLink)
        lines.insert(5, QStringLiteral("<CENTER><A HREF=\"Recherche.htm\">Rechercher dans le texte des "
                                       "pages</A></CENTER>"));
    return lines;
}

void appendIndexRow(QByteArray& out, QStringView link, QStringView name, QStringView title, QDate modified) {
    out.append("<TR>\r\n<TD><A HREF=\"");
    appendWindows1252(out, link);
    out.append("\">");
    appendWindows1252(out, name);
    out.append("</A></TD>\r\n<TD>");
    appendWindows1252(out, title);
    out.append("</TD>\r\n<TD>");
    // "dd.mm.yy"
    const int parts[3] = {modified.day(), modified.month(), modified.year() % 100};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            out.append('.');
        out.append(char('0' + parts[i] / 10 % 10)).append(char('0' + parts[i] % 10));
    }
    out.append("</TD>\r\n</TR>\r\n");
}

QStringList indexListRow(const IndexRow& row) {
    QByteArray bytes;
    appendIndexRow(bytes, row.link, row.name, row.title, row.modified);
    return splitLines(fromWindows1252(bytes));
}

QStringList indexListFooter() {
    return {
        QStringLiteral("</TABLE></CENTER><BR><BR>"),
        QStringLiteral("<TABLE WIDTH=\"100%\">"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TD ALIGN=\"LEFT\" WIDTH=\"33%\"><A HREF=\"Javascript:history.go(-1)\">Retour à la "
                       "page précédente</A></TD>"),
        QStringLiteral("<TD ALIGN=\"RIGHT\" WIDTH=\"33%\"><A HREF=\"Index.htm\">Index principal</A></TD>"),
        QStringLiteral("</TR>"),
        QStringLiteral("</TABLE>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>")};
}

QStringList indexListLines(const IndexListInput& in) {
    QStringList out = indexListHeader(in);
    out.reserve(out.size() + 5 * in.rows.size() + 9);
    for (const IndexRow& row : in.rows)
        out.append(indexListRow(row));
    out.append(indexListFooter());
    return out;
}

QList<IndexedPage> Explore(const QString& root, const QDateTime& titlesAfter, Dialogs& dialogs,
                           IndexProgress& progress, qsizetype* folders, QStringList* unreadable,
                           bool* stopped) {
    // The pages come out in ascending ordinal order of their paths without a sort of the whole list:
    // depth first, each folder's entries in ordinal order of their names, a folder's name followed by
    // its "/" (so "a.htm" < "a/" < "a-b/" as in the full paths). Folders are listed with an explicit
    // stack: a deep tree cannot exhaust the call stack.
    struct Pending {
        QString folder; // a folder still to list; empty for a page already found
        IndexedPage page;
    };
    QList<IndexedPage> pages;
    PageSink sink{root, titlesAfter.toUTC(), dialogs, progress};
    std::vector<Pending> stack;
    stack.push_back({rootText(root), {}});
    bool stop = false;
    while (!stack.empty()) {
        Pending top = std::move(stack.back());
        stack.pop_back();
        if (top.folder.isEmpty()) {
            pages.append(std::move(top.page));
            continue;
        }
        const QString& path = top.folder;
        progress.folder(path);
        dialogs.processEvents();
        if (progress.stopRequested()) {
            stop = true;
            break;
        }
        ++sink.folders;
        QStringList subfolders;
        sink.pages.clear();
        const Listing listing = listFolder(path, subfolders, sink);
        if (listing == Listing::Stopped) {
            stop = true;
            break;
        }
        if (listing == Listing::Unreadable && unreadable)
            unreadable->append(path);

        std::vector<Pending> entries;
        entries.reserve(size_t(sink.pages.size() + subfolders.size()));
        for (IndexedPage& page : sink.pages) {
            if (!page.readable && unreadable)
                unreadable->append(page.path);
            entries.push_back({QString(), std::move(page)});
        }
        for (QString& folder : subfolders)
            entries.push_back({std::move(folder), {}});
        const qsizetype skip = path.size();
        const auto name = [skip](const Pending& e) {
            return QStringView(e.folder.isEmpty() ? e.page.path : e.folder).sliced(skip);
        };
        std::sort(entries.begin(), entries.end(),
                  [&](const Pending& a, const Pending& b) { return name(a) < name(b); });
        std::move(entries.rbegin(), entries.rend(), std::back_inserter(stack));
        progress.found(sink.folders, sink.found);
    }
    if (folders)
        *folders = sink.folders;
    if (stopped)
        *stopped = stop;
    return pages;
}

IndexResult IndexerSite(const QString& root, const Clock& clock, Dialogs& dialogs, IndexProgress& progress,
                        bool trashPrevious, const FullTextOptions& fullTextOptions) {
    IndexResult result;
    const QString base = rootText(root);
    if (root.isEmpty()) {
        dialogs.message(QStringLiteral("Aucun site n'est ouvert : l'index n'a pas été créé."),
                        Icon::Exclamation, QStringLiteral("Erreur"));
        return result;
    }
    if (!DossierExiste(base)) {
        dialogs.message(
            QStringLiteral("Le dossier du site \"%1\" est introuvable : l'index n'a pas été créé.").arg(root),
            Icon::Exclamation, QStringLiteral("Erreur"));
        return result;
    }

    const SiteLock lock(root);
    if (lockRefused(lock, dialogs))
        return result;

    // The clock is read once, before the walk, so that the walk knows which titles it must read.
    const QDateTime now = clock.now();
    const IndexDays days = indexDays(now);
    // The walk gives UTC moments: compare with the limits in UTC, converted once.
    const QDateTime recentLimit = days.recentLimit.toUTC();
    const QDateTime indexLimit = days.indexLimit.toUTC();

    bool stopped = false;
    const QList<IndexedPage> pages =
        Explore(base, indexLimit, dialogs, progress, &result.folders, &result.unreadable, &stopped);
    result.pages = pages.size();
    result.unreadable.sort(); // in path order, as the lists, whatever order the walk met them in
    if (stopped) {
        result.outcome = IndexResult::Outcome::Cancelled;
        return result;
    }

#ifdef Q_OS_UNIX
    ::tzset(); // once, so that localDate() sees the current zone
#endif
    const IndexListInput recent{QString::fromUtf8(kRecentTitle), ProgrammeID(), now, days.reference, {}};
    // The full-text files are made ready aside before the lists, and put in place with them.
    std::optional<FullTextStage> fullText;
    if (fullTextOptions.enabled) {
        fullText.emplace(base, fullTextOptions.CouleurFond, fullTextOptions.CouleurTitre,
                         fullTextOptions.CouleurTexte);
        switch (fullText->prepare(pages, dialogs, progress, &result.unreadable)) {
        case FullTextStage::Outcome::Ready:
            break;
        case FullTextStage::Outcome::Stopped:
            result.outcome = IndexResult::Outcome::Cancelled;
            return result;
        case FullTextStage::Outcome::Failed:
            return result;
        }
    }
    const bool searchPageThere = fullText || FichierExiste(base + QLatin1StringView(kSearchPageFile));
    IndexListInput search{QString::fromUtf8(kSearchTitle), ProgrammeID(), now, days.reference, {}};
    search.fullTextLink = searchPageThere;
    QByteArray recentBytes = encodeLines(indexListHeader(recent));
    QByteArray searchBytes = encodeLines(indexListHeader(search));
    searchBytes.reserve(searchBytes.size() + 128 * pages.size());
    QByteArray row;
    for (const IndexedPage& page : pages) {
        // The recent limit lies after the index limit: a page left out here is in neither list.
        if (!page.titleRead)
            continue;
        const QStringView path(page.path);
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        row.resize(0);
        appendIndexRow(row, path.sliced(base.size()), path.sliced(slash + 1).chopped(4), page.title,
                       localDate(page.modified));
        // A recent page has the same row in both lists: made once.
        searchBytes.append(row);
        ++result.search;
        if (page.modified > recentLimit) {
            recentBytes.append(row);
            ++result.recent;
        }
    }
    const QByteArray footer = encodeLines(indexListFooter());
    recentBytes.append(footer);
    searchBytes.append(footer);

    // Both lists are written aside and put in place together: a failure at any step leaves the previous
    // two. The previous ones go to the trash only once both new ones are in place.
    const WriteOptions options{.sync = true, .keepPermissions = true, .skipUnchanged = false};
    PendingWrite recentFile(base + kRecentFile, options);
    PendingWrite searchFile(base + kSearchFile, options);
    const QList<PendingWrite*> writes{&recentFile, &searchFile};
    auto fail = [&](const PendingWrite& w) {
        dialogs.message(fileErrorMessage(w.path(), w.error()), Icon::Exclamation, QStringLiteral("Erreur"));
        if (fullText)
            fullText->rollback();
        return result;
    };
    if (!recentFile.write(recentBytes) || !recentFile.finish())
        return fail(recentFile);
    if (!searchFile.write(searchBytes) || !searchFile.finish())
        return fail(searchFile);
    // The previous lists go to the trash first, as copies, so that a trash that cannot take them stops
    // the run with nothing changed, and a failed commit below still finds them in place.
    if (trashPrevious) {
        for (const PendingWrite* w : writes) {
            FileError why;
            if (!trashCopy(w->path(), &why)) {
                dialogs.message(trashFailureMessage(w->path(), why) + CrLf(2) +
                                    QStringLiteral("L'index n'a pas été créé."),
                                Icon::Exclamation, QStringLiteral("Erreur"));
                return result;
            }
        }
    }
    // The search files first: they are put back if the lists then fail.
    if (fullText && !fullText->commit(dialogs))
        return result;
    QStringList previous;
    int failed = 0;
    if (!commitAll(writes, &previous, &failed))
        return fail(*writes[failed]);
    for (const QString& kept : previous)
        if (!kept.isEmpty())
            QFile::remove(kept);
    if (fullText) {
        fullText->finish();
        result.fullText = fullText->indexedPages();
    }
    result.outcome = IndexResult::Outcome::Written;
    return result;
}

} // namespace qs
