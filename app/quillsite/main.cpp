#include "lib/helpers.h"
#include "lib/update.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "ui/qtdialogs.h"
#include "version.h"

#include <QApplication>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    // Asked by the updater to check that this build runs, before any window.
    if (qs::printVersionIfAsked(argc, argv))
        return 0;
#ifdef Q_OS_UNIX
    // Qt WebEngine refuses to start its sandbox as root; only then is it switched off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // Needed by Qt WebEngine, and set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendrel"));
    QApplication::setApplicationName(QString::fromUtf16(qs::kProgramName));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillsite"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLSITE_VERSION));
    // What the updater did last time, told once; this build has started, so the old one kept goes.
    if (const auto report = qs::updateFinished(QCoreApplication::applicationFilePath())) {
        qs::QtDialogs dialogs;
        dialogs.message(report->text, report->ok ? qs::Icon::Information : qs::Icon::Exclamation,
                        QStringLiteral("Vendrel - Mise à jour"));
    }
    // The automatic update, at start-up on the build machine and from the Tools menu (once the main
    // window exists), where every reason for not updating is told.
    qs::setUpdateProcedure([](qs::Dialogs& dialogs) {
        qs::UpdateEnvironment env = qs::currentUpdateEnvironment();
        for (const QWidget* w : QApplication::topLevelWidgets())
            env.fromMenu = env.fromMenu || w->objectName() == QLatin1String("F_Main");
        return qs::MiseAJour(dialogs, env) == qs::UpdateOutcome::Continue;
    });
    return qs::Main();
}
