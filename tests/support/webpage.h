#pragma once

// A page of the site opened in Qt WebEngine (offscreen) and driven from outside: by the tests and by
// the benchmarks, so header only (no test library to link).

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

#include <unistd.h>

namespace qs::web {

// WebEngine's sandbox cannot start as root (containers, CI): call before the first page.
inline void allowRunningAsRoot() {
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// Processes events until `done()` or `ms` milliseconds; done's last answer.
template <typename Done> bool waitUntil(Done&& done, int ms = 20000) {
    for (QDeadlineTimer limit(ms); !limit.hasExpired();) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return done();
}

// The value of `script` run in the page; an invalid QVariant when it does not come within `ms`.
inline QVariant evaluate(QWebEnginePage& page, const QString& script, int ms = 20000) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitUntil([&] { return done; }, ms);
    return result;
}

// Loads `url`; false when it fails or takes over `ms`.
inline bool load(QWebEnginePage& page, const QUrl& url, int ms = 20000) {
    bool finished = false;
    bool ok = false;
    const auto connection = QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool success) {
        finished = true;
        ok = success;
    });
    page.load(url);
    waitUntil([&] { return finished; }, ms);
    QObject::disconnect(connection);
    return ok;
}

// Recherche.htm: how many queries it has answered (-1 before its script ran).
inline int searchTurn(QWebEnginePage& page) {
    return evaluate(page, QStringLiteral("window.QS_recherche ? QS_recherche.tour : -1")).toInt();
}

// Recherche.htm: puts `query` in the address, as a link to a search does, and waits for its answer;
// false when none comes within `ms`.
inline bool askInAddress(QWebEnginePage& page, const QString& query, int ms = 20000) {
    const int before = searchTurn(page);
    evaluate(
        page,
        QStringLiteral("location.hash = '#q=%1'").arg(QString::fromLatin1(QUrl::toPercentEncoding(query))));
    return waitUntil([&] { return searchTurn(page) > before; }, ms);
}

} // namespace qs::web
