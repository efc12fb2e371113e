#include "shell/startup.h"

#include "lib/clock.h"
#include "lib/files.h"
#include "shell/fmain.h"
#include "shell/frmsplash.h"
#include "ui/qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>

namespace qs {

int Main(const StartupOptions& options) {
    frmSplash splash;
    splash.show();
    FenêtreCentrer(&splash);
    QCoreApplication::processEvents();

    const QString folder = withSeparator(QDir::toNativeSeparators(
        options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options.programFolder));
    const QString name = options.programName.isEmpty()
                             ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                             : options.programName;

    QtDialogs dialogs;
    // A question during the start-up is not to be hidden behind the splash, nor shown on top of it.
    dialogs.setBeforeModal([&splash] { splash.close(); });
    if (!startupUpdate(folder, name, dialogs, updateProcedure()))
        return 0;

    QCoreApplication::processEvents();
    QElapsedTimer shown;
    shown.start();
    // The splash's second starts the browser engine, so that the window does not wait for it.
    if (options.browser == BrowserPane::Engine::Default)
        BrowserPane::prepareEngine();
    if (shown.elapsed() < options.splashMilliseconds) {
        QEventLoop wait;
        QTimer::singleShot(int(options.splashMilliseconds - shown.elapsed()), &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    splash.repaint();

    SystemClock clock;
    MainState state(dialogs, clock, folder);
    Shell shell(state);
    F_Main window(state, shell, options.browser);
    dialogs.setParent(&window);
    dialogs.setStatusSink([&window](const QString& text) { window.statusBar()->showMessage(text); });

    window.Form_Load();
    splash.close();
    dialogs.setBeforeModal({});
    if (shell.programEnded)
        return 0;
    window.show();
    return QApplication::exec();
}

} // namespace qs
