// Times the main window on the offscreen platform, as the program starts it (without the splash's
// second, so without the engine's start that the splash hides): from launch to a painted window with the
// site's domains listed (and on to the browser engine's start, which follows the first paint), on a small
// site and on a 50,000-page site; then the showing of a 5,000-page category, from the user's click to a
// painted list.
//
//   bench_window_run DATA-FOLDER     (the made sites are kept there between runs)
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "shell/fmain.h"
#include "shell/shell.h"
#include "site/listing.h"
#include "sitemaker.h"
#include "ui/qtdialogs.h"
#include "ui/structureview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

double ms(qint64 ns) {
    return double(ns) / 1e6;
}

// A made site, kept between runs (marked by FOLDER.fait).
QString site(const QString& data, const char* name, int domains, int categories, int pages) {
    const QString folder = data + u'/' + QLatin1String(name);
    if (!QFile::exists(folder + QStringLiteral(".fait"))) {
        QDir(folder).removeRecursively();
        std::printf("Fabrication du site %s (%d x %d x %d pages)...\n", name, domains, categories, pages);
        std::fflush(stdout);
        QString error;
        qs::bench::SiteShape shape;
        shape.domains = domains;
        shape.categories = categories;
        shape.pages = pages;
        shape.lines = 4;
        if (!qs::bench::makeSite(folder, shape, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::exit(1);
        }
        // A home page, as a site the program made has one: start-up explores and shows it.
        QFile home(folder + QStringLiteral("/Index.htm"));
        if (home.open(QIODevice::WriteOnly))
            home.write("<HTML><HEAD><TITLE>Accueil</TITLE></HEAD><BODY>Accueil</BODY></HTML>\r\n");
        QFile(folder + QStringLiteral(".fait")).open(QIODevice::WriteOnly);
    }
    return QDir::toNativeSeparators(folder + QStringLiteral("/Index.htm"));
}

// Runs events until the window is on the screen and nothing is left to do.
void settle(QWidget& window) {
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

struct Window {
    explicit Window(const QString& programFolder)
        : state(dialogs, clock, programFolder), shell(state), window(state, shell) {
        dialogs.setParent(&window);
    }
    qs::QtDialogs dialogs;
    qs::SystemClock clock;
    qs::MainState state;
    qs::Shell shell;
    qs::F_Main window;
};

// Notes when a widget is first painted.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* widget, const QElapsedTimer& clock) : clock_(clock) {
        widget->installEventFilter(this);
    }
    qint64 at = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && at < 0)
            at = clock_.nsecsElapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
};

struct StartTimes {
    qint64 usable = 0; // the lists painted on the screen, filled
    qint64 engine = 0; // the browser engine started too
};

// From nothing to a usable window on the stored site, then to a started browser engine.
StartTimes startUp(const QString& address, const QString& programFolder) {
    qs::ParamètreEcrire(QStringLiteral("Adresse"), address);
    QElapsedTimer t;
    t.start();
    Window w(programFolder);
    auto* dListe = w.window.findChild<qs::StructureView*>(QStringLiteral("dListe"));
    FirstPaint painted(dListe->viewport(), t);
    w.window.Form_Load();
    w.window.show();
    settle(w.window);
    while (painted.at < 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (!w.window.browser()->engineReady())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const StartTimes times{painted.at, t.nsecsElapsed()};
    if (w.state.dListe.count() == 0)
        std::fprintf(stderr, "Aucun domaine listé : la mesure ne vaut rien.\n");
    return times;
}

void report(const char* what, const StartTimes& times) {
    std::printf("%-62s %8.1f ms\n", what, ms(times.usable));
    std::printf("%-62s %8.1f ms\n", "  moteur du navigateur démarré", ms(times.engine));
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer launch;
    launch.start();
    if (argc < 2) {
        std::fprintf(stderr, "Usage : bench_window_run DOSSIER-DE-DONNÉES\n");
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/window");
    QDir().mkpath(data);
    // The settings and trash of the run stay beside its data.
    qputenv("XDG_CONFIG_HOME", (data + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (data + QStringLiteral("/data")).toLocal8Bit());
#ifdef Q_OS_UNIX
    // As the program does: the browser engine's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendrel"));
    QApplication::setApplicationName(QStringLiteral("quillsite-bench"));
    const qint64 application = launch.nsecsElapsed();

    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u'/');
    const QString small = site(data, "petit", 3, 3, 10);
    const QString large = site(data, "grand", 50, 20, 50);
    const QString category = site(data, "categorie", 1, 1, 5000);

    std::printf("%-62s %8.1f ms\n", "Création de l'application Qt", ms(application));
    report("Fenêtre utilisable, petit site (90 pages), premier lancement", startUp(small, program));
    report("Fenêtre utilisable, petit site (90 pages)", startUp(small, program));
    report("Fenêtre utilisable, site de 50 000 pages", startUp(large, program));

    // A category of 5,000 pages, chosen as the user does.
    qs::ParamètreEcrire(QStringLiteral("Adresse"), category);
    Window w(program);
    w.window.Form_Load();
    w.window.show();
    settle(w.window);
    auto* tListe = w.window.findChild<qs::StructureView*>(QStringLiteral("tListe"));
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        w.state.dListe.select(0);
        qs::dListe_Click(w.state);
        w.state.cListe.select(-1);
        qs::cListe_Click(w.state);
        settle(w.window);
        QElapsedTimer t;
        t.start();
        w.state.cListe.select(0);
        qs::cListe_Click(w.state);
        tListe->viewport()->repaint();
        QCoreApplication::processEvents();
        const double took = ms(t.nsecsElapsed());
        if (tListe->model()->rowCount() != 5000)
            std::fprintf(stderr, "%d pages listées au lieu de 5000.\n", tListe->model()->rowCount());
        best = run == 0 ? took : std::min(best, took);
    }
    std::printf("%-62s %8.1f ms\n", "Catégorie de 5 000 pages affichée (meilleur de 3)", best);
    return 0;
}
