#include "explorer/address.h"

#include "explorer/ascii.h"
#include "lib/files.h"

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
    const qsizetype hash = link.indexOf(u'#');
    if (hash >= 0)
        link.truncate(hash);

    bool absolute = false;
    if (startsWithUpper(QStringView(link), u"FILE:")) {
        link.remove(0, 5);
        absolute = true;
    }
    if (startsWithUpper(QStringView(link), u"HTTP:")) {
        link.remove(0, 5);
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

    const QChar separator = sep().front();
    for (QChar& c : result)
        if (isLinkSeparator(c))
            c = separator;
    return result;
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
