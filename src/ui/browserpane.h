#pragma once

#include <QTimer>
#include <QUrl>
#include <QWidget>

class QComboBox;
class QFileSystemWatcher;
class QToolButton;

namespace qs {

// The main window's browser pane: a navigation bar (back, forward, stop, refresh and the address box
// cboAddress) above the page view brwWebBrowser. The view is Qt WebEngine when the build has it,
// otherwise a QTextBrowser that reads local pages as Windows-1252 (no frames, no scripts).
class BrowserPane : public QWidget {
    Q_OBJECT
public:
    enum class Engine {
        Default, // Qt WebEngine when built with it
        Text,    // always the QTextBrowser
    };

    explicit BrowserPane(QWidget* parent = nullptr, Engine engine = Engine::Default);
    ~BrowserPane() override;

    // Shows an address: it becomes the text of the address box, joins the box's list (once) and the
    // view starts loading it. An empty address does nothing.
    void navigate(const QString& address);
    // True while a page is loading.
    bool isBusy() const;
    // Title of the document shown ("" when it has none).
    QString documentTitle() const;
    // Shows our own page in place of `address`, a page that has not been written yet, saying `text`;
    // the address is followed, so that the page shows as soon as it is written.
    void showMissing(const QString& address, const QString& text);
    // True once the view exists. Qt WebEngine's is made after the pane's first paint: starting the
    // engine takes a few hundred milliseconds that the window's first appearance does not wait for.
    // Addresses given meanwhile are shown once it is there.
    bool engineReady() const { return view_ != nullptr; }
    // Starts the browser engine ahead of the first view (while the splash shows): the view is then
    // made without the engine's start-up. Does nothing without Qt WebEngine.
    static void prepareEngine();

    QComboBox* addressBox() const { return address_; }

    // What an address means: an absolute URL when it has a scheme of the web ("http:", "https:",
    // "ftp:", "file:"), otherwise a path on disk (relative ones taken from the current folder).
    static QUrl urlFor(const QString& address);

Q_SIGNALS:
    void loadStarted();
    void loadFinished();
    void titleChanged(const QString& title);
    void engineStarted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startEngine();
    // Loads into the view, or keeps it for the view to come.
    void display(const QUrl& url);
    // Follows the local file shown (and its folder) so that a rewrite shows again.
    void watch(const QUrl& url);
    void go(const QString& address);
    void back();
    void forward();
    void stop();
    void reload();

    class View;
    class TextView;
    class WebView;
    View* view_ = nullptr;
    QWidget* standIn_ = nullptr; // fills the view's place until the engine has started
    QUrl pending_;               // what the view is to show once made
    QString pendingHtml_;
    QUrl missing_; // the page not yet written that the view stands in for
    QComboBox* address_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QToolButton* stop_ = nullptr;
    QToolButton* refresh_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer reloadTimer_;
    QUrl watched_;
};

} // namespace qs
