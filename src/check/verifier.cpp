#include "check/verifier.h"

#include "explorer/address.h"
#include "explorer/ascii.h"
#include "explorer/encoding.h"
#include "explorer/walker.h"
#include "lib/files.h"
#include "lib/text1252.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace qs {

namespace {

using ascii::equalsUpper;
using ascii::indexOfUpper;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isPageName(QStringView name) {
    return isPagePath(name);
}

// Case-insensitive key of a relative path, as a disk that ignores case compares names.
QString folded(const QString& path) {
    return path.toCaseFolded();
}

// An attribute that holds an address.
struct LinkRef {
    QString value; // as written, entities decoded
    int line = 0;
    qsizetype offset = 0;
    qsizetype length = 0; // 0: written with entities, not rewritten in place
    bool utf8 = false;
};

struct PageScan {
    QList<LinkRef> links;
    QSet<QString> anchors;
    bool titled = false;
};

// Decodes the character references that may appear in an address.
QString decodeEntities(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        const qsizetype semi = text.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = QStringView(text).sliced(i + 1, semi - i - 1);
        char32_t c = 0;
        if (name.startsWith(u"#x") || name.startsWith(u"#X"))
            c = name.sliced(2).toUInt(nullptr, 16);
        else if (name.startsWith(u'#'))
            c = name.sliced(1).toUInt();
        else if (name == u"amp")
            c = '&';
        else if (name == u"lt")
            c = '<';
        else if (name == u"gt")
            c = '>';
        else if (name == u"quot")
            c = '"';
        else if (name == u"apos")
            c = '\'';
        if (c == 0 || c > 0x10FFFF) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&c, 1);
        i = semi;
    }
    return out;
}

// Which attributes of which tags hold addresses.
bool holdsAddress(QByteArrayView tag, QByteArrayView attribute) {
    if (equalsUpper(attribute, u"HREF"))
        return equalsUpper(tag, u"A") || equalsUpper(tag, u"AREA") || equalsUpper(tag, u"LINK");
    if (equalsUpper(attribute, u"SRC"))
        return equalsUpper(tag, u"FRAME") || equalsUpper(tag, u"IFRAME") || equalsUpper(tag, u"IMG") ||
               equalsUpper(tag, u"SCRIPT") || equalsUpper(tag, u"EMBED") || equalsUpper(tag, u"SOURCE") ||
               equalsUpper(tag, u"BGSOUND") || equalsUpper(tag, u"INPUT") || equalsUpper(tag, u"AUDIO") ||
               equalsUpper(tag, u"VIDEO") || equalsUpper(tag, u"TRACK");
    return equalsUpper(attribute, u"BACKGROUND");
}

qsizetype findByte(QByteArrayView v, qsizetype from, char c) {
    if (from >= v.size())
        return -1;
    const void* hit = std::memchr(v.data() + from, c, size_t(v.size() - from));
    return hit ? static_cast<const char*>(hit) - v.data() : -1;
}

qsizetype findWord(QByteArrayView v, qsizetype from, QStringView upperWord) {
    if (from >= v.size())
        return -1;
    const qsizetype at = indexOfUpper(v.sliced(from), upperWord);
    return at < 0 ? -1 : from + at;
}

