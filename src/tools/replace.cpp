#include "tools/replace.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"
#include "tools/fileops.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace qs {
namespace {

// Content goes through the replacement in blocks of this size; a file up to kWhole is read once.
constexpr qint64 kBlock = 1 << 20;
constexpr qint64 kWhole = 4 << 20;
// A declaration of the encoding is looked for in the first bytes only.
constexpr qsizetype kHead = 64 << 10;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

struct LineView {
    QString text;
    qsizetype start = 0;
    qsizetype length = 0; // in characters: in UTF-8 the occurrence's bytes are more than its characters
};

// The line holding the occurrence at `p` as it stands: the replacements already accepted in it made.
// Only built when the user is asked, so its cost does not matter.
template <typename Decode>
LineView currentLine(QByteArrayView original, qsizetype p, qsizetype length,
                     const std::vector<qsizetype>& accepted, const QString& replacement, Decode decode) {
    qsizetype begin = p;
    while (begin > 0 && !isLineEnd(original[begin - 1]))
        --begin;
    qsizetype end = p + length;
    while (end < original.size() && !isLineEnd(original[end]))
        ++end;
    LineView line;
    qsizetype cursor = begin;
    for (auto it = std::lower_bound(accepted.begin(), accepted.end(), begin); it != accepted.end(); ++it) {
        line.text += decode(original.sliced(cursor, *it - cursor));
        line.text += replacement;
        cursor = *it + length;
    }
    line.text += decode(original.sliced(cursor, p - cursor));
    line.start = line.text.size();
    line.length = decode(original.sliced(p, length)).size();
    line.text += decode(original.sliced(p, end - p));
    return line;
}

// Counts line ends (CR LF, LF or CR) in s[from, to); `afterCr` carries a CR that ended the last call.
qint64 countLineEnds(const char* s, qsizetype from, qsizetype to, bool& afterCr) {
    qint64 n = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char c = s[i];
        if (c == '\n') {
            n += afterCr ? 0 : 1;
            afterCr = false;
        } else if (c == '\r') {
            ++n;
            afterCr = true;
        } else {
            afterCr = false;
        }
    }
    return n;
}

// Windows-1252 upper case of the characters that have one in the code page and keep their UTF-8
// length (all of them): the same folding for the bytes of a Windows-1252 file and for the code points
// below U+0180 of a UTF-8 file. A character outside the code page folds to nothing but itself.
struct Folding {
    std::array<char, 256> bytes{};
    std::array<char16_t, 0x180> points{};

    Folding() {
        for (char16_t c = 0; c < 0x180; ++c)
            points[c] = c;
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QChar c = fromWindows1252(QByteArrayView(&byte, 1)).front();
            const QChar upper = upper1252(c);
            const QByteArray encoded = toWindows1252(QStringView(&upper, 1));
            const bool fits = encoded.size() == 1;
            bytes[b] = fits ? encoded.front() : byte;
            if (fits && c.unicode() < 0x180 && upper.unicode() < 0x180 &&
                (c.unicode() < 0x80) == (upper.unicode() < 0x80))
                points[c.unicode()] = upper.unicode();
        }
    }

    void fold1252(const char* s, char* d, qsizetype n) const {
        for (qsizetype i = 0; i < n; ++i)
            d[i] = bytes[static_cast<unsigned char>(s[i])];
    }

    void foldUtf8(const char* s, char* d, qsizetype n) const {
        const auto* u = reinterpret_cast<const unsigned char*>(s);
        for (qsizetype i = 0; i < n;) {
            const unsigned char c = u[i];
            if (c < 0x80) {
                d[i] = bytes[c];
                ++i;
            } else if (c >= 0xC2 && c <= 0xC5 && i + 1 < n && (u[i + 1] & 0xC0) == 0x80) {
                const char16_t f = points[((c & 0x1F) << 6) | (u[i + 1] & 0x3F)];
                d[i] = char(0xC0 | (f >> 6));
                d[i + 1] = char(0x80 | (f & 0x3F));
                i += 2;
            } else {
                d[i] = char(c);
                ++i;
            }
        }
    }
};

const Folding& folding() {
    static const Folding f;
    return f;
}

