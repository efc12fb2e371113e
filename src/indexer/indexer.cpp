#include "indexer/indexer.h"

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <iterator>
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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(QByteArrayView text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.sliced(b, e - b).toByteArray();
}

// First "<TITLE>" in any case: the tag is ASCII, and Windows-1252 upper case never turns another byte
// into an ASCII letter, so comparing ASCII letters without case finds the same place.
qsizetype findTitleTag(QByteArrayView line) {
    static constexpr std::array<char, 7> tag{'<', 'T', 'I', 'T', 'L', 'E', '>'};
    for (qsizetype i = line.indexOf('<'); i >= 0 && i + 7 <= line.size(); i = line.indexOf('<', i + 1)) {
        bool match = true;
        for (qsizetype k = 1; k < 7 && match; ++k) {
            char c = line[i + k];
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
            match = c == tag[size_t(k)];
        }
        if (match)
            return i;
    }
    return -1;
}

// An open page file, read in blocks. On Unix the system calls are used directly: the indexer reads tens
// of thousands of small files, and each call saved counts.
class PageFile {
public:
    explicit PageFile(const QString& path) {
#ifdef Q_OS_UNIX
        // O_NONBLOCK: a FIFO or device that slipped in under a page name must not hang the run.
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
#else
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            file_.close();
#endif
    }
    ~PageFile() {
#ifdef Q_OS_UNIX
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }
#ifdef Q_OS_UNIX
    // A file of an open folder: the name is looked up in that folder alone.
    PageFile(int folder, const char* name) {
        fd_ = ::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    }
#endif
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    bool isOpen() const {
#ifdef Q_OS_UNIX
        return fd_ >= 0;
#else
        return file_.isOpen();
#endif
    }

    // Bytes read, 0 at the end, -1 on error.
    qint64 read(char* data, qint64 size) {
#ifdef Q_OS_UNIX
        for (;;) {
            const ssize_t n = ::read(fd_, data, size_t(size));
            if (n >= 0 || errno != EINTR)
                return n;
        }
#else
        return file_.read(data, size);
#endif
    }

private:
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    QFile file_;
#endif
};

// Reads a file line by line through a small buffer, so that a title near the top costs one read
// however long the page. CR LF, LF and CR all end a line; a last line may have no end.
class LineReader {
public:
    // `buffer` is scratch space that a caller reading many files keeps, so that its memory is reused.
    LineReader(PageFile& file, QByteArray& buffer) : file_(file), buffer_(buffer) { buffer_.resize(0); }

    bool next(QByteArrayView& line) {
        for (;;) {
            const qsizetype end = findEnd();
            if (end >= 0) {
                // A CR as the last byte read may be the first half of CR LF: look further first.
                if (buffer_[end] == '\r' && end + 1 == buffer_.size() && fill())
                    continue;
                line = QByteArrayView(buffer_).sliced(pos_, end - pos_);
                pos_ = end + 1;
                if (buffer_[end] == '\r' && pos_ < buffer_.size() && buffer_[pos_] == '\n')
                    ++pos_;
                return true;
            }
            if (!fill()) {
                if (pos_ >= buffer_.size())
                    return false;
                line = QByteArrayView(buffer_).sliced(pos_);
                pos_ = buffer_.size();
                return true;
            }
        }
    }

    bool failed() const { return failed_; }

private:
    // Resumes where the last search stopped: a long line read block by block is scanned once.
    qsizetype findEnd() {
        for (qsizetype i = std::max(pos_, scanned_); i < buffer_.size(); ++i)
            if (buffer_[i] == '\n' || buffer_[i] == '\r')
                return i;
        scanned_ = buffer_.size();
        return -1;
    }

    // Appends the next block of the file, dropping what has been read; false at the end or on error.
    bool fill() {
        if (atEnd_)
            return false;
        buffer_.remove(0, pos_);
        scanned_ = std::max<qsizetype>(0, scanned_ - pos_);
        pos_ = 0;
        const qsizetype old = buffer_.size();
        buffer_.resize(old + kBlock);
        const qint64 n = file_.read(buffer_.data() + old, kBlock);
        buffer_.resize(old + std::max<qint64>(n, 0));
        if (n < 0)
            failed_ = true;
        if (n <= 0)
            atEnd_ = true;
        return n > 0;
    }

    static constexpr qsizetype kBlock = 4096;
    PageFile& file_;
    QByteArray& buffer_;
    qsizetype pos_ = 0;
    qsizetype scanned_ = 0; // no line end before this place
    bool atEnd_ = false;
    bool failed_ = false;
};

// The title of an open page, as indexTitle() describes it.
QString readTitle(PageFile& file, QByteArray& buffer, bool* readable) {
    if (!file.isOpen()) {
        *readable = false;
        return {};
    }
    LineReader reader(file, buffer);
    QByteArray title;
    bool inside = false;
    QByteArrayView line;
    while (reader.next(line)) {
        if (const qsizetype p = findTitleTag(line); p >= 0) {
            line = line.sliced(p + 7);
            inside = true;
        }
        if (!inside)
            continue;
        const qsizetype lt = line.indexOf('<');
        title.append(' ').append(trimmedBlanks(lt >= 0 ? line.first(lt) : line));
        if (lt >= 0)
            break;
    }
    *readable = !reader.failed();
    return fromWindows1252(trimmedBlanks(title));
}

