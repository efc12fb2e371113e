#pragma once

#include <QByteArray>
#include <QByteArrayMatcher>
#include <QString>
#include <QStringList>
#include <QStringMatcher>

#include <array>
#include <functional>
#include <optional>

namespace qs {

class Dialogs;

// One string replaced by another in many text files, line by line, as the replacement window asks.
//
// Occurrences are found left to right and never overlap; after a replacement the search goes on after
// the inserted text, so a replacement that holds the sought text cannot loop:
//   "ab ab", ab -> abab          ->  "abab abab"  (2 replacements)
//   "aaa",   aa -> b             ->  "ba"         (1)
//   "<Html>", html -> htm, case ignored  ->  "<htm>"  (the replacement as typed)
// Case is ignored by Windows-1252 upper case (é matches É). A match never spans a line end.
//
// Bytes outside the occurrences are written back exactly as they were, line ends included. A file
// that is valid UTF-8 and holds non-ASCII text is searched and written as UTF-8; any other file is
// Windows-1252, where every byte stands for one character.
struct ReplaceRequest {
    QString find;
    QString replacement;
    bool caseSensitive = false; // cMajMin ticked
    bool confirm = false;       // cConfirm ticked
};

// Asks whether one occurrence is to be replaced: the confirmation window, scripted in tests.
class Confirmation {
public:
    virtual ~Confirmation() = default;
    // `line` is the line as it stands, earlier replacements in it already made; the occurrence starts
    // at the 0-based `start` and is `length` characters long.
    virtual bool Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                         const QString& replacement) = 0;
};

// The search and replace of one file's content, prepared once for a whole run.
class Replacer {
public:
    // The occurrence at `start` (0-based, `length` long) of `line`: true to replace it.
    using Ask = std::function<bool(const QString& line, qsizetype start, qsizetype length)>;

    explicit Replacer(const ReplaceRequest& request);

    // Number of occurrences replaced in `content`; `out` receives the new content when it is above 0.
    // Without `ask` every occurrence is replaced.
    qint64 apply(const QByteArray& content, QByteArray& out, const Ask& ask = {}) const;

private:
    qint64 apply1252(const QByteArray& content, QByteArray& out, const Ask& ask) const;
    qint64 applyUtf8(const QByteArray& content, const QString& text, QByteArray& out, const Ask& ask) const;

    ReplaceRequest request_;
    bool searchable_ = false;
    // Windows-1252 files: bytes.
    bool find1252_ = false;
    QByteArray needle8_;
    QByteArray replacement1252_;
    QByteArrayMatcher matcher8_;
    std::array<char, 256> fold8_{};
    // UTF-8 files: UTF-16 text.
    QString needle16_;
    QByteArray replacementUtf8_;
    QStringMatcher matcher16_;
};

// The text of `bytes` when they are strict UTF-8 (overlong forms, surrogates and code points above
// U+10FFFF refused); a byte-order mark is kept as U+FEFF so that offsets match the bytes.
std::optional<QString> decodeStrictUtf8(QByteArrayView bytes);

struct ReplaceOutcome {
    qint64 replaced = 0;
    qint64 changedFiles = 0;
    qsizetype filesDone = 0; // files gone through, skipped ones included
    QStringList unreadable;  // could not be read: skipped, not counted
    bool stopped = false;    // stopped between two files at the user's request
    QString error;           // the run stopped on this failure; the file it names is unchanged
};

// Called before each file with its 0-based index, the number of files and its path; false stops the
// run there. It may be called again with the same index while earlier files are still being written,
// so that a window can keep answering.
using ReplaceProgress = std::function<bool(qsizetype index, qsizetype total, const QString& file)>;

// Replaces in the files and shows no message. A changed file is written beside the source as the
// source's name + ".new", which then replaces the source in one atomic rename; a failure to create,
// write or rename stops the run, removes the work file and leaves the source as it was. A file without
// a replacement is not touched (bytes and date kept). A link is followed (the link stays a link), and a
// file reached twice is replaced once.
//
// With request.confirm, `confirmation` is asked for each occurrence and the files go one by one, in
// order. Without, several files are replaced at once on worker threads; they are handed out in list
// order from the calling thread, which alone calls `progress`. Files before a failure are all done;
// after it, only those already under way. The outcome reports the first failure in list order.
ReplaceOutcome replaceInFiles(const QStringList& files, const ReplaceRequest& request,
                              Confirmation* confirmation = nullptr, const ReplaceProgress& progress = {});

// "3 chaîne(s) remplacée(s) dans 1 fichier(s)", or "Aucun remplacement effectué." when none.
QString replaceSummary(qint64 replaced, qint64 changedFiles);

// The run of the "Exécuter" button: the files are `selectedNames` of `folder`, in list order. Shows
// "Sélectionnez au moins un fichier svp !" when there is none, a failure that stopped the run, and the
// summary at the end.
ReplaceOutcome RemplacementExécuter(const QString& folder, const QStringList& selectedNames,
                                    const ReplaceRequest& request, Dialogs& dialogs,
                                    Confirmation* confirmation = nullptr,
                                    const ReplaceProgress& progress = {});

} // namespace qs
