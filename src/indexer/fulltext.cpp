#include "indexer/fulltext.h"

#include "indexer/indexer.h"
#include "lib/dialogs.h"
#include "lib/helpers.h"
#include "lib/text1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace qs {

namespace {

QString foldSlow(QChar c) {
    QString out;
    for (QChar p : QString(c).normalized(QString::NormalizationForm_D))
        if (p.category() != QChar::Mark_NonSpacing)
            out += p.toLower();
    return out.replace(u"œ"_s, u"oe"_s).replace(u"æ"_s, u"ae"_s).replace(u"ß"_s, u"ss"_s);
}

// Folded forms of the Latin letters, worked out once from their decompositions: at most two
// characters each (œ -> oe).
struct Fold {
    char16_t c[2];
    quint8 n;
};
const std::array<Fold, 0x250>& latinFolds() {
    static const std::array<Fold, 0x250> table = [] {
        std::array<Fold, 0x250> t{};
        for (char16_t c = 0; c < 0x250; ++c) {
            const QString f = foldSlow(QChar(c));
            t[c].n = quint8(std::min<qsizetype>(f.size(), 2));
            for (qsizetype i = 0; i < t[c].n; ++i)
                t[c].c[i] = f[i].unicode();
        }
        return t;
    }();
    return table;
}

bool isWordChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z');
    return c.isLetterOrNumber();
}

qsizetype indexOfNoCase(QStringView text, QLatin1StringView what, qsizetype from = 0) {
    return text.indexOf(what, from, Qt::CaseInsensitive);
}

// Named entities that French pages use; the rest are left as written.
QChar namedEntity(QStringView name) {
    static const QHash<QString, char16_t> names = [] {
        QHash<QString, char16_t> h{
            {u"amp"_s, u'&'},      {u"lt"_s, u'<'},      {u"gt"_s, u'>'},      {u"quot"_s, u'"'},
            {u"apos"_s, u'\''},    {u"nbsp"_s, 0xA0},    {u"laquo"_s, 0xAB},   {u"raquo"_s, 0xBB},
            {u"hellip"_s, 0x2026}, {u"rsquo"_s, 0x2019}, {u"lsquo"_s, 0x2018}, {u"ldquo"_s, 0x201C},
            {u"rdquo"_s, 0x201D},  {u"ndash"_s, 0x2013}, {u"mdash"_s, 0x2014}, {u"euro"_s, 0x20AC},
            {u"copy"_s, 0xA9},     {u"reg"_s, 0xAE},     {u"deg"_s, 0xB0},     {u"oelig"_s, 0x153},
            {u"OElig"_s, 0x152},   {u"aelig"_s, 0xE6},   {u"AElig"_s, 0xC6},   {u"szlig"_s, 0xDF},
            {u"ccedil"_s, 0xE7},   {u"Ccedil"_s, 0xC7},  {u"middot"_s, 0xB7},  {u"shy"_s, 0xAD},
            {u"yuml"_s, 0xFF},     {u"Yuml"_s, 0x178}};
        // The accented vowels: &eacute; &Egrave; &ocirc; ...
        const struct {
            const char* accent;
            const char16_t* lower;
            const char16_t* upper;
        } accents[] = {{"acute", u"aeiouy", u"AEIOUY"},
                       {"grave", u"aeiou", u"AEIOU"},
                       {"circ", u"aeiou", u"AEIOU"},
                       {"uml", u"aeiou", u"AEIOU"}};
        for (const auto& a : accents)
            for (int i = 0; a.lower[i]; ++i)
                for (const char16_t* base : {a.lower, a.upper}) {
                    QString composed = QString(QChar(base[i]));
                    const char16_t mark = a.accent == std::string_view("acute")   ? 0x301
                                          : a.accent == std::string_view("grave") ? 0x300
                                          : a.accent == std::string_view("circ")  ? 0x302
                                                                                  : 0x308;
                    composed = (composed + QChar(mark)).normalized(QString::NormalizationForm_C);
                    h.insert(QString(QChar(base[i])) + QLatin1StringView(a.accent), composed.at(0).unicode());
                }
        return h;
    }();
    const auto it = names.constFind(name.toString());
    return it == names.cend() ? QChar() : QChar(*it);
}