// What the walk does with the pages it finds.
struct PageSink {
    QDateTime titlesAfter; // UTC; invalid: no title is read
    Dialogs& dialogs;
    IndexProgress& progress;
    QList<IndexedPage> pages; // of the folder being listed
    qsizetype folders = 0;    // walked so far
    qsizetype found = 0;      // pages found so far
    QByteArray buffer;

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
                if (::fstatat(fd, raw, &st, 0) != 0 || !S_ISREG(st.st_mode))
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
            PageFile opened(fd, raw);
            page.title = readTitle(opened, sink.buffer, &page.readable);
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
        } else if (entry.isFile() && isIndexedFile(name)) {
            IndexedPage page{path + name, entry.lastModified().toUTC(), {}, false, true};
            if (sink.wantsTitle(name, page.modified)) {
                PageFile file(page.path);
                page.title = readTitle(file, sink.buffer, &page.readable);
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

QString describe(const QFileDevice& f) {
    switch (f.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("accès refusé");
    case QFileDevice::ResourceError:
        return QStringLiteral("ressources insuffisantes (disque plein ?)");
    case QFileDevice::OpenError:
        return QStringLiteral("ouverture impossible");
    default:
        return f.errorString();
    }
}

// toWindows1252() appended in place: runs of ASCII, most of a page list, are copied without a
// conversion of their own.
void append1252(QByteArray& out, QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && text[j].unicode() < 0x80)
            ++j;
        if (j > i) {
            const qsizetype old = out.size();
            out.resize(old + (j - i));
            char* d = out.data() + old;
            for (qsizetype k = i; k < j; ++k)
                *d++ = char(text[k].unicode());
        }
        i = j;
        while (j < n && text[j].unicode() >= 0x80)
            ++j;
        if (j > i)
            out.append(toWindows1252(text.sliced(i, j - i)));
        i = j;
    }
}

QByteArray toBytes(const QStringList& lines) {
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    bytes.reserve(size);
    for (const QString& l : lines)
        bytes.append(toWindows1252(l)).append("\r\n");
    return bytes;
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
    return true;
}

bool isListedPage(const QString& fileName) {
    const QStringView base = QStringView(fileName).chopped(std::min<qsizetype>(4, fileName.size()));
    return !upperStartsWith(base, "COPIE DE "_L1) && !upperEquals(base, "RECENT"_L1) &&
           !upperEquals(base, "SEARCH"_L1);
}

QString indexTitle(const QString& path, bool* readable) {
    PageFile file(path);
    QByteArray buffer;
    bool ok = true;
    QString title = readTitle(file, buffer, &ok);
    if (readable)
        *readable = ok;
    return title;
}

QStringList indexListHeader(const IndexListInput& in) {
    return {QStringLiteral("<HTML>"),
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
}

void appendIndexRow(QByteArray& out, QStringView link, QStringView name, QStringView title, QDate modified) {
    out.append("<TR>\r\n<TD><A HREF=\"");
    append1252(out, link);
    out.append("\">");
    append1252(out, name);
    out.append("</A></TD>\r\n<TD>");
    append1252(out, title);
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
    PageSink sink{titlesAfter.toUTC(), dialogs, progress};
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
                        bool trashPrevious) {
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
    const IndexListInput search{QString::fromUtf8(kSearchTitle), ProgrammeID(), now, days.reference, {}};
    QByteArray recentBytes = toBytes(indexListHeader(recent));
    QByteArray searchBytes = toBytes(indexListHeader(search));
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
    const QByteArray footer = toBytes(indexListFooter());
    recentBytes.append(footer);
    searchBytes.append(footer);

    // Both lists are written aside and put in place together, so a failure leaves the previous two.
    struct Output {
        QString path;
        QByteArray bytes;
        std::unique_ptr<QSaveFile> file;
    };
    std::array<Output, 2> outputs{Output{base + kRecentFile, std::move(recentBytes), nullptr},
                                  Output{base + kSearchFile, std::move(searchBytes), nullptr}};
    auto fail = [&](const Output& o) {
        dialogs.message(
            QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : %2.").arg(o.path, describe(*o.file)),
            Icon::Exclamation, QStringLiteral("Erreur"));
        for (Output& each : outputs)
            if (each.file)
                each.file->cancelWriting();
        return result;
    };
    for (Output& o : outputs) {
        o.file = std::make_unique<QSaveFile>(o.path);
        if (!o.file->open(QIODevice::WriteOnly) || o.file->write(o.bytes) != o.bytes.size())
            return fail(o);
    }
    if (trashPrevious)
        for (const Output& o : outputs)
            if (FichierExiste(o.path))
                FichierCorbeille(o.path);
    for (Output& o : outputs)
        if (!o.file->commit())
            return fail(o);
    result.outcome = IndexResult::Outcome::Written;
    return result;
}

} // namespace qs
