#include "explorer/scanner.h"

#include "explorer/ascii.h"
#include "lib/text1252.h"

#include <cstring>

namespace qs {

namespace {

// The options slider runs from 1 to 20; 20 stands for "no limit".
constexpr int kSliderMaximum = 20;

QByteArrayView trimBlanks(QByteArrayView v) {
    qsizetype a = 0;
    qsizetype b = v.size();
    while (a < b && v[a] == ' ')
        ++a;
    while (b > a && v[b - 1] == ' ')
        --b;
    return v.sliced(a, b - a);
}

qsizetype find(QByteArrayView v, qsizetype from, char c) {
    if (from >= v.size())
        return -1;
    const void* hit = std::memchr(v.data() + from, c, size_t(v.size() - from));
    return hit ? static_cast<const char*>(hit) - v.data() : -1;
}

} // namespace

DepthLimit DepthLimit::parse(const QString& textIn) {
    const QString text = textIn.trimmed();
    if (text.compare(u"illimité", Qt::CaseInsensitive) == 0 ||
        text.compare(u"illimite", Qt::CaseInsensitive) == 0)
        return {kSliderMaximum, true};
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        return {};
    if (n >= kSliderMaximum)
        return {kSliderMaximum, true};
    return {qMax(n, 1), false};
}

QString DepthLimit::text() const {
    return unlimited ? QStringLiteral("illimité") : QString::number(value);
}

void readTags(QByteArrayView page, const std::function<bool(QByteArrayView)>& onTag) {
    const qsizetype n = page.size();
    bool inside = false;
    // The tag being read when it began on an earlier line; a tag held within one line is passed as a
    // view of the page, without a copy.
    QByteArray pending;
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype eol = pos;
        while (eol < n && page[eol] != '\n' && page[eol] != '\r')
            ++eol;
        const QByteArrayView line = page.sliced(0, eol);
        qsizetype p = pos;
        while (p < eol) {
            if (!inside) {
                const qsizetype lt = find(line, p, '<');
                if (lt < 0)
                    break;
                p = lt + 1;
                pending.clear();
                inside = true;
            } else {
                const qsizetype gt = find(line, p, '>');
                if (gt < 0) {
                    pending.append(line.sliced(p)).append(' ');
                    break;
                }
                inside = false;
                QByteArrayView tag;
                if (pending.isEmpty()) {
                    tag = trimBlanks(line.sliced(p, gt - p));
                } else {
                    pending.append(' ').append(line.sliced(p, gt - p));
                    tag = trimBlanks(pending);
                }
                p = gt + 1;
                if (!onTag(tag))
                    return;
            }
        }
        pos = eol;
        if (pos < n) // past the '\r' or '\n' that ends the line
            ++pos;
        if (pos < n && pos == eol + 1 && page[eol] == '\r' && page[pos] == '\n')
            ++pos;
    }
    if (inside)
        onTag(pending);
}

QStringList tagsOf(QByteArrayView page) {
    QStringList tags;
    readTags(page, [&](QByteArrayView tag) {
        tags.append(fromWindows1252(tag));
        return true;
    });
    return tags;
}

QString attributeValue(QByteArrayView rest, QStringView upperName, PageEncoding encoding) {
    const qsizetype at = ascii::indexOfUpper(rest, upperName);
    if (at < 0)
        return {};
    qsizetype p = at + upperName.size();
    bool quoted = false;
    while (p < rest.size() && (rest[p] == ' ' || rest[p] == '=' || rest[p] == '"')) {
        quoted = quoted || rest[p] == '"';
        ++p;
    }
    qsizetype end = find(rest, p, quoted ? '"' : ' ');
    if (end < 0)
        end = rest.size();
    return decodePageText(rest.sliced(p, end - p), encoding);
}

TagAction dispatchTag(QByteArrayView tag, const LinkTypes& types, PageEncoding encoding) {
    using ascii::endsWithUpper;
    using ascii::equalsUpper;
    const qsizetype blank = find(tag, 0, ' ');
    const QByteArrayView name = blank < 0 ? tag : tag.first(blank);
    const QByteArrayView rest = blank < 0 ? QByteArrayView() : tag.sliced(blank + 1);

    TagAction action;
    auto link = [&](QStringView attribute, bool explore) {
        action.value = attributeValue(rest, attribute, encoding);
        if (!action.value.isEmpty()) {
            action.kind = TagAction::AddLink;
            action.explore = explore;
        }
    };

    if (equalsUpper(name, u"FRAME") || equalsUpper(name, u"IFRAME")) {
        link(u"SRC", true);
    } else if (equalsUpper(name, u"FORM")) {
        if (types[LinkTypes::Cgi])
            link(u"ACTION", false);
    } else if (equalsUpper(name, u"IMG")) {
        if (types[LinkTypes::Images] || types[LinkTypes::Cgi])
            link(u"SRC", false);
    } else if (equalsUpper(name, u"BGSOUND")) {
        if (types[LinkTypes::Sons])
            link(u"SRC", false);
    } else if (equalsUpper(name, u"BODY")) {
        if (types[LinkTypes::Images])
            link(u"BACKGROUND", false);
    } else if (equalsUpper(name, u"A")) {
        const QString value = attributeValue(rest, u"HREF", encoding);
        if (value.isEmpty() || value == u"Search.htm" || value == u"Recent.htm")
            return action;
        QStringView v(value);
        for (qsizetype i = 0; i < v.size(); ++i) {
            if (v[i] == u'#' || v[i] == u'?') {
                v.truncate(i);
                break;
            }
        }
        bool add = true;
        bool explore = false;
        if (endsWithUpper(v, u".HTM") || endsWithUpper(v, u"HTML"))
            explore = true;
        else if (endsWithUpper(v, u".GIF") || endsWithUpper(v, u".JPG") || endsWithUpper(v, u"JPEG"))
            add = types[LinkTypes::Images];
        else if (endsWithUpper(v, u".EXE"))
            add = types[LinkTypes::Programmes];
        if (add) {
            action.kind = TagAction::AddLink;
            action.value = value;
            action.explore = explore;
        }
    } else if (equalsUpper(name, u"BASE")) {
        action.value = attributeValue(rest, u"HREF", encoding);
        if (!action.value.isEmpty())
            action.kind = TagAction::SetBase;
    }
    return action;
}

} // namespace qs
