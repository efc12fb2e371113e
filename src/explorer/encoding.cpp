#include "explorer/encoding.h"

#include "explorer/ascii.h"
#include "lib/text1252.h"

namespace qs {

bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int k = 1; k <= more; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (p[k] & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not UTF-8.
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

PageEncoding pageEncoding(QByteArrayView page) {
    if (page.startsWith("\xEF\xBB\xBF"))
        return PageEncoding::Utf8;
    const QByteArrayView head = page.first(qMin<qsizetype>(page.size(), 1024));
    // "charset" in any case: "CHARSET" in old pages, "charSet" from some generators.
    qsizetype at = -1;
    for (qsizetype i = 0; i + 7 <= head.size() && at < 0; ++i)
        if ((head[i] | 0x20) == 'c' && ascii::startsWithUpper(head.sliced(i), u"CHARSET"))
            at = i;
    if (at < 0)
        return PageEncoding::Guess;
    qsizetype p = at + 7;
    while (p < head.size() && (head[p] == ' ' || head[p] == '=' || head[p] == '"' || head[p] == '\''))
        ++p;
    const QByteArrayView name = head.sliced(p);
    if (ascii::startsWithUpper(name, u"UTF-8") || ascii::startsWithUpper(name, u"UTF8"))
        return PageEncoding::Utf8;
    return PageEncoding::Windows1252;
}

bool readsAsUtf8(QByteArrayView bytes, PageEncoding encoding) {
    switch (encoding) {
    case PageEncoding::Utf8:
        return true;
    case PageEncoding::Windows1252:
        return false;
    case PageEncoding::Guess:
        break;
    }
    return isValidUtf8(bytes);
}

QString decodePageText(QByteArrayView bytes, PageEncoding encoding) {
    return readsAsUtf8(bytes, encoding) ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

QByteArray encodePageText(QStringView text, bool utf8) {
    return utf8 ? text.toUtf8() : toWindows1252(text);
}

} // namespace qs
