// Times queries in a site's Recherche.htm, opened from the disk in Qt WebEngine (offscreen): for each
// query, the time from the address change to the results shown, first (data files to load) and again.
// Usage: quillsite-querytime SITE QUERY...
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QUrl>
#include <QWebEnginePage>

#include <cstdio>
#include <unistd.h>

namespace {

QVariant evaluate(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    for (QDeadlineTimer limit(60000); !done && !limit.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return result;
}

int turn(QWebEnginePage& page) {
    return evaluate(page, QStringLiteral("window.QS_recherche ? QS_recherche.tour : -1")).toInt();
}

// Sets the query and waits for its answer; milliseconds seen from outside the page.
double ask(QWebEnginePage& page, const QString& query) {
    const int before = turn(page);
    QElapsedTimer timer;
    timer.start();
    evaluate(
        page,
        QStringLiteral("location.hash = '#q=%1'").arg(QString::fromLatin1(QUrl::toPercentEncoding(query))));
    for (QDeadlineTimer limit(60000); turn(page) <= before && !limit.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "Usage : quillsite-querytime SITE REQUÊTE...\n");
        return 2;
    }
    QWebEnginePage page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    page.load(QUrl::fromLocalFile(args[1] + QStringLiteral("/Recherche.htm")));
    for (QDeadlineTimer limit(60000); !loaded && !limit.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // The index file itself is loaded after the page.
    for (QDeadlineTimer limit(60000);
         !evaluate(page, QStringLiteral("!!document.getElementById('etat')")).toBool() &&
         !limit.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (const QString& query : args.mid(2)) {
        const double first = ask(page, query);
        const double inPage = evaluate(page, QStringLiteral("QS_recherche.duree")).toDouble();
        const QString state =
            evaluate(page, QStringLiteral("document.getElementById('etat').textContent")).toString();
        ask(page, QStringLiteral("zzzz"));
        const double again = ask(page, query);
        std::printf("requête « %s » : %.1f ms (dans la page %.1f ms), de nouveau %.1f ms ; %s\n",
                    qPrintable(query), first, inPage, again, qPrintable(state));
    }
    return 0;
}