// The length of the valid UTF-8 in `s` and whether what follows is only an unfinished sequence.
bool validUtf8(const unsigned char* s, qsizetype n, qsizetype* complete) {
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length;
        char32_t cp;
        char32_t least;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2, cp = c & 0x1F, least = 0x80;
        else if ((c & 0xF0) == 0xE0)
            length = 3, cp = c & 0x0F, least = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, cp = c & 0x07, least = 0x10000;
        else
            return false;
        for (int k = 1; k < length; ++k) {
            if (i + k >= n) {
                *complete = i;
                return true;
            }
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    *complete = n;
    return true;
}

bool hasHighByte(const char* s, qsizetype n) {
    // Branch-free so that the compiler can vectorise it: most files are plain ASCII.
    unsigned char acc = 0;
    for (qsizetype i = 0; i < n; ++i)
        acc |= static_cast<unsigned char>(s[i]);
    return acc & 0x80;
}

// The charset a text declares in its first bytes: "charset=utf-8", "charset="UTF-8"", "@charset
// "utf-8"". Empty when none.
QByteArray declaredCharset(const QByteArray& head) {
    const QByteArray lower = head.toLower();
    for (qsizetype at = lower.indexOf("charset"); at >= 0; at = lower.indexOf("charset", at + 7)) {
        qsizetype i = at + 7;
        while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t'))
            ++i;
        if (i < lower.size() && lower[i] == '=')
            ++i;
        while (i < lower.size() &&
               (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '"' || lower[i] == '\''))
            ++i;
        const qsizetype start = i;
        while (i < lower.size() &&
               (std::isalnum(static_cast<unsigned char>(lower[i])) || lower[i] == '-' || lower[i] == '_'))
            ++i;
        if (i > start)
            return lower.mid(start, i - start);
    }
    return {};
}

} // namespace

void EncodingProbe::feed(QByteArrayView chunk) {
    if (head_.size() < kHead)
        head_.append(chunk.first(std::min(chunk.size(), kHead - head_.size())));
    if (!valid_)
        return;
    if (pending_.isEmpty() && !hasHighByte(chunk.data(), chunk.size()))
        return;
    highByte_ = true;
    QByteArray joined = pending_ + chunk.toByteArray();
    qsizetype complete = 0;
    valid_ = validUtf8(reinterpret_cast<const unsigned char*>(joined.constData()), joined.size(), &complete);
    pending_ = valid_ ? joined.mid(complete) : QByteArray();
}

FileEncoding EncodingProbe::result() const {
    if (head_.startsWith("\xEF\xBB\xBF"))
        return FileEncoding::Utf8;
    const QByteArray declared = declaredCharset(head_);
    if (!declared.isEmpty())
        return declared == "utf-8" || declared == "utf8" ? FileEncoding::Utf8 : FileEncoding::Windows1252;
    return valid_ && highByte_ && pending_.isEmpty() ? FileEncoding::Utf8 : FileEncoding::Windows1252;
}

bool isHtmlName(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    return ext == u"htm" || ext == u"html" || ext == u"shtml" || ext == u"xhtml";
}

