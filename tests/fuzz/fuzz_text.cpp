// The text readers on any bytes: Windows-1252 (every byte round-trips, one character per byte), the
// line splitter, the strict UTF-8 decoder (against Qt's, which replaces what the strict one refuses), the
// encoding probe (same answer however the bytes are cut), the Windows-1252 case rules, and the file
// readers of pages and fragments (same text as the bytes decoded in memory, checked on a file now and then).
#include "fuzzcheck.h"

#include "generate/fragments.h"
#include "lib/text1252.h"
#include "tools/replace.h"

#include <QStringConverter>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    if (size == 0)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString text = qs::fromWindows1252(bytes);
    check(text.size() == bytes.size(), "one character per byte");
    check(qs::toWindows1252(text) == bytes, "every byte round-trips");
    QByteArray appended = "x";
    qs::appendWindows1252(appended, text);
    check(appended.sliced(1) == bytes, "appending is encoding");

    const QStringList lines = qs::splitLines(text);
    qsizetype ends = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        ends += text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
    const bool lastOpen = !text.isEmpty() && text.back() != u'\n' && text.back() != u'\r';
    check(lines.size() == ends + lastOpen, "one line per line end, plus an unfinished last one");
    for (const QString& line : lines)
        check(!line.contains(u'\r') && !line.contains(u'\n'), "no line end inside a line");
    check(qs::fromWindows1252(qs::encodeLines(lines)) ==
              lines.join(QStringLiteral("\r\n")) + (lines.isEmpty() ? "" : "\r\n"),
          "lines written with CR LF");

    const QString upper = qs::upper1252(text);
    check(upper.size() == text.size(), "upper case keeps the length");
    check(qs::upper1252(upper) == upper, "upper case is stable");
    const qsizetype half = text.size() / 2;
    const int order = qs::compareUpper1252(QStringView(text).first(half), QStringView(text).sliced(half));
    const int expected = QStringView(upper).first(half).compare(QStringView(upper).sliced(half));
    check((order < 0) == (expected < 0) && (order == 0) == (expected == 0), "order of the upper forms");

    // A short word taken from the input, found without ASCII case by the fast search and by hand.
    QByteArray asciiUpper = bytes.toByteArray();
    for (char& c : asciiUpper)
        c = qs::asciiUpper(c);
    const QByteArray word = asciiUpper.last(std::min<qsizetype>(bytes.size(), 1 + data[0] % 3));
    check(qs::indexOfAsciiNoCase(bytes, word) == asciiUpper.indexOf(word), "ASCII-blind search");

    const std::optional<QString> strict = qs::decodeStrictUtf8(bytes);
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString loose = decoder.decode(bytes);
    if (strict)
        check(*strict == loose || (bytes.startsWith("\xEF\xBB\xBF") && *strict == QChar(0xFEFF) + loose),
              "strict UTF-8 agrees with Qt");

    qs::EncodingProbe whole, cut;
    whole.feed(bytes);
    const qsizetype step = 1 + qsizetype(data[size / 2] % 7);
    for (qsizetype i = 0; i < bytes.size(); i += step)
        cut.feed(bytes.sliced(i, std::min(step, bytes.size() - i)));
    check(whole.result() == cut.result(), "the encoding does not depend on the chunks");
    const QString joined = lines.isEmpty() ? QString() : "\r\n" + lines.join(QStringLiteral("\r\n"));
    check(qs::fragmentText(bytes) == joined, "a fragment is CR LF before each line");
    // The file readers on one input in 256: what they add to the bytes is the opening and reading.
    if (!fuzz::everyNth(256))
        return 0;
    const QString path = fuzz::scratchFolder() + QStringLiteral("page.htm");
    fuzz::writeFile(path, bytes.toByteArray());
    QString error;
    check(qs::readText(path, &error) == text && error.isEmpty(), "a file reads as its bytes decoded");
    check(qs::readFragment(path, &error) == joined, "a fragment file reads as its bytes");
    return 0;
}
