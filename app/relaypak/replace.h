#pragma once

#include <QString>

// The updater's work, apart from its command line, so that tests can run it in-process.
namespace relaypak {

// True while a running process other than this one executes the file `program`.
bool inUse(const QString& program);

// Waits, polling every `pollMs`, until `program` no longer runs; false when it still runs after
// `timeoutMs`.
bool waitUntilFree(const QString& program, int timeoutMs, int pollMs = 50);

// Replaces `program` by a copy of `newVersion`: the copy is written to a temporary file in the program's
// folder, given the program's permissions and the new version's modification time, run with "--version"
// (at most `checkMs`) to check that it works here, and renamed over the program in one step; the old
// program stays beside it as the backup (updatefiles::backupPath) until the new one has started. Returns
// the empty text on success, else the reason in French; on failure the program is left as it was and no
// temporary file remains.
QString replaceProgram(const QString& newVersion, const QString& program, int checkMs = 10000);

// Runs `file --version`, waiting at most `timeoutMs`: true when it answers with an identification line.
bool answersVersion(const QString& file, int timeoutMs, QString* why);

// Puts the backup back in place of the program; false with *why.
bool restoreBackup(const QString& program, QString* why);

// Leaves the outcome where the program shows it at its next start.
void writeReport(const QString& program, bool ok, const QString& text);

// Starts the program without waiting for it, then watches it for at most `timeoutMs`.
enum class Start {
    Started,      // it removed its backup: it works
    StillRunning, // it runs but has not said so yet
    Ended,        // it ended first: it does not start
    NotStarted,   // it could not be run at all
};
Start startAndWatch(const QString& program, int timeoutMs);

} // namespace relaypak
