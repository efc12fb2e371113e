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

// Without a window: every message is logged, every question answered No, every prompt cancelled.
class LoggingDialogs final : public qs::Dialogs {
public:
    void message(const QString& text, qs::Icon, const QString&) override {
        log(QStringLiteral("message ") + text);
    }
    bool question(const QString& text, qs::Icon, const QString&) override {
        log(QStringLiteral("question ") + text);
        return false;
    }
    QString prompt(const QString& text, const QString&, const QString&) override {
        log(QStringLiteral("prompt ") + text);
        return {};
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
    void status(const QString&) override {}
    void processEvents() override {}

protected:
    void setBusy(bool) override {}
};

} // namespace

int main(int argc, char** argv) {
    if (qs::printVersionIfAsked(argc, argv))
        return 0;
    QCoreApplication app(argc, argv);
    log(QStringLiteral("start"));
    if (const auto report = qs::updateFinished(QCoreApplication::applicationFilePath()))
        log(QStringLiteral("report ") + report->text);
    LoggingDialogs dialogs;
    const bool end = qs::MiseAJour(dialogs) == qs::UpdateOutcome::EndProgram;
    log(end ? QStringLiteral("end") : QStringLiteral("continue"));
    return 0;
}
