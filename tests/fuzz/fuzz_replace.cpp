// The replacement engine against a plain reference written here, character by character: same count,
// same bytes out, same occurrences offered to the confirmation. The input is flags, then the sought
// text, the replacement (both UTF-8) and the content, separated by NUL bytes. The content is read in
// pieces of a size the flags choose, with a size hint that may be wrong (a file that grows while it is
// read), so that lines longer than a block are cut.
#include "fuzzcheck.h"

#include "lib/text1252.h"
#include "tools/replace.h"

#include <vector>

namespace {

struct Collect final : qs::Replacer::Output {
    explicit Collect(const QByteArray& content) : in(content) {}
    bool begin(qint64 unchangedStart) override {
        fuzz::check(unchangedStart >= 0 && unchangedStart <= in.size(),
                    "the unchanged start is in the content");
        out = in.first(unchangedStart);
        return true;
    }
    bool write(const char* data, qint64 size) override {
        out.append(data, size);
        return true;
    }
    const QByteArray& in;
    QByteArray out;
};

bool same(QChar a, QChar b, bool caseSensitive) {
    return a == b ||
           (!caseSensitive && !a.isSurrogate() && !b.isSurrogate() && qs::isWindows1252(a.unicode()) &&
            qs::isWindows1252(b.unicode()) && qs::upper1252(a) == qs::upper1252(b));
}

struct Expected {
    qint64 count = 0;
    QString text;
    QStringList offered; // each occurrence as the confirmation sees it
};

// Left to right, never overlapping; with `every` false, only the even-numbered occurrences are taken.
Expected reference(const QString& text, const QString& find, const QString& replacement, bool caseSensitive,
                   bool every) {
    Expected e;
    qsizetype seen = 0;
    for (qsizetype i = 0; i < text.size();) {
        bool match = i + find.size() <= text.size();
        for (qsizetype k = 0; match && k < find.size(); ++k)
            match = same(text[i + k], find[k], caseSensitive);
        if (!match) {
            e.text += text[i++];
            continue;
        }
        e.offered.append(text.mid(i, find.size()));
        if (every || seen++ % 2 == 0) {
            e.text += replacement;
            ++e.count;
        } else {
            e.text += text.mid(i, find.size());
        }
        i += find.size();
    }
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const qsizetype a = input.indexOf('\0');
    const qsizetype b = a < 0 ? -1 : input.indexOf('\0', a + 1);
    if (b < 0)
        return 0;
    qs::ReplaceRequest request;
    request.find = QString::fromUtf8(input.first(a));
    request.replacement = QString::fromUtf8(input.sliced(a + 1, b - a - 1));
    request.caseSensitive = flags & 1;
    const bool askEvery = !(flags & 2);
    const bool asking = flags & 4;
    const QByteArray content = input.sliced(b + 1);
    const qint64 piece = 1 + (flags >> 3);                       // 1 to 32 bytes per read
    const qint64 hint = (flags & 0x80) ? piece : content.size(); // a wrong hint: the file grew

    qs::EncodingProbe probe;
    probe.feed(content);
    const qs::FileEncoding encoding = probe.result();
    const qs::Replacer replacer(request);

    qint64 offset = 0;
    const qs::Replacer::Read read = [&](char* to, qint64 max) {
        const qint64 n = std::min({max, piece, qint64(content.size()) - offset});
        std::memcpy(to, content.constData() + offset, size_t(n));
        offset += n;
        return n;
    };
    QStringList offered;
    qsizetype asked = 0;
    const qs::Replacer::Ask ask = [&](const QString& line, qsizetype start, qsizetype length) {
        check(start >= 0 && length > 0 && start + length <= line.size(), "the occurrence lies in its line");
        offered.append(line.mid(start, length));
        return askEvery || asked++ % 2 == 0;
    };
    Collect output(content);
    const QByteArray& out = output.out;
    const qs::Replacer::Result result =
        replacer.run(encoding, read, &output, asking ? ask : qs::Replacer::Ask(), {}, hint);
    check(!result.readError && !result.writeError, "no error in memory");
    check((result.replaced == 0) == out.isNull(), "output only when something is replaced");

    // The reference needs the content's characters: strict UTF-8, or Windows-1252 where every byte is one.
    const bool utf8 = encoding == qs::FileEncoding::Utf8;
    const std::optional<QString> text = utf8 ? qs::decodeStrictUtf8(content) : qs::fromWindows1252(content);
    if (!text)
        return 0;
    const bool searchable =
        !request.find.isEmpty() && !request.find.contains(u'\r') && !request.find.contains(u'\n') &&
        (utf8 || std::all_of(request.find.begin(), request.find.end(),
                             [](QChar c) { return !c.isSurrogate() && qs::isWindows1252(c.unicode()); }));
    if (!searchable) {
        check(result.replaced == 0, "nothing found that cannot be");
        return 0;
    }
    const Expected e =
        reference(*text, request.find, request.replacement, request.caseSensitive, !asking || askEvery);
    check(result.replaced == e.count, "the count of the reference");
    if (e.count > 0)
        check(out == (utf8 ? e.text.toUtf8() : qs::toWindows1252(e.text)), "the content of the reference");
    if (asking)
        check(offered == e.offered, "the occurrences offered are the reference's");
    return 0;
}
