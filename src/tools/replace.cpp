#include "tools/replace.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"
#include "tools/fileops.h"

#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

namespace qs {
namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// A low surrogate right after its high one: a match may neither start nor end there.
bool splitsPair(QStringView text, qsizetype i) {
    return i > 0 && i < text.size() && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate();
}

struct LineView {
    QString text;
    qsizetype start = 0;
};

// The line holding the occurrence at `p` as it stands: the replacements already accepted in it made.
// Only built when the user is asked, so its cost does not matter.
template <typename View, typename Decode>
LineView currentLine(View original, qsizetype p, qsizetype length, const std::vector<qsizetype>& accepted,
                     const QString& replacement, Decode decode) {
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
    line.text += decode(original.sliced(p, end - p));
    return line;
}

bool hasHighByte(const QByteArray& bytes) {
    // Branch-free so that the compiler can vectorise it: most files are plain ASCII.
    unsigned char acc = 0;
    for (char c : bytes)
        acc |= static_cast<unsigned char>(c);
    return acc & 0x80;
}

} // namespace

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

    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QChar upper = upper1252(fromWindows1252(QByteArrayView(&byte, 1)).front());
        const QByteArray encoded = toWindows1252(QStringView(&upper, 1));
        fold8_[b] = encoded.size() == 1 ? encoded.front() : byte;
    }

    // In a Windows-1252 file every byte is a character of the code page: a sought text with another
    // character cannot occur there (and must not match its numeric reference).
    const QString needle = request.caseSensitive ? find : upper1252(find);
    find1252_ = searchable_ &&
                std::all_of(needle.begin(), needle.end(), [](QChar c) { return isWindows1252(c.unicode()); });
    if (find1252_) {
        needle8_ = toWindows1252(needle);
        matcher8_.setPattern(needle8_);
    }
    replacement1252_ = toWindows1252(request.replacement);

    needle16_ = needle;
    matcher16_.setPattern(needle16_);
    matcher16_.setCaseSensitivity(Qt::CaseSensitive);
    replacementUtf8_ = request.replacement.toUtf8();
}

qint64 Replacer::apply(const QByteArray& content, QByteArray& out, const Ask& ask) const {
    if (!searchable_)
        return 0;
    if (hasHighByte(content)) {
        if (const auto text = decodeStrictUtf8(content))
            return applyUtf8(content, *text, out, ask);
    }
    return apply1252(content, out, ask);
}

qint64 Replacer::apply1252(const QByteArray& content, QByteArray& out, const Ask& ask) const {
    if (!find1252_)
        return 0;
    QByteArray folded;
    QByteArrayView haystack(content);
    if (!request_.caseSensitive) {
        folded.resize(content.size());
        char* d = folded.data();
        for (char c : content)
            *d++ = fold8_[static_cast<unsigned char>(c)];
        haystack = folded;
    }
    const qsizetype length = needle8_.size();
    std::vector<qsizetype> accepted;
    for (qsizetype from = 0, p; (p = matcher8_.indexIn(haystack, from)) >= 0; from = p + length) {
        if (ask) {
            const LineView line = currentLine(QByteArrayView(content), p, length, accepted,
                                              request_.replacement, fromWindows1252);
            if (!ask(line.text, line.start, length))
                continue;
        }
        accepted.push_back(p);
    }
    if (accepted.empty())
        return 0;

    out.clear();
    out.reserve(content.size() + qsizetype(accepted.size()) * (replacement1252_.size() - length));
    qsizetype cursor = 0;
    for (qsizetype p : accepted) {
        out.append(content.constData() + cursor, p - cursor);
        out.append(replacement1252_);
        cursor = p + length;
    }
    out.append(content.constData() + cursor, content.size() - cursor);
    return qint64(accepted.size());
}

qint64 Replacer::applyUtf8(const QByteArray& content, const QString& text, QByteArray& out,
                           const Ask& ask) const {
    QString folded;
    QStringView haystack(text);
    if (!request_.caseSensitive) {
        folded = upper1252(text);
        haystack = folded;
    }
    const qsizetype length = needle16_.size();
    std::vector<qsizetype> accepted;
    qsizetype from = 0;
    for (qsizetype p; (p = matcher16_.indexIn(haystack, from)) >= 0;) {
        if (splitsPair(text, p) || splitsPair(text, p + length)) {
            from = p + 1;
            continue;
        }
        from = p + length;
        if (ask) {
            const LineView line = currentLine(QStringView(text), p, length, accepted, request_.replacement,
                                              [](QStringView v) { return v.toString(); });
            if (!ask(line.text, line.start, length))
                continue;
        }
        accepted.push_back(p);
    }
    if (accepted.empty())
        return 0;

    // Copy the untouched bytes from the original, walking the UTF-8 bytes and the UTF-16 offsets
    // together; a match never splits a character, so both stay in step.
    out.clear();
    out.reserve(content.size() + qsizetype(accepted.size()) * replacementUtf8_.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.constData());
    qsizetype b = 0;
    qsizetype u = 0;
    auto advanceTo = [&](qsizetype target) {
        while (u < target) {
            const unsigned char c = bytes[b];
            const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            b += n;
            u += n == 4 ? 2 : 1;
        }
    };
    qsizetype copied = 0;
    for (qsizetype p : accepted) {
        advanceTo(p);
        out.append(content.constData() + copied, b - copied);
        out.append(replacementUtf8_);
        advanceTo(p + length);
        copied = b;
    }
    out.append(content.constData() + copied, content.size() - copied);
    return qint64(accepted.size());
}

