#include "lib/htmltext.h"

#include "lib/text1252.h"

namespace qs {

namespace {

// The character of a decimal reference that toWindows1252 writes, at `at` ("&#" already seen there);
// 0 when the text there is not one. `end` receives the position after ";".
char32_t codePageReference(const QString& text, qsizetype at, qsizetype* end) {
    qsizetype i = at + 2;
    const qsizetype n = text.size();
    if (i > n || text[at + 1] != u'#')
        return 0;
    if (i >= n || text[i] < u'1' || text[i] > u'9')
        return 0;
    char32_t value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + char32_t(text[i].unicode() - u'0');
        if (value > 0x10FFFF)
            return 0;
        ++i;
    }
    if (i >= n || text[i] != u';' || isWindows1252(value) || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *end = i + 1;
    return value;
}

// A numeric reference of any form ("&#233;", "&#xE9;") at `at`; 0 when there is none or it names no
// character.
char32_t anyReference(const QString& text, qsizetype at, qsizetype* end) {
    const qsizetype n = text.size();
    qsizetype i = at + 2;
    if (i > n || text[at + 1] != u'#')
        return 0;
    const bool hex = i < n && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype digits = i;
    char32_t value = 0;
    while (i < n) {
        const char16_t u = text[i].unicode();
        int d = -1;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (hex && u >= u'a' && u <= u'f')
            d = u - u'a' + 10;
        else if (hex && u >= u'A' && u <= u'F')
            d = u - u'A' + 10;
        if (d < 0)
            break;
        value = value * (hex ? 16 : 10) + char32_t(d);
        if (value > 0x10FFFF)
            return 0;
        ++i;
    }
    if (i == digits || i >= n || text[i] != u';' || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *end = i + 1;
    return value;
}

// The entities that decodeHtmlText turns into characters, and so the ones escapeHtmlText must escape.
struct Named {
    QStringView name;
    QChar c;
};
constexpr Named kNamed[] = {{u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}};

// Length of a named entity of another kind at `at` ("&eacute;"): left as it is both ways, so that it
// keeps its meaning in the page and shows as it stands in the file. 0 when there is none.
qsizetype otherEntity(const QString& text, qsizetype at) {
    qsizetype i = at + 1;
    const qsizetype n = text.size();
    if (i >= n || !(text[i].isLetter() && text[i].unicode() < 0x80))
        return 0;
    while (i < n && text[i].unicode() < 0x80 && text[i].isLetterOrNumber())
        ++i;
    if (i >= n || text[i] != u';')
        return 0;
    const QStringView entity = QStringView(text).mid(at, i + 1 - at);
    for (const Named& e : kNamed)
        if (entity.compare(e.name, Qt::CaseInsensitive) == 0)
            return 0;
    return entity.size();
}

QString decode(const QString& text, bool entities) {
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        qsizetype end = 0;
        if (const char32_t c = entities ? anyReference(text, i, &end) : codePageReference(text, i, &end)) {
            out += QString::fromUcs4(&c, 1);
            i = end;
            continue;
        }
        bool found = false;
        for (const Named& e : kNamed) {
            if (entities &&
                QStringView(text).mid(i, e.name.size()).compare(e.name, Qt::CaseInsensitive) == 0) {
                out += e.c;
                i += e.name.size();
                found = true;
                break;
            }
        }
        if (!found)
            out += text[i++];
    }
    return out;
}

} // namespace

QString escapeHtmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&' && otherEntity(text, i) == 0)
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString decodeHtmlText(const QString& text) {
    return decode(text, true);
}

QString decodeCodePageReferences(const QString& text) {
    return decode(text, false);
}

QString leftCharacters(const QString& text, qsizetype count) {
    qsizetype i = 0;
    for (qsizetype taken = 0; i < text.size() && taken < count; ++taken)
        i += (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    // An entity kept as it is ("&eacute;") is left out whole rather than cut into text that shows.
    const qsizetype amp = i > 0 ? text.lastIndexOf(u'&', i - 1) : -1;
    if (amp >= 0 && amp + otherEntity(text, amp) > i)
        return text.left(amp);
    return text.left(i);
}

} // namespace qs