// Reads the tags of a page the way browsers do, as far as addresses go: quoted values may hold ">",
// comments and the contents of scripts and styles are skipped. Lines are counted for the report.
PageScan scanPage(QByteArrayView b) {
    PageScan scan;
    const PageEncoding encoding = pageEncoding(b);
    const qsizetype n = b.size();
    qsizetype pos = 0;
    int line = 1;
    auto countLines = [&](qsizetype from, qsizetype to) {
        line += int(std::count(b.data() + from, b.data() + qMin(to, n), '\n'));
    };
    while (pos < n) {
        const qsizetype lt = findByte(b, pos, '<');
        if (lt < 0)
            break;
        countLines(pos, lt);
        pos = lt + 1;
        if (pos >= n)
            break;
        if (b.sliced(pos).startsWith("!--")) {
            qsizetype end = b.indexOf("-->", pos + 3);
            end = end < 0 ? n : end + 3;
            countLines(pos, end);
            pos = end;
            continue;
        }
        if (b[pos] == '/' || b[pos] == '!' || b[pos] == '?') {
            qsizetype gt = findByte(b, pos, '>');
            gt = gt < 0 ? n : gt + 1;
            countLines(pos, gt);
            pos = gt;
            continue;
        }
        if (!isLetter(b[pos]))
            continue; // a "<" of the text
        const qsizetype nameStart = pos;
        while (pos < n && !isBlank(b[pos]) && b[pos] != '>' && b[pos] != '/')
            ++pos;
        const QByteArrayView tag = b.sliced(nameStart, pos - nameStart);
        const bool anchorTag = equalsUpper(tag, u"A");
        for (;;) {
            while (pos < n && (isBlank(b[pos]) || b[pos] == '/')) {
                line += b[pos] == '\n';
                ++pos;
            }
            if (pos >= n)
                break;
            if (b[pos] == '>') {
                ++pos;
                break;
            }
            const qsizetype attrStart = pos;
            while (pos < n && !isBlank(b[pos]) && b[pos] != '=' && b[pos] != '>')
                ++pos;
            const QByteArrayView attribute = b.sliced(attrStart, pos - attrStart);
            qsizetype look = pos;
            int lookLines = 0;
            while (look < n && isBlank(b[look]))
                lookLines += b[look++] == '\n';
            if (look >= n || b[look] != '=')
                continue; // an attribute without a value
            line += lookLines;
            pos = look + 1;
            while (pos < n && isBlank(b[pos])) {
                line += b[pos] == '\n';
                ++pos;
            }
            qsizetype valueStart = pos;
            qsizetype valueEnd = pos;
            const int valueLine = line;
            if (pos < n && (b[pos] == '"' || b[pos] == '\'')) {
                valueStart = pos + 1;
                valueEnd = findByte(b, valueStart, b[pos]);
                if (valueEnd < 0)
                    valueEnd = n;
                countLines(valueStart, valueEnd);
                pos = qMin(valueEnd + 1, n);
            } else {
                while (pos < n && !isBlank(b[pos]) && b[pos] != '>')
                    ++pos;
                valueEnd = pos;
            }
            const QByteArrayView raw = b.sliced(valueStart, valueEnd - valueStart);
            const bool address = holdsAddress(tag, attribute);
            const bool anchor =
                equalsUpper(attribute, u"ID") || (anchorTag && equalsUpper(attribute, u"NAME"));
            if (!address && !anchor)
                continue;
            const bool utf8 = readsAsUtf8(raw, encoding);
            QString value = utf8 ? QString::fromUtf8(raw) : fromWindows1252(raw);
            const bool entities = value.contains(u'&');
            if (entities)
                value = decodeEntities(value);
            if (anchor) {
                scan.anchors.insert(value);
                continue;
            }
            LinkRef ref;
            ref.value = value.trimmed();
            ref.line = valueLine;
            ref.offset = valueStart;
            ref.length = entities || ref.value.size() != value.size() ? 0 : raw.size();
            ref.utf8 = utf8;
            if (!ref.value.isEmpty())
                scan.links.append(ref);
        }
        if (equalsUpper(tag, u"TITLE")) {
            qsizetype end = findWord(b, pos, u"</TITLE");
            if (end < 0)
                end = n;
            for (qsizetype i = pos; i < end && !scan.titled; ++i)
                scan.titled = !isBlank(b[i]);
            countLines(pos, end);
            pos = end;
        } else if (equalsUpper(tag, u"SCRIPT") || equalsUpper(tag, u"STYLE")) {
            qsizetype end = findWord(b, pos, equalsUpper(tag, u"SCRIPT") ? u"</SCRIPT" : u"</STYLE");
            if (end < 0)
                end = n;
            countLines(pos, end);
            pos = end;
        }
    }
    return scan;
}

bool readWhole(const QString& path, QByteArray& bytes) {
    return readOrdinaryFile(path, bytes);
}

// Every entry under `root` (hidden ones left out, folder links listed but not entered), relative with
// "/" separators, and whether it is a folder.
void listTree(const QString& root, const std::function<void(const QString& relative, bool folder)>& visit) {
#ifdef Q_OS_UNIX
    // readdir's entry types spare a stat per file.
    QStringList pending{QString()};
    while (!pending.isEmpty()) {
        const QString folder = pending.takeLast();
        const QByteArray native = QFile::encodeName(root + folder);
        DIR* dir = ::opendir(native.constData());
        if (!dir)
            continue;
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            const QString relative = folder + QFile::decodeName(e->d_name);
            bool isFolder = e->d_type == DT_DIR;
            bool enter = isFolder;
            if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
                const QByteArray full = native + '/' + e->d_name;
                struct stat st {};
                if (::stat(full.constData(), &st) != 0)
                    continue; // a dangling link names no file
                isFolder = S_ISDIR(st.st_mode);
                struct stat own {};
                enter = isFolder && ::lstat(full.constData(), &own) == 0 && S_ISDIR(own.st_mode);
            }
            visit(relative, isFolder);
            if (enter)
                pending.append(relative + u'/');
        }
        ::closedir(dir);
    }
