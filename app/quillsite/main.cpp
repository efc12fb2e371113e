#include "lib/helpers.h"
#include "lib/update.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "version.h"

#include <QApplication>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char** argv) {
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
    // The automatic update, at start-up on the build machine and from the Tools menu.
    qs::setUpdateProcedure(
        [](qs::Dialogs& dialogs) { return qs::MiseAJour(dialogs) == qs::UpdateOutcome::Continue; });
    return qs::Main();
}