// Appends the character of a numeric reference; 128-159 are read as Windows-1252, as browsers do.
void appendCodePoint(QString& out, uint code) {
    if (code >= 0x80 && code < 0xA0)
        out += fromWindows1252(QByteArray(1, char(code)));
    else if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        out += QChar(0xFFFD);
    else
        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
}

// Tags whose words run on into the next: <b>mod</b>èle is one word.
bool isInlineTag(QStringView name) {
    if (name.size() > 6)
        return false;
    char lower[7] = {};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u >= 0x80)
            return false;
        lower[i] = char(u >= 'A' && u <= 'Z' ? u + 32 : u);
    }
    static constexpr std::string_view inlineTags[] = {"a",    "b",    "i",   "u",   "em",     "strong",
                                                      "span", "font", "sup", "sub", "small",  "big",
                                                      "abbr", "code", "tt",  "s",   "strike", "mark"};
    const std::string_view tag(lower, size_t(name.size()));
    return std::find(std::begin(inlineTags), std::end(inlineTags), tag) != std::end(inlineTags);
}

// Text of an HTML fragment: tags out, entities in, blanks collapsed to one space.
QString htmlToText(QStringView html) {
    std::u16string out; // appended to character by character: inline, unlike QString's
    out.reserve(size_t(html.size()));
    bool space = true; // a blank is pending or the text is at its start
    auto blank = [&] { space = true; };
    auto put = [&](QChar c) {
        if (space && !out.empty())
            out.push_back(u' ');
        space = false;
        out.push_back(c.unicode());
    };
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = html[i];
        if (c == u'<') {
            if (html.sliced(i).startsWith(u"<!--")) {
                const qsizetype e = html.indexOf(u"-->", i + 4);
                i = e < 0 ? n : e + 3;
                blank();
                continue;
            }
            qsizetype j = i + 1;
            const bool closing = j < n && html[j] == u'/';
            if (closing)
                ++j;
            const qsizetype nameStart = j;
            while (j < n && (html[j].isLetterOrNumber()))
                ++j;
            if (j == nameStart && !closing && (j >= n || (html[j] != u'!' && html[j] != u'?'))) {
                put(c); // a lone "<" in the text
                ++i;
                continue;
            }
            const QStringView name = html.sliced(nameStart, j - nameStart);
            const qsizetype end = html.indexOf(u'>', j);
            i = end < 0 ? n : end + 1;
            if (!closing && (name.compare(u"script", Qt::CaseInsensitive) == 0 ||
                             name.compare(u"style", Qt::CaseInsensitive) == 0 ||
                             name.compare(u"title", Qt::CaseInsensitive) == 0)) {
                const QString close = u"</"_s + name.toString();
                const qsizetype e = html.indexOf(close, i, Qt::CaseInsensitive);
                i = e < 0 ? n : e;
            }
            if (!isInlineTag(name))
                blank();
            continue;
        }
        if (c == u'&') {
            qsizetype j = i + 1;
            while (j < n && j - i <= 10 && (html[j].isLetterOrNumber() || html[j] == u'#'))
                ++j;
            if (j < n && html[j] == u';' && j > i + 1) {
                const QStringView ref = html.sliced(i + 1, j - i - 1);
                QString decoded;
                if (ref.startsWith(u'#')) {
                    bool ok = false;
                    const uint code = (ref.size() > 1 && (ref[1] == u'x' || ref[1] == u'X'))
                                          ? ref.sliced(2).toUInt(&ok, 16)
                                          : ref.sliced(1).toUInt(&ok, 10);
                    if (ok)
                        appendCodePoint(decoded, code);
                } else if (const QChar e = namedEntity(ref); !e.isNull()) {
                    decoded = e;
                }
                if (!decoded.isEmpty()) {
                    for (QChar d : decoded) {
                        if (d.isSpace() || d == QChar(0xA0))
                            blank();
                        else if (d != QChar(0xAD))
                            put(d);
                    }
                    i = j + 1;
                    continue;
                }
            }
        }
        if (c.isSpace() || c == QChar(0xA0))
            blank();
        else
            put(c);
        ++i;
    }
    return QString::fromUtf16(out.data(), qsizetype(out.size()));
}