#else
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        visit(QDir::fromNativeSeparators(it.filePath().mid(root.size())), it.fileInfo().isDir());
    }
#endif
}

// "/" throughout, whatever the platform writes.
QString slashed(QString path) {
    if (sep() != u"/")
        path.replace(sep(), QStringLiteral("/"));
    return path;
}

struct Resolved {
    enum Kind { External, SamePage, Local };
    Kind kind = External;
    QString path; // relative to the site folder, "/" form, normalised; may start with ".."
    QString fragment;
};

// Where a link of the page in `folder` (relative, ending with "/", or empty) leads.
Resolved resolve(const QString& folder, const QString& link) {
    Resolved r;
    // A scheme ("http:", "mailto:", "javascript:"...), not a drive letter; or a network address.
    qsizetype i = 0;
    while (i < link.size() &&
           (link[i].isLetterOrNumber() || link[i] == u'+' || link[i] == u'.' || link[i] == u'-'))
        ++i;
    if ((i >= 2 && i < link.size() && link[i] == u':' && link[0].isLetter()) || link.startsWith(u"//") ||
        link.startsWith(u"\\\\"))
        return r;
    QString path = link;
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0) {
        r.fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    const qsizetype query = path.indexOf(u'?');
    if (query >= 0)
        path.truncate(query);
    if (path.isEmpty()) {
        r.kind = Resolved::SamePage;
        return r;
    }
    path = percentDecoded(path);
    path.replace(u'\\', u'/');
    path = path.startsWith(u'/') ? path.mid(1) : folder + path;
    r.path = slashed(normalisedPath(path));
    if (r.path.startsWith(u'/')) // more "../" than folders, then a root: still outside
        r.path.prepend(QStringLiteral(".."));
    r.kind = Resolved::Local;
    return r;
}

bool isOutside(const QString& path) {
    return path == u".." || path.startsWith(u"../");
}

QString parentFolder(const QString& relative) {
    const qsizetype slash = relative.lastIndexOf(u'/');
    return slash < 0 ? QString() : relative.left(slash + 1);
}

QString fileName(const QString& relative) {
    return relative.mid(relative.lastIndexOf(u'/') + 1);
}

