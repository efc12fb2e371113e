#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace qs {

// Keeps, for each run of a command that rewrites the user's files, the bytes and date each file had
// before, so that the last run can be undone. A run is a folder of the journal named after its date:
//
//   <journal>/20260107-143005-123/liste.txt   one line per file changed (see below)
//   <journal>/20260107-143005-123/1, 2, ...   the files' bytes before the run
//
// Only the last `keep` runs stay. The bytes are kept by a second link to the replaced file when the
// journal is on the same disk (no copy), else by a copy.
//
// A file is undone only when it is still as the run left it (same size and modification time); any
// other is refused and named, and its earlier bytes stay in the journal.
struct JournalEntry {
    QString path;       // the file changed
    QString saved;      // name of its earlier bytes in the run's folder
    qint64 originalNs;  // its modification time before the run (ns since the epoch)
    qint64 newSize = 0; // and after
    qint64 newNs = 0;
};

struct UndoOutcome {
    QDateTime runDate; // invalid: there was no run to undo
    QStringList restored;
    QStringList refused; // changed since the run, or gone: left as they are
    QString keptIn;      // where the earlier bytes of the refused files stay
    QString error;       // a restore failed: the file it names is as the run left it
};

class ChangeJournal {
public:
    // `folder` holds the runs; `keep` is the number of runs kept.
    explicit ChangeJournal(const QString& folder, int keep = 10);

    // The journal of one kind of run ("remplacement") in the user's data folder.
    static QString defaultFolder(const QString& kind);

    // Starts recording a run dated `when`. Nothing is written before the first file.
    void begin(const QDateTime& when);
    // Keeps the bytes `path` has now, last modified at `modifiedNs`, before the run replaces it (by
    // a rename: the kept bytes are never written again); false with a French *error when they cannot
    // be kept (the file must then not be changed). Safe from several threads.
    bool keep(const QString& path, qint64 modifiedNs, JournalEntry* entry, QString* error);
    // Notes the file as the run left it.
    void changed(JournalEntry entry);
    // Forgets what keep() kept of a file finally left alone.
    void drop(const JournalEntry& entry);
    // Drops the oldest runs, making room for the one begun; may run while files are being changed.
    void prune();
    // Writes the run's list; a run that changed nothing leaves no trace.
    bool finish(QString* error);
    // Forgets a run whose keep() calls were followed by no change (the files were left alone).
    void abandon();

    // The date of the last run that can be undone, if any.
    std::optional<QDateTime> lastRun() const;
    // Puts back the files of the last run, with their dates.
    UndoOutcome undoLast();

    const QString& folder() const { return folder_; }

private:
    QString runFolder_;
    QString folder_;
    int keep_;
    QList<JournalEntry> entries_;
    int next_ = 1;
    QMutex mutex_;
};

} // namespace qs
