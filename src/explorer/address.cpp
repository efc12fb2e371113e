#include "explorer/address.h"

#include "explorer/ascii.h"
#include "explorer/encoding.h"
#include "lib/files.h"
#include "lib/text1252.h"

#include <QVarLengthArray>

namespace qs {

namespace {

bool isLinkSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

using ascii::endsWithUpper;
using ascii::equalsUpper;
using ascii::indexOfUpper;
using ascii::startsWithUpper;

// The base folder one level up: without its last character, then up to and including the separator
// before it. A base that has no folder left above it stays as it is.
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

void dropLastFolder(QString& base) {
    for (qsizetype i = base.size() - 2; i >= 0; --i) {
        if (isLinkSeparator(base[i])) {
            base.truncate(i + 1);
            return;
        }
    }
}

} // namespace

QString AdresseComplète(const QString& base, const QString& linkIn) {
    QString link = linkIn;
    // A query, like a fragment, is not part of the file's name.
    for (qsizetype i = 0; i < link.size(); ++i) {
        if (link[i] == u'#' || link[i] == u'?') {
            link.truncate(i);
            break;
        }
    }
    link = percentDecoded(link);

    bool absolute = false;
    if (startsWithUpper(QStringView(link), u"FILE:")) {
        link.remove(0, 5);
        absolute = true;
    }
    if (startsWithUpper(QStringView(link), u"HTTP:")) {
        link.remove(0, 5);
        absolute = true;
    } else if (startsWithUpper(QStringView(link), u"HTTPS:")) {
        link.remove(0, 6);
        absolute = true;
    }
    if (link.startsWith(u"//")) {
        link.remove(0, 2);
        absolute = true;
    }
    if (!link.isEmpty() && isLinkSeparator(link.front()))
        absolute = true;

    QString result;
    if (absolute) {
        result = link;
    } else {
        QString folder = base;
        qsizetype start = 0; // leading "../" already consumed, read by index
        while (link.size() - start >= 3 && link[start] == u'.' && link[start + 1] == u'.' &&
               isLinkSeparator(link[start + 2])) {
            start += 3;
            dropLastFolder(folder);
        }
        result = folder;
        result += QStringView(link).mid(start);
    }
    return normalisedPath(result);
}

QString percentDecoded(const QString& text) {
    if (!text.contains(u'%'))
        return text;
    QString out;
    out.reserve(text.size());
    QByteArray
        run; // the bytes of consecutive escapes, decoded together (one UTF-8 character may take several)
    auto flush = [&] {
        if (run.isEmpty())
            return;
        out += isValidUtf8(run) ? QString::fromUtf8(run) : fromWindows1252(run);
        run.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int hi = i + 2 < n ? hexValue(text[i + 1]) : -1;
        const int lo = hi >= 0 ? hexValue(text[i + 2]) : -1;
        const int byte = hi * 16 + lo;
        // A separator or a NUL written as an escape stays written: it would change the path's folders.
        if (text[i] == u'%' && lo >= 0 && byte != 0 && byte != '/' && byte != '\\') {
            run.append(char(byte));
            i += 2;
            continue;
        }
        flush();
        out += text[i];
    }
    flush();
    return out;
}

QString normalisedPath(const QString& path) {
    const QChar separator = sep().front();
    const qsizetype n = path.size();
    // Most paths have nothing to remove: they are returned as they are, without a copy.
    bool clean = true;
    for (qsizetype i = 0; i < n && clean; ++i) {
        if (path[i] == u'\\' || (path[i] == u'/' && separator != u'/'))
            clean = false;
        else if (path[i] == u'/' || i == 0) {
            const qsizetype s = path[i] == u'/' ? i + 1 : i;
            // "//", "./" or "../" (or a final "." or "..") after a separator or at the start
            const bool doubled = s < n && path[s] == u'/' && i > 0;
            const bool dotted =
                s < n && path[s] == u'.' &&
                (s + 1 == n || path[s + 1] == u'/' || path[s + 1] == u'\\' ||
                 (path[s + 1] == u'.' && (s + 2 == n || path[s + 2] == u'/' || path[s + 2] == u'\\')));
            if (doubled || dotted)
                clean = false;
        }
    }
    if (clean)
        return path;

    // The folders of the path, without "." and with each ".." taking the folder before it away.
    // Leading separators (a root, a network share) and a trailing one (a folder) are kept; so are ".."
    // that have nothing left to take away.
    auto isDots = [](QStringView part, qsizetype count) {
        return part.size() == count && part[0] == u'.' && (count == 1 || part[1] == u'.');
    };
    qsizetype lead = 0;
    while (lead < n && isLinkSeparator(path[lead]))
        ++lead;
    const bool trailing = n > lead && isLinkSeparator(path.back());
    QVarLengthArray<QStringView, 32> parts;
    qsizetype from = lead;
    while (from < n) {
        qsizetype to = from;
        while (to < n && !isLinkSeparator(path[to]))
            ++to;
        const QStringView part = QStringView(path).sliced(from, to - from);
        if (isDots(part, 2)) {
            if (!parts.isEmpty() && !isDots(parts.back(), 2))
                parts.removeLast();
            else if (lead == 0)
                parts.append(part);
        } else if (!part.isEmpty() && !isDots(part, 1)) {
            parts.append(part);
        }
        from = to + 1;
    }
    QString out(lead, separator);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += separator;
        out += parts[i];
    }
    if (trailing && !parts.isEmpty())
        out += separator;
    return out;
}

QString iconKeyFor(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    // No dot after the first character: everything after the first character.
    const QStringView ext = QStringView(path).mid(qMax<qsizetype>(dot, 0) + 1);
    // Keys of static text: a node holds one without a copy.
    static const struct {
        const char16_t* extension;
        QString key;
    } table[] = {
        {u"HTM", QStringLiteral("htm")},   {u"HTML", QStringLiteral("htm")}, {u"SHTM", QStringLiteral("htm")},
        {u"SHTML", QStringLiteral("htm")}, {u"MID", QStringLiteral("mid")},  {u"WAV", QStringLiteral("wav")},
        {u"RA", QStringLiteral("ra")},     {u"GIF", QStringLiteral("gif")},  {u"JPG", QStringLiteral("jpg")},
        {u"JPEG", QStringLiteral("jpg")},  {u"BMP", QStringLiteral("bmp")},  {u"EXE", QStringLiteral("exe")},
        {u"TXT", QStringLiteral("txt")},
    };
    for (const auto& row : table)
        if (equalsUpper(ext, QStringView(row.extension)))
            return row.key;
    if (indexOfUpper(QStringView(path), u"CGI") >= 0)
        return QStringLiteral("cgi");
    return QStringLiteral("?");
}

QString baseKey(const QString& key) {
    if (!key.endsWith(u'>'))
        return key;
    const qsizetype lt = key.lastIndexOf(u'<');
    return lt < 0 ? key : key.left(lt);
}

int occurrence(const QString& key) {
    if (!key.endsWith(u'>'))
        return 0;
    const qsizetype lt = key.lastIndexOf(u'<');
    if (lt < 0)
        return 0;
    bool ok = false;
    const int n = QStringView(key).sliced(lt + 1, key.size() - lt - 2).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

QString occurrenceKey(const QString& base, int n) {
    return n <= 0 ? base : base + u'<' + QString::number(n) + u'>';
}

bool isPagePath(QStringView path) {
    return endsWithUpper(path, u".HTM") || endsWithUpper(path, u".HTML") || endsWithUpper(path, u".SHTM") ||
           endsWithUpper(path, u".SHTML");
}

} // namespace qs