bool inImagesFolder(const QString& relative) {
    const QStringList parts = relative.split(u'/');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        if (parts[i].compare(u"images", Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Pictures that generated pages name as backgrounds and that the user may leave out.
bool isOptionalBackground(const QString& relative) {
    return relative.compare(u"images/domaine.gif", Qt::CaseInsensitive) == 0 ||
           relative.compare(u"images/chapitre.gif", Qt::CaseInsensitive) == 0;
}

// A page of a category: domain/category/name.htm, less the generated ones, in a domain that is not a
// reserved folder.
bool isCategoryPage(const QString& relative) {
    const QStringList parts = relative.split(u'/');
    if (parts.size() != 3 || !ascii::endsWithUpper(QStringView(parts[2]), u".HTM"))
        return false;
    if (parts[0] == u"images" || parts[0] == u"sound" || parts[0] == u"java")
        return false;
    for (QStringView generated : {u"INDEX.HTM", u"INDEXG.HTM", u"IMGINDEX.HTM"})
        if (equalsUpper(QStringView(parts[2]), generated))
            return false;
    return true;
}

} // namespace

QString kindName(Problem::Kind kind) {
    switch (kind) {
    case Problem::BrokenLink:
        return QStringLiteral("lien-brise");
    case Problem::CaseMismatch:
        return QStringLiteral("casse");
    case Problem::MissingAnchor:
        return QStringLiteral("ancre-absente");
    case Problem::OrphanPage:
        return QStringLiteral("page-orpheline");
    case Problem::UnusedImage:
        return QStringLiteral("image-inutilisee");
    case Problem::Untitled:
        return QStringLiteral("page-sans-titre");
    }
    return {};
}

SiteCheck verifySite(const QString& rootIn, const CheckProgress& progress) {
    const QString root = withSeparator(QDir(rootIn).absolutePath());
    SiteTree tree;
    listTree(root, [&](const QString& relative, bool folder) {
        (folder ? tree.folders : tree.files).append(relative);
    });
    tree.read = [&root](const QString& page, QByteArray& bytes) { return readWhole(root + page, bytes); };
    return verifyTree(root, tree, progress);
}

SiteCheck verifyTree(const QString& rootIn, const SiteTree& tree, const CheckProgress& progress) {
    SiteCheck check;
    check.site = withSeparator(QDir(rootIn).absolutePath());
    const QString root = check.site;

    // Every file and folder of the site, by relative path, and by the same path without regard to case.
    QSet<QString> files;
    QSet<QString> folders;
    QHash<QString, QString> byFolded;
    QStringList pages;
    for (const QString& relative : tree.folders) {
        folders.insert(relative);
        byFolded.insert(folded(relative), relative); // several: any one of them
    }
    for (const QString& relative : tree.files) {
        files.insert(relative);
        if (isPageName(relative))
            pages.append(relative);
        byFolded.insert(folded(relative), relative);
    }
    std::sort(pages.begin(), pages.end());
    check.pages = int(pages.size());

    // What one page says, worked out apart from the others: the pages are read, scanned and their links
    // looked up a batch at a time on every core, then gathered in order here, where the progress is
    // reported and a stop is seen.
    struct AnchorUse {
        QString page;
        QString target;
        LinkRef ref;
        QString fragment;
    };
    struct PageResult {
        bool read = false;
        QSet<QString> anchors;
        QList<Problem> problems;
        QStringList linked; // pages it links to
        QStringList used;   // files it uses
        QList<AnchorUse> anchorUses;
        int localLinks = 0;
        int externalLinks = 0;
    };
    auto examine = [&](const QString& page, PageResult& result) {
        QByteArray bytes;
        if (!tree.read(page, bytes))
            return;
        PageScan scan = scanPage(bytes);
        result.read = true;
        result.anchors = std::move(scan.anchors);
        if (!scan.titled)
            result.problems.append({Problem::Untitled, page, 0, {}, {}});
        auto report = [&](Problem::Kind kind, const LinkRef& ref, const QString& target) {
            Problem p;
            p.kind = kind;
            p.page = page;
            p.line = ref.line;
            p.link = ref.value;
            p.target = target;
            if (kind == Problem::CaseMismatch) {
                p.offset = ref.offset;
                p.length = ref.length;
                p.utf8 = ref.utf8;
            }
            result.problems.append(p);
        };
        const QString folder = parentFolder(page);
        const bool imageIndex = equalsUpper(QStringView(fileName(page)), u"IMGINDEX.HTM");
        for (const LinkRef& ref : std::as_const(scan.links)) {
            const Resolved r = resolve(folder, ref.value);
            if (r.kind == Resolved::External) {
                ++result.externalLinks;
                continue;
            }
            ++result.localLinks;
            if (r.kind == Resolved::SamePage) {
                if (!r.fragment.isEmpty())
                    result.anchorUses.append({page, page, ref, r.fragment});
                continue;
            }
            QString target = r.path;
            if (files.contains(target) || folders.contains(target) || target.isEmpty() ||
                (target.endsWith(u'/') && folders.contains(target.chopped(1)))) {
            } else if (isOutside(target)) {
                if (const QString path = root + target; !isFilePath(path) || !QFileInfo::exists(path))
                    report(Problem::BrokenLink, ref, target);
                continue;
            } else if (const auto real = byFolded.constFind(folded(target));
                       real != byFolded.cend() ||
                       (target.endsWith(u'/') && byFolded.contains(folded(target.chopped(1))))) {
                target = real != byFolded.cend() ? *real : byFolded.value(folded(target.chopped(1))) + u'/';
                report(Problem::CaseMismatch, ref, target);
            } else {
                if (!isOptionalBackground(target))
                    report(Problem::BrokenLink, ref, target);
                continue;
            }
            if (!imageIndex)
                result.used.append(target);
            if (isPageName(target)) {
                result.linked.append(target);
                if (!r.fragment.isEmpty())
                    result.anchorUses.append({page, target, ref, r.fragment});
            }
        }
    };

    QList<AnchorUse> anchorUses;
    QHash<QString, QSet<QString>> anchors; // of every page read
    QHash<QString, QStringList> pageLinks; // page -> the pages it links to
    QSet<QString> used;                    // files some page other than an image index uses
    QList<Problem>& problems = check.problems;

    const qsizetype total = pages.size();
    const int cores = qBound(1, QThread::idealThreadCount(), 4);
    constexpr qsizetype kBatch = 128;
    // Starting a thread costs more than examining a few pages: a small batch keeps to fewer cores.
    constexpr qsizetype kPagesPerWorker = 4;
    std::vector<PageResult> results;
    int done = 0;
    for (qsizetype first = 0; first < total && !check.stopped; first += kBatch) {
        const qsizetype count = qMin(kBatch, total - first);
        const int workers = int(qMin<qsizetype>(cores, (count + kPagesPerWorker - 1) / kPagesPerWorker));
        results.assign(size_t(count), PageResult());
        // The shared sets are only read while the workers run.
        auto work = [&](int worker) {
            for (qsizetype i = worker; i < count; i += workers)
                examine(pages[first + i], results[size_t(i)]);
        };
        std::vector<std::thread> threads;
        for (int w = 1; w < workers; ++w)
            threads.emplace_back(work, w);
        work(0);
        for (std::thread& t : threads)
            t.join();
        for (qsizetype i = 0; i < count; ++i) {
            if (progress && !progress(done, int(total))) {
                check.stopped = true;
                break;
            }
            ++done;
            PageResult& result = results[size_t(i)];
            if (!result.read)
                continue;
            const QString& page = pages[first + i];
            anchors.insert(page, result.anchors);
            problems += result.problems;
            for (const QString& file : std::as_const(result.used))
                used.insert(file);
            pageLinks.insert(page, result.linked);
            anchorUses += result.anchorUses;
            check.localLinks += result.localLinks;
            check.externalLinks += result.externalLinks;
        }
    }
    for (const AnchorUse& use : std::as_const(anchorUses)) {
        const auto found = anchors.constFind(use.target);
        if (found == anchors.cend())
            continue; // not read (stopped)
        // "#top" scrolls to the top of any page.
        if (found->contains(use.fragment) || found->contains(percentDecoded(use.fragment)) ||
            use.fragment.compare(u"top", Qt::CaseInsensitive) == 0)
            continue;
        Problem p;
        p.kind = Problem::MissingAnchor;
        p.page = use.page;
        p.line = use.ref.line;
        p.link = use.ref.value;
        p.target = use.target;
        problems.append(p);
    }

    if (!check.stopped) {
        // Pages reached from the home page, through every local link.
        QSet<QString> reached;
        QStringList queue;
        for (const QString& home : {QStringLiteral("Index.html"), QStringLiteral("Index.htm")}) {
            const QString real = files.contains(home) ? home : byFolded.value(folded(home));
            if (!real.isEmpty() && !reached.contains(real)) {
                reached.insert(real);
                queue.append(real);
            }
        }
        for (qsizetype i = 0; i < queue.size(); ++i)
            for (const QString& next : pageLinks.value(queue[i]))
                if (!reached.contains(next)) {
                    reached.insert(next);
                    queue.append(next);
                }
        // What the generated index pages of the categories list.
        QSet<QString> listed;
        for (auto links = pageLinks.cbegin(); links != pageLinks.cend(); ++links) {
            const QString name = fileName(links.key());
            if (name.compare(u"Index.htm", Qt::CaseInsensitive) == 0 ||
                name.compare(u"IndexG.htm", Qt::CaseInsensitive) == 0)
                for (const QString& target : *links)
                    if (parentFolder(target) == parentFolder(links.key()))
                        listed.insert(target);
        }
        for (const QString& page : std::as_const(pages)) {
            if (!isCategoryPage(page))
                continue;
            if (!listed.contains(page) || !reached.contains(page))
                problems.append({Problem::OrphanPage, page, 0, {}, {}});
        }
        for (const QString& file : std::as_const(files))
            if (inImagesFolder(file) && !used.contains(file))
                problems.append({Problem::UnusedImage, file, 0, {}, {}});
    }

    std::sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (a.line != b.line)
            return a.line < b.line;
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return a.link < b.link;
    });
    return check;
}

