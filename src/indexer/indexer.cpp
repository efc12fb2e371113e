#include "indexer/indexer.h"

#include "lib/clock.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/text1252.h"
#include "ui/dialogs.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace qs {

namespace {

const QString kRecentFile = QStringLiteral("Recent.htm");
const QString kSearchFile = QStringLiteral("Search.htm");

bool startsWithAny(const QString& upper, std::initializer_list<QStringView> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](QStringView p) { return upper.startsWith(p); });
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

// Reads a file line by line through a small buffer, so that a title near the top costs one read
// however long the page. CR LF, LF and CR all end a line; a last line may have no end.
class LineReader {
public:
    explicit LineReader(QFile& file) : file_(file) {}

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
    qsizetype findEnd() const {
        for (qsizetype i = pos_; i < buffer_.size(); ++i)
            if (buffer_[i] == '\n' || buffer_[i] == '\r')
                return i;
        return -1;
    }

    // Appends the next block of the file, dropping what has been read; false at the end or on error.
    bool fill() {
        if (atEnd_)
            return false;
        buffer_.remove(0, pos_);
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
    QFile& file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

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
    return !name.startsWith(QLatin1Char('.')) && !upper1252(name).endsWith(u"TEST");
}

bool isIndexedFile(const QString& name) {
    if (name.startsWith(QLatin1Char('.')))
        return false;
    const QString upper = upper1252(name);
    return upper.endsWith(u".HTM") && !startsWithAny(upper, {u"SEARCH", u"RECENT", u"HOMEPAGE", u"IMGINDEX",
                                                             u"INDEXG", u"INDEX", u"MODIF_"});
}

bool isListedPage(const QString& fileName) {
    const QString upper = upper1252(fileName.chopped(std::min<qsizetype>(4, fileName.size())));
    return !upper.startsWith(u"COPIE DE ") && upper != u"RECENT" && upper != u"SEARCH";
}

QString indexTitle(const QString& path, bool* readable) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (readable)
            *readable = false;
        return {};
    }
    LineReader reader(file);
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
    if (readable)
        *readable = !reader.failed();
    return fromWindows1252(trimmedBlanks(title));
}

QStringList indexListLines(const IndexListInput& in) {
    QStringList out;
    out.reserve(27 + 5 * in.rows.size());
    out << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
        << QStringLiteral("<TITLE>%1</TITLE>").arg(in.title) << QStringLiteral("</HEAD>")
        << QStringLiteral("<BODY BACKGROUND=\"images/domaine.gif\" BGCOLOR=\"#FFEEEE\">")
        << QStringLiteral("<FONT SIZE=\"1\">%1</FONT><BR>").arg(in.programId)
        << QStringLiteral("<CENTER><H2><FONT COLOR=\"#009900\">%1</FONT></H2></CENTER>").arg(in.title)
        << QStringLiteral("<HR>")
        << QStringLiteral("<CENTER>Mis à jour le %1 (réf %2)</CENTER><BR>")
               .arg(updatedOn(in.now), in.reference.toString(QStringLiteral("d.M.yy")))
        << QStringLiteral("<CENTER><TABLE>")
        << QStringLiteral("<COL ALIGN=LEFT><COL ALIGN=LEFT><COL ALIGN=CENTER>") << QStringLiteral("<TR>")
        << QStringLiteral("<TH ALIGN=LEFT>Page</TH><TH ALIGN=LEFT>Titre</TH><TH>Modifié le</TH></TR>");
    for (const IndexRow& row : in.rows) {
        // Plain concatenation: a title holding "%1" must reach the page as it is.
        out << QStringLiteral("<TR>")
            << QStringLiteral("<TD><A HREF=\"") + row.link + QStringLiteral("\">") + row.name +
                   QStringLiteral("</A></TD>")
            << QStringLiteral("<TD>") + row.title + QStringLiteral("</TD>")
            << QStringLiteral("<TD>") + row.modified.toString(QStringLiteral("dd.MM.yy")) +
                   QStringLiteral("</TD>")
            << QStringLiteral("</TR>");
    }
    out << QStringLiteral("</TABLE></CENTER><BR><BR>") << QStringLiteral("<TABLE WIDTH=\"100%\">")
        << QStringLiteral("<TR>")
        << QStringLiteral(
               "<TD ALIGN=\"LEFT\" WIDTH=\"33%\"><A HREF=\"Javascript:history.go(-1)\">Retour à la "
               "page précédente</A></TD>")
        << QStringLiteral("<TD ALIGN=\"RIGHT\" WIDTH=\"33%\"><A HREF=\"Index.htm\">Index principal</A></TD>")
        << QStringLiteral("</TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>")
        << QStringLiteral("</HTML>");
    return out;
}