QString fileNameTitle(const QString& link) {
    QString name = link.section(QLatin1Char('/'), -1);
    if (name.size() > 4)
        name.chop(4);
    return name;
}

// JavaScript string literal in ASCII: the data files load whatever the page's encoding.
void appendJsString(QByteArray& out, QStringView s) {
    out.append('"');
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            out.append('\\').append(char(u));
        } else if (u >= 0x20 && u < 0x7F && u != '<') {
            out.append(char(u));
        } else {
            // French text is mostly Latin-1: "\xe9" rather than "\u00e9" keeps the files small.
            static const char hex[] = "0123456789abcdef";
            out.append(u < 0x100 ? "\\x" : "\\u");
            for (int shift = u < 0x100 ? 4 : 12; shift >= 0; shift -= 4)
                out.append(hex[(u >> shift) & 0xF]);
        }
    }
    out.append('"');
}

void appendBase36(QByteArray& out, quint32 v) {
    char digits[8];
    int n = 0;
    do {
        const quint32 d = v % 36;
        digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
        v /= 36;
    } while (v);
    while (n)
        out.append(digits[--n]);
}

// A shard key in a file name: letters and digits as they are, anything else as "_" and four hex digits.
QString keyFileName(QStringView key) {
    QString name = u"t"_s;
    for (QChar c : key) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            name += c;
        else
            name += u"_%1"_s.arg(uint(u), 4, 16, QLatin1Char('0'));
    }
    return name + u".js"_s;
}

// The first `limit` bytes of a file into `bytes`. On Unix through the system calls: tens of thousands
// of small files are read, and QFile's own checks cost more than the reading.
bool readPage(const QString& path, qsizetype limit, QByteArray& bytes) {
#ifdef Q_OS_UNIX
    // O_NONBLOCK: a FIFO under a page's name must not hang the run.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bytes.resize(0);
    bool ok = true;
    while (bytes.size() < limit) {
        const qsizetype old = bytes.size();
        const qsizetype block = std::min<qsizetype>(limit - old, qsizetype(64) * 1024);
        bytes.resize(old + block);
        const ssize_t n = ::read(fd, bytes.data() + old, size_t(block));
        if (n < 0 && errno == EINTR) {
            bytes.resize(old);
            continue;
        }
        bytes.resize(old + std::max<ssize_t>(n, 0));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
    }
    ::close(fd);
    return ok;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.read(limit);
    return file.error() == QFileDevice::NoError;
#endif
}

bool writeWhole(const QString& path, const QByteArray& bytes, Dialogs& dialogs) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
        file.flush())
        return true;
    dialogs.message(u"Je ne peux pas écrire le fichier \"%1\" : %2."_s.arg(
                        QDir::toNativeSeparators(path), fileErrorCause(file, FileError::Operation::Write)),
                    Icon::Exclamation, u"Erreur"_s);
    return false;
}

} // namespace