std::optional<QString> decodeStrictUtf8(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* e = s + bytes.size();
    while (s < e) {
        const unsigned char c = *s;
        if (c < 0x80) {
            *d++ = QChar(c);
            ++s;
            continue;
        }
        int length;
        char32_t cp;
        char32_t least;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2, cp = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, cp = c & 0x0F, least = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, cp = c & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (e - s < length)
            return std::nullopt;
        for (int k = 1; k < length; ++k) {
            if ((s[k] & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (s[k] & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        if (cp >= 0x10000) {
            *d++ = QChar(QChar::highSurrogate(cp));
            *d++ = QChar(QChar::lowSurrogate(cp));
        } else {
            *d++ = QChar(char16_t(cp));
        }
        s += length;
    }
    out.resize(d - out.constData());
    return out;
}

Replacer::Replacer(const ReplaceRequest& request) : request_(request) {
    const QString& find = request.find;
    // Lines are searched one by one: a sought text holding a line end can never be found.
    searchable_ = !find.isEmpty() && !find.contains(u'\r') && !find.contains(u'\n');
    const Folding& f = folding();

    // In a Windows-1252 file every byte is a character of the code page: a sought text with another
    // character cannot occur there (and must not match its numeric reference).
    find1252_ = searchable_ && std::all_of(find.begin(), find.end(), [](QChar c) {
                    return !c.isSurrogate() && isWindows1252(c.unicode());
                });
    if (find1252_) {
        needle1252_ = toWindows1252(find);
        if (!request.caseSensitive)
            f.fold1252(needle1252_.constData(), needle1252_.data(), needle1252_.size());
    }
    needleUtf8_ = find.toUtf8();
    if (!request.caseSensitive)
        f.foldUtf8(needleUtf8_.constData(), needleUtf8_.data(), needleUtf8_.size());

    replacement1252_ = toWindows1252(request.replacement);
    replacementFits1252_ = std::all_of(request.replacement.begin(), request.replacement.end(), [](QChar c) {
        return !c.isSurrogate() && isWindows1252(c.unicode());
    });
    replacementUtf8_ = request.replacement.toUtf8();
}

Replacer::Result Replacer::run(FileEncoding encoding, const Read& read, Output* output, const Ask& ask,
                               const std::function<void(const LineChange&)>& changes, qint64 sizeHint) const {
    Result result;
    const bool utf8 = encoding == FileEncoding::Utf8;
    if (!searchable_ || (!utf8 && !find1252_))
        return result;
    const QByteArray& needle = utf8 ? needleUtf8_ : needle1252_;
    const QByteArray& replacement = utf8 ? replacementUtf8_ : replacement1252_;
    const qsizetype length = needle.size();
    const std::string_view sought(needle.constData(), size_t(length));
    const auto decode = [utf8](QByteArrayView v) { return utf8 ? QString::fromUtf8(v) : fromWindows1252(v); };
    const Folding& f = folding();

    QByteArray buffer;
    QByteArray folded;
    std::vector<qsizetype> accepted;
    qint64 bufferStart = 0; // offset of buffer[0] in the content
    qint64 line = 1;        // number of the line at `counted`
    qsizetype counted = 0;  // line ends before this offset of the buffer are counted
    bool afterCr = false;
    bool started = false;
    bool end = false;
    for (;;) {
        if (!end) {
            const qint64 want = sizeHint >= 0 && sizeHint < kBlock ? sizeHint + 1 : kBlock;
            const qsizetype old = buffer.size();
            buffer.resize(old + want);
            const qint64 n = read(buffer.data() + old, want);
            if (n < 0) {
                result.readError = true;
                return result;
            }
            buffer.resize(old + n);
            end = n == 0;
        }
        if (buffer.isEmpty()) {
            if (end)
                break;
            continue;
        }
        // The part searched now: up to the last line end, so that no occurrence is cut; a line longer
        // than a block is cut where no occurrence can be lost (the tail that could start one stays).
        qsizetype unitEnd = buffer.size();
        if (!end) {
            while (unitEnd > 0 && !isLineEnd(buffer[unitEnd - 1]))
                --unitEnd;
            if (unitEnd == 0) {
                if (buffer.size() < std::min(kBlock, sizeHint < 0 ? kBlock : sizeHint + 1))
                    continue; // a line is cut only when longer than a block
                unitEnd = buffer.size() - (length - 1);
                while (utf8 && unitEnd > 0 && (static_cast<unsigned char>(buffer[unitEnd]) & 0xC0) == 0x80)
                    --unitEnd;
                if (unitEnd <= 0)
                    continue;
            }
        }
        std::string_view haystack(buffer.constData(), size_t(buffer.size()));
        if (!request_.caseSensitive) {
            folded.resize(buffer.size());
            if (utf8)
                f.foldUtf8(buffer.constData(), folded.data(), buffer.size());
            else
                f.fold1252(buffer.constData(), folded.data(), buffer.size());
            haystack = std::string_view(folded.constData(), size_t(folded.size()));
        }
        accepted.clear();
        qsizetype consumed = unitEnd;
        for (size_t from = 0;;) {
            const size_t found = haystack.find(sought, from);
            if (found == std::string_view::npos || qsizetype(found) >= unitEnd)
                break;
            const auto p = qsizetype(found);
            from = found + size_t(length);
            consumed = std::max(consumed, qsizetype(from));
            if (ask) {
                const LineView view =
                    currentLine(QByteArrayView(buffer), p, length, accepted, request_.replacement, decode);
                if (!ask(view.text, view.start, view.length))
                    continue;
            }
            accepted.push_back(p);
        }

        if (!accepted.empty()) {
            result.replaced += qint64(accepted.size());
            if (output && !started) {
                if (!output->begin(bufferStart)) {
                    result.writeError = true;
                    return result;
                }
                started = true;
            }
        }
        if (started) {
            qsizetype cursor = 0;
            bool ok = true;
            for (const qsizetype p : accepted) {
                ok = ok && output->write(buffer.constData() + cursor, p - cursor) &&
                     output->write(replacement.constData(), replacement.size());
                cursor = p + length;
            }
            if (!ok || !output->write(buffer.constData() + cursor, consumed - cursor)) {
                result.writeError = true;
                return result;
            }
        }
        if (changes) {
            // Each changed line once, with its number, as it was and as it becomes.
            for (size_t k = 0; k < accepted.size();) {
                qsizetype begin = accepted[k];
                while (begin > 0 && !isLineEnd(buffer[begin - 1]))
                    --begin;
                qsizetype stop = accepted[k] + length;
                while (stop < consumed && !isLineEnd(buffer[stop]))
                    ++stop;
                line += countLineEnds(buffer.constData(), counted, begin, afterCr);
                counted = begin;
                QByteArray after;
                qsizetype cursor = begin;
                for (; k < accepted.size() && accepted[k] < stop; ++k) {
                    after += QByteArrayView(buffer).sliced(cursor, accepted[k] - cursor);
                    after += replacement;
                    cursor = accepted[k] + length;
                }
                after += QByteArrayView(buffer).sliced(cursor, stop - cursor);
                changes({line, decode(QByteArrayView(buffer).sliced(begin, stop - begin)), decode(after)});
            }
            line += countLineEnds(buffer.constData(), counted, consumed, afterCr);
            counted = 0;
        }
        buffer.remove(0, consumed);
        bufferStart += consumed;
        if (end && buffer.isEmpty())
            break;
    }
    return result;
}

namespace {

// The new content in memory (tests).
class MemoryOutput final : public Replacer::Output {
public:
    MemoryOutput(const QByteArray& in, QByteArray& out) : in_(in), out_(out) {}
    bool begin(qint64 unchangedStart) override {
        out_ = in_.first(unchangedStart);
        return true;
    }
    bool write(const char* data, qint64 size) override {
        out_.append(data, size);
        return true;
    }

private:
    const QByteArray& in_;
    QByteArray& out_;
};

Replacer::Read memoryReader(const QByteArray& content, qint64& offset) {
    return [&content, &offset](char* data, qint64 max) {
        const qint64 n = std::min<qint64>(max, content.size() - offset);
        std::memcpy(data, content.constData() + offset, size_t(n));
        offset += n;
        return n;
    };
}

} // namespace

qint64 Replacer::apply(const QByteArray& content, QByteArray& out, const Ask& ask) const {
    EncodingProbe probe;
    probe.feed(content);
    qint64 offset = 0;
    MemoryOutput output(content, out);
    return run(probe.result(), memoryReader(content, offset), &output, ask).replaced;
}

namespace {

QString stoppedText(const QString& file) {
    return CrLf(2) +
           QStringLiteral("Le remplacement est arrêté ; le fichier \"%1\" n'a pas été modifié.").arg(file);
}

// A file read through an InputFile: whole when small (read once), else in blocks, twice (once to learn
// its encoding).
class Source {
public:
    // Opens `file`; through a link, the file it points to, whose path goes to *target.
    InputFile::Result open(const QString& file, QString* target) {
        *target = file;
        InputFile::Result r = in_.open(file, false);
        if (r == InputFile::Result::Link) {
            *target = QFileInfo(file).canonicalFilePath();
            r = target->isEmpty() ? InputFile::Result::Unreadable : in_.open(*target);
        }
        if (r != InputFile::Result::Ok)
            return r;
        const qint64 size = in_.stamp().size;
        if (size < kWhole) {
            whole_.resize(size + 1);
            qint64 got = 0;
            // A short read of an ordinary file is its end.
            for (const qint64 want = whole_.size(); got < want;) {
                const qint64 n = in_.read(whole_.data() + got, want - got);
                if (n < 0)
                    return InputFile::Result::Unreadable;
                got += n;
                if (n == 0 || got < want)
                    break;
            }
            inMemory_ = got <= size; // grown since: read it as a big one
            whole_.resize(inMemory_ ? got : 0);
            if (!inMemory_ && !in_.rewind())
                return InputFile::Result::Unreadable;
        }
        EncodingProbe probe;
        if (inMemory_) {
            probe.feed(whole_);
        } else {
            QByteArray block(kBlock, Qt::Uninitialized);
            for (qint64 n; (n = in_.read(block.data(), kBlock)) != 0;) {
                if (n < 0)
                    return InputFile::Result::Unreadable;
                probe.feed(QByteArrayView(block.constData(), n));
            }
            if (!in_.rewind())
                return InputFile::Result::Unreadable;
        }
        encoding_ = probe.result();
        return r;
    }

    Replacer::Read reader() {
        offset_ = 0;
        if (inMemory_)
            return memoryReader(whole_, offset_);
        in_.rewind();
        return [this](char* data, qint64 max) { return in_.read(data, max); };
    }
    // Copies the first `size` bytes of the file to `out`.
    bool copyStart(qint64 size, WorkFile& out) {
        if (inMemory_)
            return out.write(whole_.constData(), size);
        QByteArray block(std::min(size, kBlock), Qt::Uninitialized);
        for (qint64 at = 0; at < size;) {
            const qint64 n = in_.readAt(block.data(), std::min<qint64>(block.size(), size - at), at);
            if (n <= 0 || !out.write(block.constData(), n))
                return false;
            at += n;
        }
        return true;
    }

    FileEncoding encoding() const { return encoding_; }
    const InputFile& file() const { return in_; }
    qint64 sizeHint() const { return inMemory_ ? whole_.size() : -1; }

private:
    InputFile in_;
    QByteArray whole_;
    bool inMemory_ = false;
    qint64 offset_ = 0;
    FileEncoding encoding_ = FileEncoding::Windows1252;
};

// A file read and, when it changes, written to its work file, not yet in place.
struct Prepared {
    enum class Kind { NotRun, Unchanged, Ready, Unreadable, Unrepresentable, Failed } kind = Kind::NotRun;
    QString target;
    qint64 replaced = 0;
    FileStamp stamp;
    std::unique_ptr<WorkFile> work;
    JournalEntry kept;
    QString error;
};

// Writes the new content to a work file beside the source, made at the first replacement.
class WorkOutput final : public Replacer::Output {
public:
    WorkOutput(const QString& target, Source& source, Prepared& prepared)
        : target_(target), source_(source), prepared_(prepared) {}

    bool begin(qint64 unchangedStart) override {
        // A file whose mode lets nobody write is protected, even from an administrator, as the
        // read-only attribute is.
        if (source_.file().isProtected()) {
            prepared_.error = QStringLiteral("Le fichier \"%1\" est protégé en écriture.").arg(target_);
            return false;
        }
        prepared_.work = std::make_unique<WorkFile>();
        QString cause;
        if (!prepared_.work->create(FichierRépertoire(target_), source_.file().status(), &cause)) {
            prepared_.error =
                QStringLiteral("Je ne peux pas créer de fichier de travail dans le dossier \"%1\" : %2.")
                    .arg(withoutSeparator(FichierRépertoire(target_)), cause);
            return false;
        }
        return source_.copyStart(unchangedStart, *prepared_.work) || writeFailed();
    }
    bool write(const char* data, qint64 size) override {
        return prepared_.work->write(data, size) || writeFailed();
    }
    bool writeFailed() {
        if (prepared_.error.isEmpty())
            prepared_.error = QStringLiteral("Je ne peux pas écrire le fichier de travail \"%1\" : %2.")
                                  .arg(prepared_.work->path(), prepared_.work->cause());
        return false;
    }

private:
    const QString& target_;
    Source& source_;
    Prepared& prepared_;
};

Prepared prepare(const QString& file, const Replacer& replacer, const Replacer::Ask& ask,
                 ChangeJournal* journal) {
    Prepared p;
    p.kind = Prepared::Kind::Unreadable;
    Source source;
    if (source.open(file, &p.target) != InputFile::Result::Ok)
        return p;
    const QString& target = p.target;
    p.stamp = source.file().stamp();
    const FileEncoding encoding = source.encoding();
    if (!replacer.replacementFits(encoding) && !isHtmlName(target)) {
        // Outside HTML a numeric reference would be wrong text: the file is left as it is.
        const Replacer::Result r =
            replacer.run(encoding, source.reader(), nullptr, {}, {}, source.sizeHint());
        p.kind = r.readError      ? Prepared::Kind::Unreadable
                 : r.replaced > 0 ? Prepared::Kind::Unrepresentable
                                  : Prepared::Kind::Unchanged;
        return p;
    }
    WorkOutput output(target, source, p);
    const Replacer::Result r = replacer.run(encoding, source.reader(), &output, ask, {}, source.sizeHint());
    const auto failed = [&](const QString& error) {
        p.error = error + stoppedText(target);
        p.work.reset();
        p.kind = Prepared::Kind::Failed;
        return std::move(p);
    };
    if (r.readError) {
        p.work.reset();
        p.kind = Prepared::Kind::Unreadable;
        return p;
    }
    if (r.writeError)
        return failed(p.error);
    if (r.replaced == 0) {
        p.kind = Prepared::Kind::Unchanged;
        return p;
    }
    QString cause;
    if (!p.work->finish(source.file().status(), &cause))
        return failed(QStringLiteral("Je ne peux pas écrire le fichier de travail \"%1\" : %2.")
                          .arg(p.work->path(), cause));
    QString error;
    if (journal && !journal->keep(target, p.stamp.modifiedNs, &p.kept, &error))
        return failed(error);
    p.replaced = r.replaced;
    p.kind = Prepared::Kind::Ready;
    return p;
}

// Puts a prepared file in place, in list order, and accounts for it; false when the run must stop.
bool settle(const QString& file, Prepared& p, QSet<QString>& seen, ChangeJournal* journal,
            ReplaceOutcome& outcome) {
    ++outcome.filesDone;
    const auto leave = [&] {
        p.work->discard();
        if (journal)
            journal->drop(p.kept);
    };
    switch (p.kind) {
    case Prepared::Kind::NotRun:
    case Prepared::Kind::Unchanged:
        seen.insert(p.target);
        return true;
    case Prepared::Kind::Unreadable:
        outcome.unreadable.append(file);
        return true;
    case Prepared::Kind::Unrepresentable:
        outcome.unrepresentable.append(file);
        return true;
    case Prepared::Kind::Failed:
        outcome.error = p.error;
        return false;
    case Prepared::Kind::Ready:
        break;
    }
    // A file reached twice (itself and through a link) is replaced once.
    if (seen.contains(p.target)) {
        leave();
        return true;
    }
    seen.insert(p.target);
    // Changed by someone else since it was read: their change is kept, ours is not made.
    const FileStamp now = fileStamp(p.target);
    if (now.size < 0 || now != p.stamp) {
        leave();
        (now.size < 0 ? outcome.unreadable : outcome.changedMeanwhile).append(file);
        return true;
    }
    QString cause;
    if (!replaceFileAtomically(p.work->path(), p.target, &cause)) {
        outcome.error = QStringLiteral("Je ne peux pas remplacer le fichier \"%1\" par \"%2\" : %3.")
                            .arg(p.target, p.work->path(), cause) +
                        stoppedText(p.target);
        leave();
        return false;
    }
    if (journal) {
        p.kept.newSize = p.work->stamp().size;
        p.kept.newNs = p.work->stamp().modifiedNs;
        journal->changed(std::move(p.kept));
    }
    p.work->release();
    outcome.replaced += p.replaced;
    ++outcome.changedFiles;
    return true;
}

// Work files left by an interrupted run go, once per folder.
class LeftoverSweep {
public:
    void operator()(const QString& file) {
        const QString folder = FichierRépertoire(file);
        if (!seen_.contains(folder)) {
            seen_.insert(folder);
            removeLeftoverWorkFiles(folder);
        }
    }

private:
    QSet<QString> seen_;
};

// With confirmations: one file after the other, in list order, as the user answers.
void replaceOneByOne(const QStringList& files, const Replacer& replacer, const ReplaceRequest& request,
                     const ReplaceOptions& options, ReplaceOutcome& outcome) {
    const qsizetype total = files.size();
    LeftoverSweep sweep;
    QSet<QString> seen;
    for (qsizetype i = 0; i < total; ++i) {
        if (options.progress && !options.progress(i, total, files[i])) {
            outcome.stopped = true;
            return;
        }
        const QString& file = files[i];
        const Replacer::Ask ask = [&](const QString& line, qsizetype start, qsizetype length) {
            return options.confirmation->Confirm(file, line, start, length, request.replacement);
        };
        sweep(file);
        Prepared p = prepare(file, replacer, ask, options.journal);
        if (!settle(file, p, seen, options.journal, outcome))
            return;
    }
}

// Without confirmations the files are independent, and most of the time goes in waiting for the disk:
// worker threads read and write several files at once. This thread hands them out in list order,
// calling `progress` before each, and puts each in place in list order: after a failure or a stop,
// no file after it is ever written.
// A fixed set of worker threads running queued tasks. Standard threads and locks rather than
// QThreadPool: ThreadSanitizer sees their synchronisation (not that inside the uninstrumented Qt
// library), so its runs check the replacement for races.
class WorkerPool {
public:
    explicit WorkerPool(int workers) : workers_(size_t(workers)) {}
    ~WorkerPool() { waitForDone(); }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void start(std::function<void()> task) {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(task));
            if (threads_.size() < workers_)
                threads_.emplace_back([this] { work(); });
        }
        changed_.notify_one();
    }
    // Runs what is queued to its end, then stops the threads.
    void waitForDone() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_)
            t.join();
        threads_.clear();
    }

private:
    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return closed_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            std::function<void()> task = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

    const size_t workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    bool closed_ = false;
};

void replaceTogether(const QStringList& files, const Replacer& replacer, const ReplaceOptions& options,
                     ReplaceOutcome& outcome) {
    const qsizetype total = files.size();
    const int workers = std::clamp(QThread::idealThreadCount() * 2, 2, 8);
    const qsizetype ahead = qsizetype(workers) * 4;
    WorkerPool pool(workers);
    std::vector<Prepared> results(static_cast<size_t>(total));
    std::vector<char> ready(static_cast<size_t>(total), 0);
    std::mutex mutex;
    std::condition_variable done;
    std::atomic<bool> cancelled{false};
    QSet<QString> seen;
    LeftoverSweep sweep;
    qsizetype handedOut = 0;
    qsizetype settled = 0;
    bool stop = false;
    const auto askProgress = [&](qsizetype i) {
        if (!stop && options.progress && !options.progress(i, total, files[i])) {
            outcome.stopped = true;
            stop = true;
        }
        return !stop;
    };
    for (;;) {
        while (!stop && handedOut < total && handedOut - settled < ahead) {
            const qsizetype i = handedOut;
            if (!askProgress(i))
                break;
            ++handedOut;
            sweep(files[i]);
            pool.start([&, i] {
                Prepared p;
                if (!cancelled.load())
                    p = prepare(files[i], replacer, {}, options.journal);
                {
                    std::lock_guard lock(mutex);
                    results[size_t(i)] = std::move(p);
                    ready[size_t(i)] = 1;
                }
                done.notify_all();
            });
        }
        if (settled == handedOut)
            break;
        {
            std::unique_lock lock(mutex);
            while (!ready[size_t(settled)]) {
                // While the files under way are slow to finish (a network disk), the window keeps answering.
                if (done.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout &&
                    !ready[size_t(settled)] && handedOut < total) {
                    lock.unlock();
                    askProgress(handedOut);
                    lock.lock();
                }
            }
        }
        Prepared& p = results[size_t(settled)];
        if (stop && !outcome.error.isEmpty()) {
            p.work.reset(); // after a failure: never written
            if (options.journal)
                options.journal->drop(p.kept);
        } else if (!settle(files[settled], p, seen, options.journal, outcome)) {
            stop = true;
            cancelled = true;
        }
        ++settled;
    }
    pool.waitForDone();
    for (Prepared& p : results) {
        if (p.work && options.journal)
            options.journal->drop(p.kept);
        p.work.reset();
    }
}

} // namespace