namespace {

enum class Step { NotRun, Done, Unreadable, Failed };

// Writes `bytes` beside `target` and puts them in its place with one atomic rename. The work file is
// the target's name + ".new"; a file of that name that already exists is left alone and another work
// name is used.
Step commitReplacement(const QString& target, const QByteArray& bytes, QString* error) {
    const QString stopped = CrLf(2) + QStringLiteral("Le remplacement est arrêté ; le fichier \"%1\" "
                                                     "n'a pas été modifié.")
                                          .arg(target);
    const FileStatus source = fileStatus(target);
    // Removed since it was read: nothing to replace any more, and not ours to bring back.
    if (!source.exists)
        return Step::Unreadable;
    // A file whose mode lets nobody write is protected, even from an administrator, as the read-only
    // attribute is.
    if (source.protectedFile) {
        *error = QStringLiteral("Le fichier \"%1\" est protégé en écriture.").arg(target) + stopped;
        return Step::Failed;
    }

    QString workName = target + QStringLiteral(".new");
    std::unique_ptr<QFile> work = std::make_unique<QFile>(workName);
    errno = 0;
    bool opened = work->open(QIODevice::WriteOnly | QIODevice::NewOnly);
    int openErrno = errno;
    if (!opened && QFileInfo(workName).isFile()) {
        auto temp = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX.new"));
        temp->setAutoRemove(false);
        opened = temp->open();
        openErrno = errno;
        if (opened)
            workName = temp->fileName();
        work = std::move(temp);
    }
    if (!opened) {
        *error = QStringLiteral("Je ne peux pas créer le fichier de travail \"%1\" : %2.")
                     .arg(workName, fileErrorCause(openErrno, *work)) +
                 stopped;
        return Step::Failed;
    }

    keepOwnerAndPermissions(source, *work);
    errno = 0;
    const bool written = work->write(bytes) == bytes.size() && work->flush();
    const int writeErrno = errno;
    work->close();
    if (!written || work->error() != QFileDevice::NoError) {
        *error = QStringLiteral("Je ne peux pas écrire le fichier de travail \"%1\" : %2.")
                     .arg(workName, fileErrorCause(writeErrno, *work)) +
                 stopped;
        QFile::remove(workName);
        return Step::Failed;
    }

    QString cause;
    if (!replaceFileAtomically(workName, target, &cause)) {
        *error = QStringLiteral("Je ne peux pas remplacer le fichier \"%1\" par \"%2\" : %3.")
                     .arg(target, workName, cause) +
                 stopped;
        QFile::remove(workName);
        return Step::Failed;
    }
    return Step::Done;
}

struct FileResult {
    Step step = Step::NotRun;
    qint64 replaced = 0;
    QString error;
};

// The file a path stands for: through a link, the file it points to is the one changed (the link stays
// a link). Empty for a broken link.
QString targetOf(const QString& file) {
    if (!fileStatus(file, false).isSymLink)
        return file;
    return QFileInfo(file).canonicalFilePath();
}

FileResult replaceInFile(const QString& target, const Replacer& replacer, const Replacer::Ask& ask) {
    FileResult result;
    result.step = Step::Unreadable;
    if (target.isEmpty())
        return result;
    QByteArray content;
    {
        QFile in(target);
        if (!in.open(QIODevice::ReadOnly))
            return result;
        content = in.readAll();
        if (in.error() != QFileDevice::NoError)
            return result;
    }
    QByteArray changed;
    const qint64 count = replacer.apply(content, changed, ask);
    result.step = count == 0 ? Step::Done : commitReplacement(target, changed, &result.error);
    if (result.step == Step::Done)
        result.replaced = count;
    return result;
}

void account(ReplaceOutcome& outcome, const QString& file, const FileResult& result) {
    switch (result.step) {
    case Step::NotRun:
        return;
    case Step::Done:
        outcome.replaced += result.replaced;
        outcome.changedFiles += result.replaced > 0 ? 1 : 0;
        break;
    case Step::Unreadable:
        outcome.unreadable.append(file);
        break;
    case Step::Failed:
        if (outcome.error.isEmpty())
            outcome.error = result.error;
        break;
    }
    ++outcome.filesDone;
}

// With confirmations: one file after the other, in list order, as the user answers.
ReplaceOutcome replaceOneByOne(const QStringList& files, const Replacer& replacer,
                               const ReplaceRequest& request, Confirmation* confirmation,
                               const ReplaceProgress& progress) {
    ReplaceOutcome outcome;
    const qsizetype total = files.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && !progress(i, total, files[i])) {
            outcome.stopped = true;
            break;
        }
        const QString& file = files[i];
        const Replacer::Ask ask = [&](const QString& line, qsizetype start, qsizetype length) {
            return confirmation->Confirm(file, line, start, length, request.replacement);
        };
        const FileResult result = replaceInFile(targetOf(file), replacer, ask);
        account(outcome, file, result);
        if (result.step == Step::Failed)
            break;
    }
    return outcome;
}

