#include "lib/text1252.h"

#include <array>

namespace qs {
namespace {

// Bytes 80 to 9F. Undefined positions keep the control character of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *d++ = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

bool isWindows1252(char32_t c) {
    return byteFor(c) >= 0;
}

QByteArray toWindows1252(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        const int b = byteFor(c);
        if (b >= 0)
            out.append(char(b));
        else
            out.append("&#").append(QByteArray::number(uint(c))).append(';');
    }
    return out;
}

QChar upper1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') ? QChar(u - 32) : c;
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
        return QChar(u - 32);
    switch (u) {
    case 0xFF:
        return QChar(0x0178);
    case 0x0161:
        return QChar(0x0160);
    case 0x0153:
        return QChar(0x0152);
    case 0x017E:
        return QChar(0x017D);
    default:
        break;
    }
    if (byteFor(u) >= 0 || c.isSurrogate())
        return c;
    // Outside the code page: a one-to-one mapping keeps the length.
    const QChar up = c.toUpper();
    return up;
}

QString upper1252(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (QChar c : text)
        *d++ = upper1252(c);
    return out;
}

QStringList splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start).toString());
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

qsizetype indexOfAsciiNoCase(QByteArrayView text, QByteArrayView upperWord, qsizetype from) {
    const qsizetype w = upperWord.size();
    if (w == 0)
        return from <= text.size() ? from : -1;
    for (qsizetype i = std::max<qsizetype>(from, 0); i + w <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < w && asciiUpper(text[i + k]) == upperWord[k])
            ++k;
        if (k == w)
            return i;
    }
    return -1;
}

void appendWindows1252(QByteArray& out, QStringView text) {
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

QByteArray encodeLines(const QStringList& lines) {
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    bytes.reserve(size);
    for (const QString& l : lines) {
        appendWindows1252(bytes, l);
        bytes.append("\r\n");
    }
    return bytes;
}

std::optional<QString> readText(const QString& path, QString* error) {
    FileError why;
    const auto bytes = readWholeFile(path, kMaxWholeFile, &why);
    if (!bytes) {
        if (error)
            *error = fileErrorMessage(path, why);
        return std::nullopt;
    }
    return fromWindows1252(*bytes);
}

std::optional<QStringList> readLines(const QString& path, QString* error) {
    auto text = readText(path, error);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error, const WriteOptions& options) {
    FileError why;
    if (writeFileWhole(path, bytes, options, &why))
        return true;
    if (error)
        *error = fileErrorMessage(path, why);
    return false;
}

bool writeText(const QString& path, QStringView text, QString* error) {
    return writeBytes(path, toWindows1252(text), error);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error, const WriteOptions& options) {
    return writeBytes(path, encodeLines(lines), error, options);
}

int compareUpper1252(QStringView a, QStringView b) {
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = upper1252(a[i]).unicode();
        const char16_t y = upper1252(b[i]).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace qs