ReplaceOutcome replaceInFiles(const QStringList& files, const ReplaceRequest& request,
                              const ReplaceOptions& options) {
    const Replacer replacer(request);
    ReplaceOutcome outcome;
    if (!replacer.searchable())
        return outcome;
    // The oldest undo copies go while the files are read and written, not after.
    std::thread pruning;
    if (options.journal) {
        options.journal->begin(QDateTime::currentDateTime());
        pruning = std::thread([journal = options.journal] { journal->prune(); });
    }
    if (request.confirm && options.confirmation)
        replaceOneByOne(files, replacer, request, options, outcome);
    else
        replaceTogether(files, replacer, options, outcome);
    if (options.journal) {
        pruning.join();
        QString error;
        if (!options.journal->finish(&error))
            outcome.journalError = error;
    }
    return outcome;
}

QList<FilePreview> previewReplacement(const QStringList& files, const ReplaceRequest& request,
                                      QStringList* unreadable, const ReplaceProgress& progress) {
    const Replacer replacer(request);
    QList<FilePreview> previews;
    if (!replacer.searchable())
        return previews;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (progress && !progress(i, files.size(), files[i]))
            break;
        Source source;
        QString target;
        if (source.open(files[i], &target) != InputFile::Result::Ok) {
            if (unreadable)
                unreadable->append(files[i]);
            continue;
        }
        FilePreview preview;
        preview.file = files[i];
        const Replacer::Result r = replacer.run(
            source.encoding(), source.reader(), nullptr, {},
            [&](const LineChange& c) { preview.lines.append(c); }, source.sizeHint());
        if (r.readError) {
            if (unreadable)
                unreadable->append(files[i]);
            continue;
        }
        preview.count = r.replaced;
        preview.unrepresentable = !replacer.replacementFits(source.encoding()) && !isHtmlName(target);
        if (preview.count > 0)
            previews.append(std::move(preview));
    }
    return previews;
}