QString foldFrench(QStringView text) {
    const auto& table = latinFolds();
    QString out(text.size() * 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            *d++ = (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
        } else if (u < table.size()) {
            const Fold& f = table[u];
            for (int k = 0; k < f.n; ++k)
                *d++ = f.c[k];
        } else if (text[i].isSurrogate()) {
            *d++ = u;
        } else {
            // Room for this fold and two characters for each one left.
            const QString f = foldSlow(text[i]);
            const qsizetype used = d - reinterpret_cast<char16_t*>(out.data());
            if (used + f.size() + 2 * (text.size() - i) > out.size()) {
                out.resize(used + f.size() + 2 * (text.size() - i));
                d = reinterpret_cast<char16_t*>(out.data()) + used;
            }
            for (QChar p : f)
                *d++ = p.unicode();
        }
    }
    out.truncate(d - reinterpret_cast<char16_t*>(out.data()));
    return out;
}

QString decodePage(const QByteArray& bytes) {
    const QByteArrayView head = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 2048));
    const qsizetype charset = QLatin1StringView(head).indexOf("charset="_L1, 0, Qt::CaseInsensitive);
    if (charset >= 0) {
        QByteArrayView declared = head.sliced(charset + 8);
        while (!declared.isEmpty() && (declared.front() == '"' || declared.front() == '\''))
            declared = declared.sliced(1);
        if (QLatin1StringView(declared).startsWith("utf-8"_L1, Qt::CaseInsensitive))
            return QString::fromUtf8(bytes);
        return fromWindows1252(bytes);
    }
    // Valid UTF-8 (pure ASCII included): anything else is Windows-1252.
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = b[i];
        const int follow = c < 0x80                   ? 0
                           : (c >= 0xC2 && c <= 0xDF) ? 1
                           : (c >= 0xE0 && c <= 0xEF) ? 2
                           : (c >= 0xF0 && c <= 0xF4) ? 3
                                                      : -1;
        if (follow < 0 || i + follow >= n)
            return fromWindows1252(bytes);
        for (int k = 1; k <= follow; ++k)
            if ((b[i + k] & 0xC0) != 0x80)
                return fromWindows1252(bytes);
        i += follow + 1;
    }
    return QString::fromUtf8(bytes);
}

PageText extractPageText(QStringView html) {
    PageText page;
    if (const qsizetype t = indexOfNoCase(html, "<title"_L1); t >= 0) {
        const qsizetype open = html.indexOf(u'>', t);
        const qsizetype close = open < 0 ? -1 : indexOfNoCase(html, "</title"_L1, open);
        if (close > open)
            page.title = htmlToText(html.sliced(open + 1, close - open - 1));
    }
    QStringView body = html;
    const qsizetype begin = html.indexOf(u"<!-- BEGIN -->");
    const qsizetype end = begin < 0 ? -1 : html.indexOf(u"<!-- END -->", begin);
    if (end >= 0) {
        body = html.sliced(begin + 14, end - begin - 14);
    } else if (const qsizetype b = indexOfNoCase(html, "<body"_L1); b >= 0) {
        const qsizetype open = html.indexOf(u'>', b);
        body = open < 0 ? QStringView() : html.sliced(open + 1);
        if (const qsizetype close = indexOfNoCase(body, "</body"_L1); close >= 0)
            body = body.first(close);
    } else if (const qsizetype h = indexOfNoCase(html, "</head"_L1); h >= 0) {
        body = html.sliced(h);
    }
    page.text = htmlToText(body);
    return page;
}

namespace {

// The words of a folded text, as views into it.
template <typename F> void forEachTerm(QStringView folded, F&& f) {
    const qsizetype n = folded.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && !isWordChar(folded[i]))
            ++i;
        const qsizetype b = i;
        while (i < n && isWordChar(folded[i]))
            ++i;
        // One letter finds nothing useful; a word over 40 letters is not a word.
        if (i - b >= 2 && i - b <= 40)
            f(folded.sliced(b, i - b));
    }
}

} // namespace

QStringList searchTerms(QStringView text) {
    QStringList terms;
    forEachTerm(foldFrench(text), [&](QStringView t) { terms.append(t.toString()); });
    return terms;
}

