// Times queries in a site's Recherche.htm, opened from the disk in Qt WebEngine (offscreen): the time
// until the page is ready, then for each query the time from the address change to the list shown,
// first (data files to load; the excerpts follow) and again.
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
    const auto number = [&](const char* expression) {
        return web::evaluate(page, QString::fromLatin1(expression)).toDouble();
    };
    // The index file and the title files it preloads come after the page itself.
    const QString file = QFileInfo(args[1] + QStringLiteral("/Recherche.htm")).absoluteFilePath();
    QElapsedTimer opening;
    opening.start();
    if (!web::load(page, QUrl::fromLocalFile(file), 60000) ||
        !web::waitUntil([&] { return number("window.QS_recherche && QS_recherche.pret ? 1 : 0") == 1; },
                        60000)) {
        std::fprintf(stderr, "%s ne se charge pas.\n", qPrintable(file));
        return 1;
    }
    std::printf("page prête : %.1f ms (%d fichiers chargés)\n", double(opening.nsecsElapsed()) / 1e6,
                int(number("document.scripts.length")) - 1);
    // Milliseconds seen from outside the page until the list is shown, then until the excerpts are.
    const auto ask = [&](const QString& query) {
        const double lists = number("QS_recherche.liste"), answers = number("QS_recherche.tour");
        QElapsedTimer timer;
        timer.start();
        web::evaluate(page, QStringLiteral("location.hash = '#q=%1'")
                                .arg(QString::fromLatin1(QUrl::toPercentEncoding(query))));
        web::waitUntil([&] { return number("QS_recherche.liste") > lists; }, 60000);
        const double list = double(timer.nsecsElapsed()) / 1e6;
        web::waitUntil([&] { return number("QS_recherche.tour") > answers; }, 60000);
        return std::pair(list, double(timer.nsecsElapsed()) / 1e6);
    };
    // The data files a query loads, each a script element of its own: terms and titles for the list,
    // then excerpts.
    const char* forList = "[...document.scripts].filter(s => /\\/[tn][^/]*\\.js$/.test(s.src)).length";
    const char* forExcerpts = "[...document.scripts].filter(s => /\\/p[0-9]+\\.js$/.test(s.src)).length";
    for (const QString& query : args.mid(2)) {
        const double listBefore = number(forList), excerptsBefore = number(forExcerpts);
        const auto [first, excerpts] = ask(query);
        const int listFiles = int(number(forList) - listBefore);
        const int excerptFiles = int(number(forExcerpts) - excerptsBefore);
        const double inPage = number("QS_recherche.duree");
        const QString state =
            web::evaluate(page, QStringLiteral("document.getElementById('etat').textContent")).toString();
        ask(QStringLiteral("zzzz"));
        const double again = ask(query).first;
        std::printf(
            "requête « %s » : %.1f ms (dans la page %.1f ms, %d fichiers pour la liste), extraits à %.1f ms "
            "(%d fichiers), de nouveau %.1f ms ; %s\n",
            qPrintable(query), first, inPage, listFiles, excerpts, excerptFiles, again, qPrintable(state));
    }
    return 0;
}