QString replaceSummary(qint64 replaced, qint64 changedFiles) {
    if (replaced <= 0)
        return QStringLiteral("Aucun remplacement effectué.");
    return QStringLiteral("%1 chaîne(s) remplacée(s) dans %2 fichier(s)").arg(replaced).arg(changedFiles);
}

namespace {

QString fileList(const QString& heading, const QStringList& files) {
    QString text = CrLf(2) + heading;
    for (const QString& f : files)
        text += CrLf() + f;
    return text;
}

} // namespace

QString replaceReport(const ReplaceOutcome& outcome) {
    QString text = replaceSummary(outcome.replaced, outcome.changedFiles);
    if (!outcome.unrepresentable.isEmpty())
        text += fileList(
            QStringLiteral("Fichier(s) laissé(s) inchangé(s), car leur codage (Windows-1252) ne peut "
                           "pas représenter le texte de remplacement :"),
            outcome.unrepresentable);
    if (!outcome.changedMeanwhile.isEmpty())
        text +=
            fileList(QStringLiteral("Fichier(s) laissé(s) inchangé(s), car modifié(s) par un autre programme "
                                    "pendant le remplacement :"),
                     outcome.changedMeanwhile);
    if (!outcome.journalError.isEmpty())
        text += CrLf(2) + outcome.journalError;
    return text;
}

