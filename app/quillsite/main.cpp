#include "lib/helpers.h"
#include "lib/translations.h"
#include "lib/update.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "ui/qtdialogs.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QWidget>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const char* const kVerbose = "--verbeux";

bool verboseAsked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], kVerbose) == 0)
            return true;
    return false;
}

// The browser engine reports its GL set-up, sandbox and GPU state on every start: useful when it fails,
// noise otherwise. These settings only take effect before the engine starts.
void quietBrowserEngine() {
    QByteArray rules = qgetenv("QT_LOGGING_RULES");
    if (!rules.isEmpty())
        rules += ';';
    qputenv("QT_LOGGING_RULES", rules + "qt.webenginecontext.debug=false;qt.webenginecontext.info=false");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + (flags.isEmpty() ? "" : " ") + "--log-level=3");
}

QtMessageHandler qtHandler = nullptr;

// Keeps our own warnings and every critical or fatal message; drops what the browser engine and the
// pages' scripts chatter about.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const QByteArray category(context.category ? context.category : "");
    const bool engine = category.startsWith("qt.webengine") || category == "js";
    const bool noise = type == QtDebugMsg || type == QtInfoMsg ||
                       (type == QtWarningMsg && (engine || text.startsWith(QLatin1String("Sandboxing"))));
    if (!noise)
        qtHandler(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    // Asked by the updater to check that this build runs, before any window.
    if (qs::printVersionIfAsked(argc, argv))
        return 0;
    const bool verbose = verboseAsked(argc, argv);
#ifdef Q_OS_UNIX
    // Qt WebEngine refuses to start its sandbox as root; only then is it switched off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    if (!verbose) {
        quietBrowserEngine();
        qtHandler = qInstallMessageHandler(quietHandler);
    }
    // Needed by Qt WebEngine, and set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendrel"));
    QApplication::setApplicationName(QString::fromUtf16(qs::kProgramName));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillsite"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLSITE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("fr.vendrel.Quillsite"));
    // The icon installed beside the program (share/icons), else the desktop theme's.
    const QString installed = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/share/icons/hicolor/256x256/apps/fr.vendrel.Quillsite.png");
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("fr.vendrel.Quillsite"), QIcon(installed)));
    qs::installFrenchTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillsite : création et entretien de sites de documentation en HTML."));
    // Qt's own help option is described in English: ours says it in French.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("aide"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addOption(
        QCommandLineOption(QString::fromLatin1(kVerbose + 2),
                           QStringLiteral("Affiche les messages du moteur de rendu des pages.")));
    parser.process(app);
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }

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