namespace {

// The link with each folder and file name spelt as on disk; "" when some name is not found.
QString correctedLink(const QString& root, const QString& page, const QString& link,
                      QHash<QString, QStringList>& listings) {
    qsizetype cut = link.size();
    for (qsizetype i = 0; i < link.size(); ++i)
        if (link[i] == u'#' || link[i] == u'?') {
            cut = i;
            break;
        }
    const QString path = link.left(cut);
    QString folder = path.startsWith(u'/') || path.startsWith(u'\\') ? QString() : parentFolder(page);
    // The segments with the separator that ends each.
    QList<std::pair<QString, QString>> segments;
    qsizetype from = 0;
    while (from <= path.size()) {
        qsizetype to = from;
        while (to < path.size() && path[to] != u'/' && path[to] != u'\\')
            ++to;
        segments.append({path.mid(from, to - from), to < path.size() ? QString(path[to]) : QString()});
        from = to + 1;
    }
    QString out;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString& segment = segments[i].first;
        QString written = segment;
        const bool undone = i + 1 < segments.size() && segments[i + 1].first == u"..";
        if (segment == u"..") {
            folder = parentFolder(folder.chopped(qMin<qsizetype>(1, folder.size())));
        } else if (undone) {
            folder += segment + u'/'; // a folder the next ".." leaves: its name does not matter
        } else if (!segment.isEmpty() && segment != u".") {
            const QString name = percentDecoded(segment);
            auto listing = listings.find(folder);
            if (listing == listings.end())
                listing = listings.insert(folder, QDir(root + folder)
                                                      .entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                                 QDir::System | QDir::Hidden));
            QString real = name;
            if (!listing->contains(name))
                for (const QString& entry : std::as_const(*listing))
                    if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                        real = entry;
                        break;
                    }
            if (real != name)
                written = segment.contains(u'%') ? QString::fromUtf8(QUrl::toPercentEncoding(real)) : real;
            folder += real + u'/';
        }
        out += written + segments[i].second;
    }
    return out + link.mid(cut);
}

