#include "lib/pagetitle.h"

#include "lib/fileio.h"
#include "lib/text1252.h"

#include <QIODevice>

namespace qs {

namespace {

class TitleReader {
public:
    explicit TitleReader(TitleRules rules) : rules_(rules) {}

    // Feeds the lines of the next block of the file; false once the title is complete.
    bool feed(QByteArrayView data) {
        const qsizetype n = data.size();
        qsizetype start = 0;
        // The previous block ended with a CR whose LF may open this one.
        if (crEnded_ && n > 0 && data[0] == '\n')
            start = 1;
        crEnded_ = false;
        for (qsizetype i = start; i < n; ++i) {
            const char c = data[i];
            if (c != '\r' && c != '\n')
                continue;
            bool more;
            if (carry_.isEmpty()) {
                more = line(data.sliced(start, i - start));
            } else {
                carry_.append(data.sliced(start, i - start));
                more = line(carry_);
                carry_.clear();
            }
            if (!more)
                return false;
            if (c == '\r') {
                if (i + 1 < n && data[i + 1] == '\n')
                    ++i;
                else if (i + 1 == n)
                    crEnded_ = true;
            }
            start = i + 1;
        }
        if (start < n)
            carry_.append(data.sliced(start));
        return true;
    }

    // The end of what is read: an unfinished last line counts.
    QString finish() {
        if (!done_ && !carry_.isEmpty())
            line(carry_);
        carry_.clear();
        return fromWindows1252(trimmed(title_));
    }

private:
    bool isBlank(char c) const { return c == ' ' || (rules_ == TitleRules::Index && c == '\t'); }

    QByteArrayView trimmed(QByteArrayView v) const {
        qsizetype b = 0;
        qsizetype e = v.size();
        while (b < e && isBlank(v[b]))
            ++b;
        while (e > b && isBlank(v[e - 1]))
            --e;
        return v.sliced(b, e - b);
    }

    bool line(QByteArrayView l) {
        if (rules_ == TitleRules::Listing && trimmed(l).isEmpty())
            return true;
        if (const qsizetype p = indexOfAsciiNoCase(l, "<TITLE>"); p >= 0) {
            l = trimmed(l.sliced(p + 7));
            inside_ = true;
        }
        if (!inside_)
            return true;
        if (const qsizetype lt = l.indexOf('<'); lt >= 0) {
            l = l.first(lt);
            done_ = true;
        }
        title_.append(' ').append(trimmed(l));
        return !done_;
    }

    TitleRules rules_;
    QByteArray title_;
    QByteArray carry_; // an unfinished line between blocks
    bool inside_ = false;
    bool done_ = false;
    bool crEnded_ = false;
};

template <typename Read> QString readBlocks(TitleRules rules, Read read) {
    TitleReader reader(rules);
    char block[4096];
    qint64 total = 0;
    while (total < kTitlePrefix) {
        const qint64 got = read(block, std::min<qint64>(sizeof block, kTitlePrefix - total));
        if (got <= 0)
            break;
        total += got;
        if (!reader.feed(QByteArrayView(block, got)))
            break;
    }
    return reader.finish();
}

} // namespace

QString titleOf(QByteArrayView bytes, TitleRules rules) {
    TitleReader reader(rules);
    reader.feed(bytes.first(std::min<qsizetype>(bytes.size(), kTitlePrefix)));
    return reader.finish();
}

QString readTitle(QIODevice& device, TitleRules rules) {
    return readBlocks(rules, [&](char* data, qint64 size) { return device.read(data, size); });
}

QString readTitle(RegularFile& file, TitleRules rules, bool* readable) {
    bool failed = !file.isOpen();
    QString title;
    if (!failed)
        title = readBlocks(rules, [&](char* data, qint64 size) {
            const qint64 n = file.read(data, size);
            failed = failed || n < 0;
            return n;
        });
    if (readable)
        *readable = !failed;
    return title;
}

QString readTitle(const QString& path, TitleRules rules, bool* readable) {
    RegularFile file(path);
    return readTitle(file, rules, readable);
}

} // namespace qs