struct FullTextIndex::Data {
    struct Page {
        QString link, title, excerpt;
        int category;
    };
    QList<Page> pages;
    QStringList categories;
    QHash<QString, int> categoryIds;
    // (page, score) pairs of every term, pages ascending.
    // Looked up by the page's word views without making a string of each.
    struct ViewHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view v) const { return std::hash<std::u16string_view>{}(v); }
    };
    struct Postings {
        std::vector<std::pair<quint32, quint32>> pages;
        quint32 slot = 0; // while a page is added: where its count for the term is
    };
    std::unordered_map<std::u16string, Postings, ViewHash, std::equal_to<>> postings;
};

FullTextIndex::FullTextIndex() : d_(std::make_unique<Data>()) {}
FullTextIndex::~FullTextIndex() = default;

qsizetype FullTextIndex::pages() const {
    return d_->pages.size();
}

void FullTextIndex::addPage(const QString& link, const QString& category, const PageText& page) {
    const auto id = quint32(d_->pages.size());
    int cat = d_->categoryIds.value(category, -1);
    if (cat < 0) {
        cat = int(d_->categories.size());
        d_->categories.append(category);
        d_->categoryIds.insert(category, cat);
    }
    QString excerpt = page.text.left(kExcerptLength);
    if (page.text.size() > kExcerptLength) {
        const qsizetype cut = excerpt.lastIndexOf(QLatin1Char(' '));
        if (cut > kExcerptLength / 2)
            excerpt.truncate(cut);
    }
    d_->pages.append({link, page.title.isEmpty() ? fileNameTitle(link) : page.title, excerpt, cat});

    // A term's score: how often it occurs in the text, a bonus when it occurs early, more when it is in
    // the title; the page's script ranks by these. Each word goes straight to its term's postings, whose
    // last entry is this page's once the term was met: one hash look-up a word, no sort.
    struct Count {
        Data::Postings* term;
        quint32 body = 0;
        bool title = false;
        bool early = false;
    };
    std::vector<Count> counts;
    const auto count = [&](QStringView t, quint32 position) {
        const std::u16string_view key(reinterpret_cast<const char16_t*>(t.utf16()), size_t(t.size()));
        auto it = d_->postings.find(key);
        if (it == d_->postings.end())
            it = d_->postings.emplace(std::u16string(key), Data::Postings()).first;
        Data::Postings& term = it->second;
        if (term.pages.empty() || term.pages.back().first != id) {
            term.slot = quint32(counts.size());
            term.pages.emplace_back(id, 0);
            counts.push_back({&term});
        }
        Count& c = counts[term.slot];
        if (position == 0)
            c.title = true;
        else if (++c.body, position <= 30)
            c.early = true;
    };
    forEachTerm(foldFrench(page.title), [&](QStringView t) { count(t, 0); });
    quint32 position = 0;
    forEachTerm(foldFrench(page.text), [&](QStringView t) { count(t, ++position); });
    for (const Count& c : counts) {
        // At most 62: the page counts the pages of each score in an array of that bound.
        const quint32 score = std::min<quint32>(c.body, 20) + (c.early ? 2 : 0) + (c.title ? 40 : 0);
        c.term->pages.back().second = std::max<quint32>(score, 1);
    }
}

