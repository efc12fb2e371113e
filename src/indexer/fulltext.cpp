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
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace qs {

namespace {

// Folded forms of the Latin letters, worked out once from their decompositions.
const std::array<QString, 0x250>& latinFolds() {
    static const std::array<QString, 0x250> table = [] {
        std::array<QString, 0x250> t;
        for (char16_t c = 0; c < 0x250; ++c) {
            QString out;
            for (QChar p : QString(QChar(c)).normalized(QString::NormalizationForm_D))
                if (p.category() != QChar::Mark_NonSpacing)
                    out += p.toLower();
            out.replace(u"œ"_s, u"oe"_s).replace(u"æ"_s, u"ae"_s).replace(u"ß"_s, u"ss"_s);
            t[c] = out;
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
    static const QStringList inlineTags{u"a"_s,    u"b"_s,    u"i"_s,   u"u"_s,   u"em"_s,     u"strong"_s,
                                        u"span"_s, u"font"_s, u"sup"_s, u"sub"_s, u"small"_s,  u"big"_s,
                                        u"abbr"_s, u"code"_s, u"tt"_s,  u"s"_s,   u"strike"_s, u"mark"_s};
    for (const QString& t : inlineTags)
        if (name.compare(t, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Text of an HTML fragment: tags out, entities in, blanks collapsed to one space.
QString htmlToText(QStringView html) {
    QString out;
    out.reserve(html.size());
    bool space = true; // a blank is pending or the text is at its start
    auto blank = [&] { space = true; };
    auto put = [&](QChar c) {
        if (space && !out.isEmpty())
            out += QLatin1Char(' ');
        space = false;
        out += c;
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
    return out;
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
            static const char hex[] = "0123456789abcdef";
            out.append("\\u");
            for (int shift = 12; shift >= 0; shift -= 4)
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

QString fileError(const QFileDevice& f) {
    switch (f.error()) {
    case QFileDevice::PermissionsError:
        return u"accès refusé"_s;
    case QFileDevice::ResourceError:
        return u"ressources insuffisantes (disque plein ?)"_s;
    default:
        return f.errorString();
    }
}

bool writeWhole(const QString& path, const QByteArray& bytes, Dialogs& dialogs) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
        file.flush())
        return true;
    dialogs.message(u"Je ne peux pas écrire le fichier \"%1\" : %2."_s.arg(QDir::toNativeSeparators(path),
                                                                           fileError(file)),
                    Icon::Exclamation, u"Erreur"_s);
    return false;
}

} // namespace

QString foldFrench(QStringView text) {
    const auto& table = latinFolds();
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out += (u >= 'A' && u <= 'Z') ? QChar(u + 32) : c;
        else if (u < table.size())
            out += table[u];
        else if (c.isSurrogate())
            out += c;
        else {
            for (QChar p : QString(c).normalized(QString::NormalizationForm_D))
                if (p.category() != QChar::Mark_NonSpacing)
                    out += p.toLower();
        }
    }
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
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
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

QStringList searchTerms(QStringView text) {
    const QString folded = foldFrench(text);
    QStringList terms;
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
            terms.append(folded.sliced(b, i - b));
    }
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
    QHash<QString, std::vector<std::pair<quint32, quint32>>> postings;
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
    // the title; the page's script ranks by these.
    struct Count {
        quint32 body = 0;
        bool title = false;
        bool early = false;
    };
    QHash<QString, Count> counts;
    for (const QString& t : searchTerms(page.title))
        counts[t].title = true;
    const QStringList words = searchTerms(page.text);
    for (qsizetype i = 0; i < words.size(); ++i) {
        Count& c = counts[words[i]];
        ++c.body;
        if (i < 30)
            c.early = true;
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const Count& c = it.value();
        const quint32 score = std::min<quint32>(c.body, 20) + (c.early ? 2 : 0) + (c.title ? 40 : 0);
        d_->postings[it.key()].emplace_back(id, std::max<quint32>(score, 1));
    }
}

QMap<QString, QByteArray> FullTextIndex::files() const {
    QMap<QString, QByteArray> files;

    // Pages by chunks.
    for (qsizetype first = 0; first < d_->pages.size(); first += kPagesPerChunk) {
        QByteArray out = "QS_recherche.pages(" + QByteArray::number(first / kPagesPerChunk) + ",[";
        const qsizetype last = std::min(d_->pages.size(), first + kPagesPerChunk);
        for (qsizetype i = first; i < last; ++i) {
            const Data::Page& p = d_->pages[i];
            out.append(i > first ? ",\n[" : "\n[");
            appendJsString(out, p.link);
            out.append(',');
            appendJsString(out, p.title);
            out.append(',').append(QByteArray::number(p.category)).append(',');
            appendJsString(out, p.excerpt);
            out.append(']');
        }
        out.append("]);\n");
        files.insert(u"p%1.js"_s.arg(first / kPagesPerChunk), out);
    }

    // Terms in ordinal order, each rendered once; then cut into shards by their first letters.
    QStringList terms = d_->postings.keys();
    std::sort(terms.begin(), terms.end());
    std::vector<QByteArray> entries;
    entries.reserve(size_t(terms.size()));
    for (const QString& t : terms) {
        QByteArray e;
        appendJsString(e, t);
        e.append(":\"");
        quint32 previous = 0;
        bool firstPosting = true;
        for (const auto& [page, score] : d_->postings.value(t)) {
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
    index.append("],\ncles:[");
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
        QFile file(p.path);
        // A page is text: anything past 8 MiB is not worth searching, and must not exhaust memory.
        if (!file.open(QIODevice::ReadOnly)) {
            if (unreadable && !unreadable->contains(p.path))
                unreadable->append(p.path);
            continue;
        }
        const QByteArray bytes = file.read(8 << 20);
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
