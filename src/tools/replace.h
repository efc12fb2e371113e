#pragma once

#include "lib/changejournal.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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
// Case is ignored only for characters Windows-1252 holds: any other matches only itself ("ſ" never
// matches "s"). Bytes outside the occurrences are written back exactly as they were, line ends included.
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

// How a file's text is read and written; one per file, never mixed.
enum class FileEncoding { Windows1252, Utf8 };

// The encoding of a file from its first bytes and from whether the whole is valid UTF-8: a byte-order
// mark or a declared charset (<meta charset="utf-8">, @charset "UTF-8") decides; without one, valid
// UTF-8 holding a non-ASCII character is UTF-8, anything else Windows-1252.
//   "<meta charset=utf-8>abc"   ->  UTF-8 (even pure ASCII)
//   "caf\xC3\xA9"               ->  UTF-8
//   "caf\xE9", "cafe"            ->  Windows-1252
class EncodingProbe {
public:
    void feed(QByteArrayView chunk);
    FileEncoding result() const;

private:
    QByteArray head_;    // the first bytes, where a declaration is looked for
    QByteArray pending_; // an unfinished UTF-8 sequence at the end of the last chunk
    bool valid_ = true;
    bool highByte_ = false;
};

// True for the file names whose text is HTML, where a character the encoding cannot hold may be
// written as a numeric character reference.
bool isHtmlName(const QString& fileName);

// One changed line as the preview shows it, and its number from 1.
struct LineChange {
    qint64 line = 0;
    QString before;
    QString after;
};

// The search and replace of one file's content, prepared once for a whole run. Content streams
// through it in blocks, so memory stays bounded whatever the file's size.
class Replacer {
public:
    // The occurrence at `start` (0-based, `length` long) of `line`: true to replace it.
    using Ask = std::function<bool(const QString& line, qsizetype start, qsizetype length)>;

    // Reads the content: bytes read, 0 at the end, -1 on an error.
    using Read = std::function<qint64(char* data, qint64 max)>;
    // Receives the new content. begin() comes once, before the first replacement, with the length of
    // the unchanged start that the output must copy from the input itself.
    class Output {
    public:
        virtual ~Output() = default;
        virtual bool begin(qint64 unchangedStart) = 0;
        virtual bool write(const char* data, qint64 size) = 0;
    };

    struct Result {
        qint64 replaced = 0;
        bool readError = false;
        bool writeError = false;
    };

    explicit Replacer(const ReplaceRequest& request);

    // Replaces in the content `read` gives, in `encoding`; without `output` nothing is written (the
    // count and the changed lines are still found). Without `ask` every occurrence is replaced;
    // `changes` receives each changed line.
    // `sizeHint`, when known, is the content's size: a small content is then read at once.
    Result run(FileEncoding encoding, const Read& read, Output* output, const Ask& ask = {},
               const std::function<void(const LineChange&)>& changes = {}, qint64 sizeHint = -1) const;

    // The whole content at once (tests): the count, and `out` holds the new content when above 0.
    qint64 apply(const QByteArray& content, QByteArray& out, const Ask& ask = {}) const;

    // True when the replacement can be written in `encoding` as typed (else, in Windows-1252, a
    // character outside the code page becomes a numeric reference).
    bool replacementFits(FileEncoding encoding) const {
        return encoding == FileEncoding::Utf8 || replacementFits1252_;
    }
    bool searchable() const { return searchable_; }

private:
    ReplaceRequest request_;
    bool searchable_ = false;
    bool find1252_ = false;
    bool replacementFits1252_ = true;
    QByteArray needle1252_;
    QByteArray needleUtf8_;
    QByteArray replacement1252_;
    QByteArray replacementUtf8_;
    std::array<char, 256> fold8_{};
};

// The text of `bytes` when they are strict UTF-8 (overlong forms, surrogates and code points above
// U+10FFFF refused); a byte-order mark is kept as U+FEFF so that offsets match the bytes.
std::optional<QString> decodeStrictUtf8(QByteArrayView bytes);

struct ReplaceOutcome {
    qint64 replaced = 0;
    qint64 changedFiles = 0;
    qsizetype filesDone = 0;      // files gone through, skipped ones included
    QStringList unreadable;       // could not be read, or not ordinary files: skipped, not counted
    QStringList unrepresentable;  // the replacement does not fit their encoding: left unchanged
    QStringList changedMeanwhile; // changed by someone else during the run: left as they were
    bool stopped = false;         // stopped between two files at the user's request
    QString error;                // the run stopped on this failure; the file it names is unchanged
    QString journalError;         // the run cannot be undone
};

// Called before each file with its 0-based index, the number of files and its path; false stops the
// run there. It may be called again with the same index while earlier files are still being written,
// so that a window can keep answering.
using ReplaceProgress = std::function<bool(qsizetype index, qsizetype total, const QString& file)>;

struct ReplaceOptions {
    Confirmation* confirmation = nullptr; // asked for each occurrence when request.confirm
    ReplaceProgress progress;
    ChangeJournal* journal = nullptr; // keeps what each changed file held before
};

// Replaces in the files and shows no message. A changed file is written beside the source under a
// unique work name, which then replaces the source in one atomic rename, unless the source was changed
// by someone else since it was read (it is then left as it is and named). A failure to create, write
// or rename stops the run and leaves the source as it was; files after it in the list are never
// written, whether the files go one by one or several at once. A file without a replacement is not
// touched (bytes and date kept). A link is followed (the link stays a link), a file reached twice is
// replaced once, and only ordinary files are opened.
//
// With request.confirm the files go one by one, in order, as the user answers. Without, several files
// are read and written at once on worker threads, and put in place in list order by the calling
// thread, which alone calls `progress`.
ReplaceOutcome replaceInFiles(const QStringList& files, const ReplaceRequest& request,
                              const ReplaceOptions& options = {});

// What a replacement would change in one file, read only.
struct FilePreview {
    QString file;
    qint64 count = 0;
    QList<LineChange> lines;
    bool unrepresentable = false; // would be left unchanged: the replacement does not fit its encoding
};
// Finds every occurrence in the files, writing nothing; files without any are left out.
QList<FilePreview> previewReplacement(const QStringList& files, const ReplaceRequest& request,
                                      QStringList* unreadable = nullptr,
                                      const ReplaceProgress& progress = {});

// "3 chaîne(s) remplacée(s) dans 1 fichier(s)", or "Aucun remplacement effectué." when none.
QString replaceSummary(qint64 replaced, qint64 changedFiles);
// The summary followed by the files left unchanged and why.
QString replaceReport(const ReplaceOutcome& outcome);

// The run of the "Exécuter" button: the files are `selectedNames` of `folder`, in list order. Shows
// "Sélectionnez au moins un fichier svp !" when there is none, a failure that stopped the run, and the
// summary at the end.
ReplaceOutcome RemplacementExécuter(const QString& folder, const QStringList& selectedNames,
                                    const ReplaceRequest& request, Dialogs& dialogs,
                                    const ReplaceOptions& options = {});

// "Annuler le dernier remplacement": puts back the files of the last run that `journal` holds, refusing
// those changed since, and says what was done.
UndoOutcome AnnulerDernierRemplacement(ChangeJournal& journal, Dialogs& dialogs);
// The message that tells what an undo did.
QString undoReport(const UndoOutcome& outcome);

} // namespace qs