// The one place pages are written back: whole or not at all, their date kept.
bool rewritePage(const QString& path, const QByteArray& bytes, QString* error) {
    const QDateTime modified = QFileInfo(path).lastModified();
    if (!writeBytes(path, bytes, error))
        return false;
    QFile f(path);
    if (f.open(QIODevice::Append))
        f.setFileTime(modified, QFileDevice::FileModificationTime);
    return true;
}

} // namespace

QList<CaseFix> fixCase(const QString& rootIn, const QList<Problem>& problems, QStringList* errors) {
    const QString root = withSeparator(QDir(rootIn).absolutePath());
    QHash<QString, QStringList> listings;
    QMap<QString, QList<const Problem*>> byPage;
    for (const Problem& p : problems)
        if (p.kind == Problem::CaseMismatch && p.length > 0)
            byPage[p.page].append(&p);

    QList<CaseFix> fixes;
    for (auto page = byPage.cbegin(); page != byPage.cend(); ++page) {
        const QString path = root + page.key();
        QByteArray bytes;
        if (!readWhole(path, bytes)) {
            if (errors)
                errors->append(QStringLiteral("Je ne peux pas lire le fichier \"%1\".").arg(path));
            continue;
        }
        QList<const Problem*> todo = page.value();
        // From the end of the page, so that the offsets before each change stay valid.
        std::sort(todo.begin(), todo.end(),
                  [](const Problem* a, const Problem* b) { return a->offset > b->offset; });
        QList<CaseFix> changed;
        bool stale = false;
        qsizetype lastOffset = bytes.size() + 1;
        for (const Problem* p : std::as_const(todo)) {
            if (p->offset == lastOffset)
                continue; // one value, reported once per problem
            const QByteArray before = encodePageText(p->link, p->utf8);
            if (p->offset + p->length > bytes.size() || bytes.mid(p->offset, p->length) != before) {
                stale = true;
                break;
            }
            const QString after = correctedLink(root, page.key(), p->link, listings);
            if (after.isEmpty() || after == p->link)
                continue;
            bytes.replace(p->offset, p->length, encodePageText(after, p->utf8));
            lastOffset = p->offset;
            changed.prepend({page.key(), p->line, p->link, after});
        }
        if (stale) {
            if (errors)
                errors->append(
                    QStringLiteral("Le fichier \"%1\" a changé depuis la vérification : il n'est pas "
                                   "corrigé.")
                        .arg(path));
            continue;
        }
        if (changed.isEmpty())
            continue;
        QString error;
        if (!rewritePage(path, bytes, &error)) {
            if (errors)
                errors->append(error);
            continue;
        }
        fixes += changed;
    }
    return fixes;
}

} // namespace qs