QMap<QString, QByteArray> FullTextIndex::files() const {
    QMap<QString, QByteArray> files;

    // What a result line shows, in few files: a query needs the lines of pages spread over the whole
    // site, and each script a page loads costs more than its bytes. A page is its folder and category
    // (numbers into the lists of index.js), its file name and its title.
    QStringList folders;
    QHash<QString, int> folderIds;
    std::vector<QByteArray> lines;
    lines.reserve(size_t(d_->pages.size()));
    qsizetype total = 0;
    for (const Data::Page& p : d_->pages) {
        const qsizetype slash = p.link.lastIndexOf(QLatin1Char('/')) + 1;
        const QString folder = p.link.first(slash);
        int folderId = folderIds.value(folder, -1);
        if (folderId < 0) {
            folderId = int(folders.size());
            folders.append(folder);
            folderIds.insert(folder, folderId);
        }
        QByteArray line = QByteArray::number(folderId) + ',' + QByteArray::number(p.category) + ',';
        appendJsString(line, QStringView(p.link).sliced(slash));
        line.append(',');
        appendJsString(line, p.title);
        total += line.size() + 2;
        lines.push_back(std::move(line));
    }
    // A site whose lines fill few files has them all loaded with the index; a bigger one has them in
    // small files, loaded for the pages a query shows.
    const bool preload = total <= kTitlesPreloaded * kTitlesTarget;
    const qsizetype target = preload ? kTitlesTarget : kTitlesOnDemandTarget;
    QList<qsizetype> titleStarts;
    QByteArray titles;
    for (qsizetype i = 0; i <= qsizetype(lines.size()); ++i) {
        if (!titles.isEmpty() && (i == qsizetype(lines.size()) || titles.size() >= target)) {
            titles.append("]);\n");
            files.insert(u"n%1.js"_s.arg(titleStarts.size() - 1), titles);
            titles.clear();
        }
        if (i == qsizetype(lines.size()))
            break;
        if (titles.isEmpty()) {
            titleStarts.append(i);
            titles = "QS_recherche.titres(" + QByteArray::number(titleStarts.size() - 1) + ",[";
        } else {
            titles.append(",\n");
        }
        titles.append(lines[size_t(i)]);
    }

    // Excerpts by small chunks: they are shown once the list is.
    for (qsizetype first = 0; first < d_->pages.size(); first += kPagesPerChunk) {
        QByteArray out = "QS_recherche.extraits(" + QByteArray::number(first / kPagesPerChunk) + ",[";
        const qsizetype last = std::min(d_->pages.size(), first + kPagesPerChunk);
        for (qsizetype i = first; i < last; ++i) {
            out.append(i > first ? ",\n" : "\n");
            appendJsString(out, d_->pages[i].excerpt);
        }
        out.append("]);\n");
        files.insert(u"p%1.js"_s.arg(first / kPagesPerChunk), out);
    }

    // Terms in ordinal order, each rendered once; then cut into shards by their first letters.
    QStringList terms;
    terms.reserve(qsizetype(d_->postings.size()));
    for (const auto& entry : d_->postings)
        terms.append(QString::fromUtf16(entry.first.data(), qsizetype(entry.first.size())));
    std::sort(terms.begin(), terms.end());
    std::vector<QByteArray> entries;
    entries.reserve(size_t(terms.size()));
    for (const QString& t : terms) {
        QByteArray e;
        appendJsString(e, t);
        e.append(":\"");
        quint32 previous = 0;
        bool firstPosting = true;
        for (const auto& [page, score] :
             d_->postings
                 .find(std::u16string_view(reinterpret_cast<const char16_t*>(t.utf16()), size_t(t.size())))
                 ->second.pages) {
            if (!firstPosting)
                e.append(',');
            appendBase36(e, page - previous);
            if (score > 1) {
                e.append('.');
                appendBase36(e, score);
            }
            previous = page;
            firstPosting = false;
        }
        e.append('"');
        entries.push_back(std::move(e));
    }

    QStringList keys;
    auto emitShard = [&](const QString& key, qsizetype b, qsizetype e) {
        if (b >= e)
            return;
        QByteArray out = "QS_recherche.termes(";
        appendJsString(out, key);
        out.append(",{");
        for (qsizetype i = b; i < e; ++i) {
            if (i > b)
                out.append(",\n");
            out.append(entries[size_t(i)]);
        }
        out.append("});\n");
        files.insert(keyFileName(key), out);
        keys.append(key);
    };
    // Terms [b, e) all begin with `prefix`: one shard when small enough, else one per next letter.
    auto split = [&](auto&& self, const QString& prefix, qsizetype b, qsizetype e) -> void {
        qsizetype size = 0;
        for (qsizetype i = b; i < e; ++i)
            size += entries[size_t(i)].size() + 2;
        if (!prefix.isEmpty() && (size <= kShardTarget || prefix.size() >= 8)) {
            emitShard(prefix, b, e);
            return;
        }
        const qsizetype length = prefix.size();
        qsizetype i = b;
        if (i < e && terms[i].size() == length) // the prefix itself is a term: it sorts first
            emitShard(prefix, i, i + 1), ++i;
        while (i < e) {
            const QChar next = terms[i][length];
            qsizetype j = i;
            while (j < e && terms[j][length] == next)
                ++j;
            self(self, prefix + next, i, j);
            i = j;
        }
    };
    split(split, QString(), 0, terms.size());

    QByteArray index = "QS_recherche.index({pages:" + QByteArray::number(d_->pages.size()) +
                       ",bloc:" + QByteArray::number(kPagesPerChunk) + ",categories:[";
    for (qsizetype i = 0; i < d_->categories.size(); ++i) {
        if (i > 0)
            index.append(',');
        appendJsString(index, d_->categories[i]);
    }
    const auto appendList = [&](const char* name, const QStringList& list) {
        index.append("],\n").append(name).append(":[");
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (i > 0)
                index.append(i % 16 == 0 ? ",\n" : ",");
            appendJsString(index, list[i]);
        }
    };
    appendList("dossiers", folders);
    index.append("],\ntitres:[");
    for (qsizetype i = 0; i < titleStarts.size(); ++i)
        index.append(i > 0 ? "," : "").append(QByteArray::number(titleStarts[i]));
    index.append("],\nprecharger:").append(preload ? "true" : "false");
    index.append(",\ncles:[");
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0)
            index.append(i % 16 == 0 ? ",\n" : ",");
        appendJsString(index, keys[i]);
    }
    index.append("],\nfichiers:[");
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0)
            index.append(i % 16 == 0 ? ",\n" : ",");
        appendJsString(index, keyFileName(keys[i]));
    }
    index.append("]});\n");
    files.insert(u"index.js"_s, index);
    return files;
}