// Without confirmations the files are independent, and most of the time goes in waiting for the
// disk (creating the work file, the rename): several files are replaced at once by worker threads.
// This thread hands them out in list order, calling `progress` before each, so that a stop or a failure
// leaves the files after it untouched, apart from the few already under way.
ReplaceOutcome replaceTogether(const QStringList& files, const Replacer& replacer,
                               const ReplaceProgress& progress) {
    ReplaceOutcome outcome;
    const qsizetype total = files.size();
    const int workers = std::clamp(QThread::idealThreadCount() * 2, 2, 8);
    QThreadPool pool;
    pool.setMaxThreadCount(workers);
    QSemaphore room(workers * 2);
    // The first file, in list order, whose replacement failed: those after it are left alone.
    std::atomic<qsizetype> firstFailure{total};
    const auto noteFailure = [&firstFailure](qsizetype i) {
        qsizetype seen = firstFailure.load();
        while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
        }
    };
    std::vector<FileResult> results(static_cast<size_t>(total));
    QSet<QString> targets;
    qsizetype handedOut = 0;
    for (; handedOut < total; ++handedOut) {
        const qsizetype i = handedOut;
        if (progress && !progress(i, total, files[i])) {
            outcome.stopped = true;
            break;
        }
        if (firstFailure.load() < total)
            break;
        QString target = targetOf(files[i]);
        // A file reached twice (itself and through a link) is replaced once.
        if (!target.isEmpty() && targets.contains(target)) {
            results[size_t(i)].step = Step::Done;
            continue;
        }
        targets.insert(target);
        // While the files under way are slow to finish (a network disk), the window keeps answering.
        bool stop = false;
        while (!room.tryAcquire(1, 50)) {
            if (progress && !progress(i, total, files[i])) {
                stop = true;
                break;
            }
        }
        if (stop) {
            outcome.stopped = true;
            break;
        }
        pool.start([&, i, target = std::move(target)] {
            if (i < firstFailure.load()) {
                results[size_t(i)] = replaceInFile(target, replacer, {});
                if (results[size_t(i)].step == Step::Failed)
                    noteFailure(i);
            }
            room.release();
        });
    }
    pool.waitForDone();
    for (qsizetype i = 0; i < handedOut; ++i)
        account(outcome, files[i], results[size_t(i)]);
    return outcome;
}

} // namespace

ReplaceOutcome replaceInFiles(const QStringList& files, const ReplaceRequest& request,
                              Confirmation* confirmation, const ReplaceProgress& progress) {
    const Replacer replacer(request);
    if (request.confirm && confirmation)
        return replaceOneByOne(files, replacer, request, confirmation, progress);
    return replaceTogether(files, replacer, progress);
}

QString replaceSummary(qint64 replaced, qint64 changedFiles) {
    if (replaced <= 0)
        return QStringLiteral("Aucun remplacement effectué.");
    return QStringLiteral("%1 chaîne(s) remplacée(s) dans %2 fichier(s)").arg(replaced).arg(changedFiles);
}

ReplaceOutcome RemplacementExécuter(const QString& folder, const QStringList& selectedNames,
                                    const ReplaceRequest& request, Dialogs& dialogs,
                                    Confirmation* confirmation, const ReplaceProgress& progress) {
    if (selectedNames.isEmpty()) {
        dialogs.message(QStringLiteral("Sélectionnez au moins un fichier svp !"), Icon::Exclamation);
        return {};
    }
    const QString dir = withSeparator(folder);
    QStringList files;
    files.reserve(selectedNames.size());
    for (const QString& name : selectedNames)
        files.append(dir + name);

    const ReplaceOutcome outcome = replaceInFiles(files, request, confirmation, progress);
    if (!outcome.error.isEmpty())
        dialogs.message(outcome.error, Icon::Critical);
    QString summary = replaceSummary(outcome.replaced, outcome.changedFiles);
    if (outcome.stopped) {
        summary += CrLf(2) + QStringLiteral("Remplacement arrêté à votre demande : %1 fichier(s) sur %2 "
                                            "non traité(s).")
                                 .arg(files.size() - outcome.filesDone)
                                 .arg(files.size());
    }
    dialogs.message(summary);
    return outcome;
}

} // namespace qs
