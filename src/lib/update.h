#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qs {

class Dialogs;

// What the caller of the update must do next.
enum class UpdateOutcome {
    Continue,   // go on running
    EndProgram, // quit at once: the updater is waiting for this program to end, or it must not run here
};

// Starts a program without waiting for it; true when it started.
using DetachedLauncher = std::function<bool(const QString& program, const QStringList& arguments)>;

// What the update depends on besides the settings, so that tests can set it up.
struct UpdateEnvironment {
    // The running program's own file (its name with the platform's executable suffix, if any).
    QString programPath;
    // Starts the updater; the default starts a real detached process.
    DetachedLauncher launch;
    // Asked for from the menu: every reason for not updating is told (at start-up, most are silent).
    bool fromMenu = false;
    // The other processes running the program file; the default looks at the system's processes.
    std::function<QList<qint64>(const QString& programPath)> otherInstances;
};

// The platform's executable suffix: ".exe" on Windows, "" elsewhere.
QString executableSuffix();
// The updater's file name: "relaypak" with the platform's suffix.
QString updaterFileName();
// The build-machine marker: the program's name + ".publish", beside the program.
QString publishMarkerPath(const QString& programPath);
// The processes other than this one that run the file `programPath` (Linux; none found elsewhere).
QList<qint64> runningInstances(const QString& programPath);

// What the updater said about the last update, and whether it worked.
struct UpdateReport {
    bool ok = false;
    QString text;
};
// Called once the program has started: the updater's outcome, once (it is then removed), and the old
// build kept as a backup goes, since this build starts.
std::optional<UpdateReport> updateFinished(const QString& programPath);

// With the single argument "--version", prints the program identification line and returns true: the
// updater starts a new build that way to check that it works before it puts it in place.
bool printVersionIfAsked(int argc, char** argv);

// The environment of the program actually running (its executable, a real detached launcher).
UpdateEnvironment currentUpdateEnvironment();

// Compares the program file with its namesake in the update folder (setting "RépertoireMiseAJour"),
// asking for that folder when it is unknown (a folder typed must exist and hold the program). Nothing
// closes the program unless a newer build is there, readable, and no other window of the program is
// open. On the build machine (the marker exists) a newer local build
// is published into the update folder; elsewhere a newer published build is handed over to the updater,
// which replaces this program once it has ended (EndProgram).
UpdateOutcome MiseAJour(Dialogs& dialogs, const UpdateEnvironment& environment);
// The same for the program actually running.
UpdateOutcome MiseAJour(Dialogs& dialogs);

} // namespace qs