ReplaceOutcome RemplacementExécuter(const QString& folder, const QStringList& selectedNames,
                                    const ReplaceRequest& request, Dialogs& dialogs,
                                    const ReplaceOptions& options) {
    if (selectedNames.isEmpty()) {
        dialogs.message(QStringLiteral("Sélectionnez au moins un fichier svp !"), Icon::Exclamation);
        return {};
    }
    const QString dir = withSeparator(folder);
    QStringList files;
    files.reserve(selectedNames.size());
    for (const QString& name : selectedNames)
        files.append(dir + name);

    ReplaceOutcome outcome = replaceInFiles(files, request, options);
    if (!outcome.error.isEmpty())
        dialogs.message(outcome.error, Icon::Critical);
    QString report = replaceReport(outcome);
    if (outcome.stopped) {
        report += CrLf(2) + QStringLiteral("Remplacement arrêté à votre demande : %1 fichier(s) sur %2 "
                                           "non traité(s).")
                                .arg(files.size() - outcome.filesDone)
                                .arg(files.size());
    }
    dialogs.message(report);
    return outcome;
}

QString undoReport(const UndoOutcome& outcome) {
    if (!outcome.runDate.isValid())
        return QStringLiteral("Aucun remplacement à annuler.");
    QString text = QStringLiteral("Remplacement du %1 annulé : %2 fichier(s) rétabli(s).")
                       .arg(outcome.runDate.toString(QStringLiteral("dd.MM.yyyy à hh:mm:ss")))
                       .arg(outcome.restored.size());
    if (!outcome.refused.isEmpty()) {
        text += fileList(
            QStringLiteral("Fichier(s) laissé(s) tel(s) quel(s), car modifié(s) ou supprimé(s) depuis "
                           "le remplacement :"),
            outcome.refused);
    }
    if (!outcome.error.isEmpty())
        text += CrLf(2) + outcome.error;
    if (!outcome.keptIn.isEmpty())
        text += CrLf(2) + QStringLiteral("Le contenu qu'ils avaient avant le remplacement reste dans \"%1\".")
                              .arg(outcome.keptIn);
    return text;
}

UndoOutcome AnnulerDernierRemplacement(ChangeJournal& journal, Dialogs& dialogs) {
    UndoOutcome outcome = journal.undoLast();
    const bool clean = outcome.refused.isEmpty() && outcome.error.isEmpty();
    dialogs.message(undoReport(outcome), clean ? Icon::Information : Icon::Exclamation);
    return outcome;
}

} // namespace qs
