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
// folder, given the program's permissions and the new version's modification time, and renamed over the
// program in one step. Returns the empty text on success, else the reason in French; on failure the
// program is left as it was and no temporary file remains.
QString replaceProgram(const QString& newVersion, const QString& program);

} // namespace relaypak
