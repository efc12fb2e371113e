// Times queries in a site's Recherche.htm, opened from the disk in Qt WebEngine (offscreen): for each
// query, the time from the address change to the results shown, first (data files to load) and again.
// Usage: quillsite-querytime SITE QUERY...
#include "webpage.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

using namespace qs;

int main(int argc, char** argv) {
    web::allowRunningAsRoot();
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
    // The index file itself is loaded after the page.
    const QString file = QFileInfo(args[1] + QStringLiteral("/Recherche.htm")).absoluteFilePath();
    if (!web::load(page, QUrl::fromLocalFile(file), 60000) ||
        !web::waitUntil([&] { return web::searchTurn(page) >= 0; }, 60000)) {
        std::fprintf(stderr, "%s ne se charge pas.\n", qPrintable(file));
        return 1;
    }
    // Milliseconds seen from outside the page.
    const auto ask = [&](const QString& query) {
        QElapsedTimer timer;
        timer.start();
        web::askInAddress(page, query, 60000);
        return double(timer.nsecsElapsed()) / 1e6;
    };
    // The data files a query loads: each is a script element of its own.
    const QString loads = QStringLiteral("document.scripts.length");
    for (const QString& query : args.mid(2)) {
        const int before = web::evaluate(page, loads).toInt();
        const double first = ask(query);
        const int files = web::evaluate(page, loads).toInt() - before;
        const double inPage = web::evaluate(page, QStringLiteral("QS_recherche.duree")).toDouble();
        const QString state =
            web::evaluate(page, QStringLiteral("document.getElementById('etat').textContent")).toString();
        ask(QStringLiteral("zzzz"));
        const double again = ask(query);
        std::printf(
            "requête « %s » : %.1f ms (dans la page %.1f ms, %d fichiers chargés), de nouveau %.1f ms ; %s\n",
            qPrintable(query), first, inPage, files, again, qPrintable(state));
    }
    return 0;
}
