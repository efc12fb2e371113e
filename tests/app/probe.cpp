// A stand-in for the program in the end-to-end update test: it runs the update the way the program does
// at start-up and writes what happened, one line per event, to the file named by QUILLSITE_PROBE_LOG.
#include "lib/dialogs.h"
#include "lib/update.h"

#include <QCoreApplication>
#include <QFile>

namespace {

void log(const QString& line) {
    QFile f(qEnvironmentVariable("QUILLSITE_PROBE_LOG"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write(QStringLiteral("%1 %2\n").arg(PROBE_BUILD).arg(line).toUtf8());
}

} // namespace

int main(int argc, char** argv) {
    if (qs::printVersionIfAsked(argc, argv))
        return 0;
    QCoreApplication app(argc, argv);
    log(QStringLiteral("start"));
    if (const auto report = qs::updateFinished(QCoreApplication::applicationFilePath()))
        log(QStringLiteral("report ") + report->text);
    // Without a window: every message and question is logged, every question answered No.
    qs::NoDialogs dialogs(
        [](const char* kind, const QString& text, qs::Icon) { log(QLatin1String(kind) + u' ' + text); });
    const bool end = qs::MiseAJour(dialogs) == qs::UpdateOutcome::EndProgram;
    log(end ? QStringLiteral("end") : QStringLiteral("continue"));
    return 0;
}