QList<IndexedPage> Explore(const QString& root, Dialogs& dialogs, IndexProgress& progress, qsizetype* folders,
                           QStringList* unreadable, bool* stopped) {
    QList<IndexedPage> pages;
    qsizetype walked = 0;
    bool stop = false;
    // Depth first, files of a folder before its sub-folders, without recursion: a deep tree cannot
    // exhaust the stack.
    QStringList pending{rootText(root)};
    while (!pending.isEmpty() && !stop) {
        const QString path = pending.takeLast();
        progress.folder(path);
        dialogs.processEvents();
        if (progress.stopRequested()) {
            stop = true;
            break;
        }
        ++walked;
        const QFileInfo self(path);
        if (!self.isReadable() || !self.isExecutable()) {
            if (unreadable)
                unreadable->append(path);
            continue;
        }
        QStringList subfolders;
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QFileInfo entry = it.nextFileInfo();
            const QString name = entry.fileName();
            if (name.startsWith(QLatin1Char('.')))
                continue;
            if (entry.isDir()) {
                // Folder links are not followed: a link back up the tree would never end.
                if (!entry.isSymLink() && isWalkedFolder(name))
                    subfolders.append(path + name + QLatin1Char('/'));
            } else if (entry.exists() && isIndexedFile(name)) {
                pages.append({path + name, entry.lastModified()});
            }
        }
        std::reverse(subfolders.begin(), subfolders.end());
        pending.append(subfolders);
        progress.found(walked, pages.size());
    }
    // One sort instead of a sorted insertion per page: ordinal order of the paths (code units, so upper
    // case before lower case).
    std::sort(pages.begin(), pages.end(),
              [](const IndexedPage& a, const IndexedPage& b) { return a.path < b.path; });
    if (folders)
        *folders = walked;
    if (stopped)
        *stopped = stop;
    return pages;
}

IndexResult IndexerSite(const QString& root, const Clock& clock, Dialogs& dialogs, IndexProgress& progress,
                        bool trashPrevious) {
    IndexResult result;
    const QString base = rootText(root);
    if (root.isEmpty() || !DossierExiste(base)) {
        dialogs.message(
            QStringLiteral("Le dossier du site \"%1\" est introuvable : l'index n'a pas été créé.").arg(root),
            Icon::Exclamation, QStringLiteral("Indexation"));
        return result;
    }

    bool stopped = false;
    const QList<IndexedPage> pages =
        Explore(base, dialogs, progress, &result.folders, &result.unreadable, &stopped);
    result.pages = pages.size();
    if (stopped) {
        result.outcome = IndexResult::Outcome::Cancelled;
        return result;
    }

    const QDateTime now = clock.now();
    const IndexDays days = indexDays(now);
    IndexListInput recent{QString::fromUtf8(kRecentTitle), ProgrammeID(), now, days.reference, {}};
    IndexListInput search{QString::fromUtf8(kSearchTitle), ProgrammeID(), now, days.reference, {}};

    const qsizetype toRead = std::count_if(
        pages.begin(), pages.end(), [&](const IndexedPage& p) { return p.modified > days.indexLimit; });
    qsizetype read = 0;
    for (const IndexedPage& page : pages) {
        if (!(page.modified > days.indexLimit))
            continue; // the recent limit lies after the index limit: such a page is in neither list
        const QString name = page.path.sliced(page.path.lastIndexOf(QLatin1Char('/')) + 1);
        if (!isListedPage(name))
            continue;
        bool readable = true;
        IndexRow row{page.path.sliced(base.size()), name.chopped(4), indexTitle(page.path, &readable),
                     page.modified.date()};
        if (!readable)
            result.unreadable.append(page.path);
        if (page.modified > days.recentLimit)
            recent.rows.append(row);
        search.rows.append(std::move(row));
        progress.reading(++read, toRead);
        dialogs.processEvents();
        if (progress.stopRequested()) {
            result.outcome = IndexResult::Outcome::Cancelled;
            return result;
        }
    }
    result.recent = recent.rows.size();
    result.search = search.rows.size();

    // Both lists are written aside and put in place together, so a failure leaves the previous two.
    struct Output {
        QString path;
        QByteArray bytes;
        std::unique_ptr<QSaveFile> file;
    };
    std::array<Output, 2> outputs{Output{base + kRecentFile, toBytes(indexListLines(recent)), nullptr},
                                  Output{base + kSearchFile, toBytes(indexListLines(search)), nullptr}};
    auto fail = [&](const Output& o) {
        dialogs.message(
            QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : %2.").arg(o.path, describe(*o.file)),
            Icon::Critical, QStringLiteral("Indexation"));
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