QByteArray searchPage(const QString& background, const QString& title, const QString& text,
                      const QString& programId) {
    QFile resource(u":/quillsite/indexer/recherche.htm"_s);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    QString page = QString::fromUtf8(resource.readAll());
    page.replace(u"{FOND}"_s, background).replace(u"{TITRE}"_s, title).replace(u"{TEXTE}"_s, text);
    page.replace(u"{ID}"_s, programId);
    QByteArray bytes;
    for (const QString& line : splitLines(page))
        bytes.append(toWindows1252(line)).append("\r\n");
    return bytes;
}

FullTextStage::FullTextStage(QString root, QString background, QString title, QString text)
    : root_(std::move(root)), background_(std::move(background)), title_(std::move(title)),
      text_(std::move(text)) {}

FullTextStage::~FullTextStage() {
    if (committed_) {
        finish();
        return;
    }
    if (!newFolder_.isEmpty())
        QDir(newFolder_).removeRecursively();
    if (!newPage_.isEmpty())
        QFile::remove(newPage_);
}

FullTextStage::Outcome FullTextStage::prepare(const QList<IndexedPage>& pages, Dialogs& dialogs,
                                              IndexProgress& progress, QStringList* unreadable) {
    FullTextIndex index;
    QByteArray bytes;
    qsizetype done = 0;
    for (const IndexedPage& p : pages) {
        if (++done % 64 == 0) {
            progress.fullText(done, pages.size());
            dialogs.processEvents();
            if (progress.stopRequested())
                return Outcome::Stopped;
        }
        const QString name = p.path.section(QLatin1Char('/'), -1);
        if (!isListedPage(name))
            continue;
        // A page is text: anything past 8 MiB is not worth searching, and must not exhaust memory.
        if (!readPage(p.path, 8 << 20, bytes)) {
            if (unreadable && !unreadable->contains(p.path))
                unreadable->append(p.path);
            continue;
        }
        const QString link = p.path.sliced(root_.size());
        const qsizetype slash = link.lastIndexOf(QLatin1Char('/'));
        const QString category = slash < 0 ? QString() : link.first(slash).replace(u"/"_s, u" / "_s);
        index.addPage(link, category, extractPageText(decodePage(bytes)));
    }
    progress.fullText(pages.size(), pages.size());
    if (progress.stopRequested())
        return Outcome::Stopped;
    indexed_ = index.pages();

    // Aside, under names the walk skips (they begin with "."), in the site root so that renaming
    // them into place never crosses a disk.
    for (int attempt = 0; newFolder_.isEmpty() && attempt < 100; ++attempt) {
        const QString candidate =
            root_ + u".recherche-%1"_s.arg(QCoreApplication::applicationPid() * 100 + attempt);
        if (!QFileInfo::exists(candidate) && QDir().mkdir(candidate))
            newFolder_ = candidate;
    }
    if (newFolder_.isEmpty()) {
        dialogs.message(u"Je ne peux pas créer de dossier dans \"%1\" pour l'index de recherche."_s.arg(
                            QDir::toNativeSeparators(root_)),
                        Icon::Exclamation, u"Erreur"_s);
        return Outcome::Failed;
    }
    const QMap<QString, QByteArray> files = index.files();
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (!writeWhole(newFolder_ + QLatin1Char('/') + it.key(), it.value(), dialogs))
            return Outcome::Failed;
    newPage_ = newFolder_ + u".htm"_s;
    if (!writeWhole(newPage_, searchPage(background_, title_, text_, ProgrammeID()), dialogs))
        return Outcome::Failed;
    return Outcome::Ready;
}

bool FullTextStage::commit(Dialogs& dialogs) {
    const QString folder = root_ + QLatin1StringView(kSearchDataFolder);
    const QString page = root_ + QLatin1StringView(kSearchPageFile);
    oldFolder_ = newFolder_ + u"-ancien"_s;
    oldPage_ = newFolder_ + u"-ancien.htm"_s;
    QDir dir;
    hadFolder_ = QFileInfo(folder).isDir();
    hadPage_ = QFileInfo::exists(page);
    auto failed = [&](const QString& path) {
        rollback();
        dialogs.message(
            u"Je ne peux pas remplacer \"%1\" : l'index de recherche précédent est conservé."_s.arg(
                QDir::toNativeSeparators(path)),
            Icon::Exclamation, u"Erreur"_s);
        return false;
    };
    committed_ = true; // from here on, rollback() undoes whatever was done
    if (hadFolder_ && !dir.rename(folder, oldFolder_)) {
        hadFolder_ = false;
        committed_ = false;
        return failed(folder);
    }
    if (!dir.rename(newFolder_, folder))
        return failed(folder);
    if (hadPage_ && !dir.rename(page, oldPage_)) {
        hadPage_ = false;
        return failed(page);
    }
    if (!dir.rename(newPage_, page))
        return failed(page);
    return true;
}

void FullTextStage::rollback() {
    const QString folder = root_ + QLatin1StringView(kSearchDataFolder);
    const QString page = root_ + QLatin1StringView(kSearchPageFile);
    QDir dir;
    if (!committed_)
        return;
    if (!QFileInfo::exists(newPage_))
        dir.rename(page, newPage_);
    if (hadPage_)
        dir.rename(oldPage_, page);
    if (!QFileInfo::exists(newFolder_))
        dir.rename(folder, newFolder_);
    if (hadFolder_)
        dir.rename(oldFolder_, folder);
    committed_ = false;
}

void FullTextStage::finish() {
    if (!committed_)
        return;
    if (hadFolder_)
        QDir(oldFolder_).removeRecursively();
    if (hadPage_)
        QFile::remove(oldPage_);
    committed_ = false;
    newFolder_.clear();
    newPage_.clear();
}

} // namespace qs
