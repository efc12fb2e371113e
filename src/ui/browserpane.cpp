#include "ui/browserpane.h"

#include "lib/fileio.h"
#include "lib/text1252.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#ifdef QUILLSITE_WEBENGINE
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#endif

namespace qs {

// What the pane needs of a view, whichever engine draws the page.
class BrowserPane::View {
public:
    virtual ~View() = default;
    virtual QWidget* widget() = 0;
    virtual void load(const QUrl& url) = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;
    virtual bool busy() const = 0;
    virtual QString title() const = 0;
    // Our own page, shown as if it were at `base`.
    virtual void showHtml(const QString& html, const QUrl& base) = 0;
};

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString messagePage(const QString& title, const QString& text) {
    return QStringLiteral("<html><head><title>%1</title></head><body><h3>%1</h3><p>%2</p></body></html>")
        .arg(escaped(title), text);
}

// Our own page for an address that cannot be shown, in place of the engine's English one.
QString errorPage(const QUrl& url, const QString& reason) {
    const QString where = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    const QString name = url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : where;
    return messagePage(
        QStringLiteral("Page introuvable : %1").arg(name),
        QStringLiteral("Impossible d'afficher <b>%1</b> : %2").arg(escaped(where), escaped(reason)));
}

// Our own page for a generated page that is not there yet.
QString missingPage(const QUrl& url, const QString& text) {
    return messagePage(QStringLiteral("Page pas encore générée"),
                       escaped(text) + QStringLiteral("<br><br><small>%1</small>")
                                           .arg(escaped(QDir::toNativeSeparators(url.toLocalFile()))));
}

// Why a local file cannot be shown, in the user's words.
QString localFailure(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("ce fichier n'existe pas.");
    if (info.isDir())
        return QStringLiteral("c'est un dossier, pas une page.");
    return QStringLiteral("ce fichier ne peut pas être lu.");
}

// Pages of a site are Windows-1252 unless they say otherwise.
QString decodePage(const QByteArray& bytes) {
    static const QRegularExpression utf8(QStringLiteral("charset\\s*=\\s*[\"']?utf-?8"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(2048));
    if (bytes.startsWith("\xEF\xBB\xBF") || utf8.match(head).hasMatch())
        return QString::fromUtf8(bytes);
    return fromWindows1252(bytes);
}

bool isPage(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext == u"htm" || ext == u"html" || ext == u"shtm" || ext == u"shtml" || ext == u"txt";
}

// QTextBrowser that reads pages from disk as the site writes them and explains what it cannot show.
class PageBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& url) override {
        if (!url.isLocalFile()) {
            if (type == QTextDocument::HtmlResource || type == QTextDocument::UnknownResource)
                return messagePage(QStringLiteral("Adresse non affichable"),
                                   QStringLiteral("Ce navigateur simplifié n'affiche que les pages "
                                                  "enregistrées sur le disque :<br><b>%1</b>")
                                       .arg(escaped(url.toString())));
            return {};
        }
        const QString path = url.toLocalFile();
        if (type != QTextDocument::HtmlResource && !(type == QTextDocument::UnknownResource && isPage(path)))
            return QTextBrowser::loadResource(type, url);
        // Bounded, and only an ordinary file: a page linked to a device or a FIFO must not hang the window.
        FileError error;
        const auto bytes = readWholeFile(path, kMaxWholeFile, &error);
        if (!bytes) {
            const QFileInfo info(path);
            return errorPage(url, info.exists() && !info.isDir() ? fileErrorCause(error) + u'.'
                                                                 : localFailure(path));
        }
        const QString text = decodePage(*bytes);
        if (QFileInfo(path).suffix().compare(u"txt", Qt::CaseInsensitive) == 0)
            return QStringLiteral("<pre>%1</pre>").arg(escaped(text));
        return text;
    }
};

} // namespace

class BrowserPane::TextView final : public BrowserPane::View {
public:
    explicit TextView(BrowserPane* pane) : pane_(pane), browser_(new PageBrowser(pane)) {
        browser_->setOpenLinks(true);
        browser_->setOpenExternalLinks(false);
        QObject::connect(browser_, &QTextBrowser::sourceChanged, pane, [this](const QUrl& url) {
            pane_->addressBox()->setEditText(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                                               : url.toString());
            pane_->watch(url);
            Q_EMIT pane_->titleChanged(title());
        });
    }
    QWidget* widget() override { return browser_; }
    void load(const QUrl& url) override {
        busy_ = true;
        Q_EMIT pane_->loadStarted();
        // The same address again is read again: the file may have changed.
        if (browser_->source() == url)
            browser_->reload();
        else
            browser_->setSource(url);
        busy_ = false;
        Q_EMIT pane_->titleChanged(title());
        Q_EMIT pane_->loadFinished();
    }
    void back() override { browser_->backward(); }
    void forward() override { browser_->forward(); }
    void stop() override {}
    void reload() override { browser_->reload(); }
    bool busy() const override { return busy_; }
    QString title() const override { return browser_->documentTitle().trimmed(); }
    void showHtml(const QString& html, const QUrl& base) override {
        browser_->setHtml(html);
        pane_->addressBox()->setEditText(QDir::toNativeSeparators(base.toLocalFile()));
        pane_->watch(base);
        Q_EMIT pane_->titleChanged(title());
    }

private:
    BrowserPane* pane_;
    PageBrowser* browser_;
    bool busy_ = false;
};

#ifdef QUILLSITE_WEBENGINE
class BrowserPane::WebView final : public BrowserPane::View {
public:
    explicit WebView(BrowserPane* pane) : view_(new QWebEngineView(pane)) {
        view_->settings()->setDefaultTextEncoding(QStringLiteral("windows-1252"));
        view_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        QObject::connect(view_, &QWebEngineView::loadStarted, pane, [this, pane] {
            busy_ = true;
            Q_EMIT pane->loadStarted();
        });
        QObject::connect(view_, &QWebEngineView::loadFinished, pane, [this, pane](bool) {
            busy_ = false;
            Q_EMIT pane->loadFinished();
        });
        QObject::connect(view_, &QWebEngineView::titleChanged, pane, &BrowserPane::titleChanged);
        QObject::connect(view_, &QWebEngineView::urlChanged, pane, [pane](const QUrl& url) {
            if (url.isEmpty())
                return;
            pane->addressBox()->setEditText(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                                              : url.toString());
            pane->watch(url);
        });
        // The engine's own error pages are in English: ours replace them.
        view_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        QObject::connect(
            view_->page(), &QWebEnginePage::loadingChanged, pane, [this](const QWebEngineLoadingInfo& info) {
                // A load given up for a newer one (net::ERR_ABORTED) is no failure to show.
                constexpr int kAborted = -3;
                if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || info.isErrorPage() ||
                    info.errorCode() == kAborted || info.url() != requested_)
                    return;
                const QUrl url = info.url();
                const QString reason =
                    url.isLocalFile()
                        ? localFailure(url.toLocalFile())
                        : QStringLiteral("la page n'a pas pu être chargée (%1).").arg(info.errorString());
                view_->setHtml(errorPage(url, reason), url);
            });
    }
    QWidget* widget() override { return view_; }
    void load(const QUrl& url) override {
        requested_ = url;
        view_->load(url);
    }
    void showHtml(const QString& html, const QUrl& base) override {
        requested_.clear();
        view_->setHtml(html, base);
    }
    void back() override { view_->back(); }
    void forward() override { view_->forward(); }
    void stop() override { view_->stop(); }
    void reload() override { view_->reload(); }
    bool busy() const override { return busy_; }
    QString title() const override {
        // Without a <title>, WebEngine reports the address: that is no document title.
        const QString t = view_->title().trimmed();
        return t == view_->url().toString() || t == view_->url().toDisplayString() ? QString() : t;
    }

private:
    QWebEngineView* view_;
    QUrl requested_;
    bool busy_ = false;
};
#endif

BrowserPane::BrowserPane(QWidget* parent, Engine engine) : QWidget(parent) {
    setObjectName(QStringLiteral("BrowserPane"));
#ifdef QUILLSITE_WEBENGINE
    if (engine == Engine::Default) {
        // Blank as an empty page is, so that the engine's view takes its place without a flash.
        standIn_ = new QWidget(this);
        standIn_->setObjectName(QStringLiteral("brwAttente"));
        standIn_->setBackgroundRole(QPalette::Base);
        standIn_->setAutoFillBackground(true);
        standIn_->installEventFilter(this);
    }
#endif
    if (!standIn_) {
        view_ = new TextView(this);
        view_->widget()->setObjectName(QStringLiteral("brwWebBrowser"));
    }

    auto makeButton = [this](const char* name, QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    back_ = makeButton("cmdBack", QStyle::SP_ArrowBack, QStringLiteral("Page précédente (Alt+Gauche)"));
    forward_ =
        makeButton("cmdForward", QStyle::SP_ArrowForward, QStringLiteral("Page suivante (Alt+Droite)"));
    stop_ = makeButton("cmdStop", QStyle::SP_BrowserStop, QStringLiteral("Arrêter le chargement"));
    refresh_ = makeButton("cmdRefresh", QStyle::SP_BrowserReload, QStringLiteral("Recharger la page"));
    back_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    forward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));

    address_ = new QComboBox(this);
    address_->setObjectName(QStringLiteral("cboAddress"));
    address_->setEditable(true);
    address_->setInsertPolicy(QComboBox::NoInsert);
    address_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    address_->setMinimumContentsLength(12);
    address_->lineEdit()->setPlaceholderText(QStringLiteral("Adresse"));
    address_->setToolTip(QStringLiteral("Adresse de la page affichée ; Entrée pour l'ouvrir"));

    connect(back_, &QToolButton::clicked, this, &BrowserPane::back);
    connect(forward_, &QToolButton::clicked, this, &BrowserPane::forward);
    connect(stop_, &QToolButton::clicked, this, &BrowserPane::stop);
    connect(refresh_, &QToolButton::clicked, this, &BrowserPane::reload);
    connect(address_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { navigate(address_->currentText().trimmed()); });
    connect(address_, &QComboBox::activated, this,
            [this](int index) { navigate(address_->itemText(index)); });

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(stop_);
    bar->addWidget(refresh_);
    bar->addWidget(address_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(standIn_ ? standIn_ : view_->widget(), 1);

    // A shown page that the program (or anyone) rewrites is shown again. Its folder is watched too:
    // files are replaced whole, and a frameset's frames lie beside it.
    watcher_ = new QFileSystemWatcher(this);
    reloadTimer_.setSingleShot(true);
    reloadTimer_.setInterval(250);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] {
        if (watched_.isEmpty())
            return;
        const QUrl shown = watched_;
        // A page awaited is shown once written, and only then.
        if (shown == missing_ && !QFileInfo::exists(shown.toLocalFile()))
            return;
        missing_.clear();
        display(shown);
        // A file replaced whole is a new file to follow.
        watched_.clear();
        watch(shown);
    });
    auto changed = [this] { reloadTimer_.start(); };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
}

void BrowserPane::watch(const QUrl& url) {
    if (url == watched_ && !watcher_->files().isEmpty())
        return;
    reloadTimer_.stop();
    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    watched_ = url.isLocalFile() ? url : QUrl();
    if (watched_.isEmpty())
        return;
    const QString path = url.toLocalFile();
    watcher_->addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        watcher_->addPath(path);
}

bool BrowserPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == standIn_ && event->type() == QEvent::Paint) {
        standIn_->removeEventFilter(this);
        // Once this paint is on the screen, not before: the window shows first.
        QTimer::singleShot(0, this, &BrowserPane::startEngine);
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserPane::startEngine() {
#ifdef QUILLSITE_WEBENGINE
    if (view_ || !standIn_)
        return;
    view_ = new WebView(this);
    view_->widget()->setObjectName(QStringLiteral("brwWebBrowser"));
    layout()->replaceWidget(standIn_, view_->widget());
    standIn_->deleteLater();
    standIn_ = nullptr;
    if (!pendingHtml_.isEmpty())
        view_->showHtml(pendingHtml_, pending_);
    else if (!pending_.isEmpty())
        view_->load(pending_);
    pending_.clear();
    pendingHtml_.clear();
    Q_EMIT engineStarted();
#endif
}

void BrowserPane::prepareEngine() {
#ifdef QUILLSITE_WEBENGINE
    // The default profile starts the engine's context, the costly part of a first view.
    QWebEngineProfile::defaultProfile();
#endif
}

void BrowserPane::display(const QUrl& url) {
    // Followed from now on, not once the view says it is there: a change to the page shown before
    // must not bring it back over this one.
    watch(url);
    if (view_) {
        view_->load(url);
        return;
    }
    pending_ = url;
    pendingHtml_.clear();
    Q_EMIT loadStarted();
}

void BrowserPane::showMissing(const QString& address, const QString& text) {
    const QUrl url = urlFor(address);
    missing_ = url;
    const QString html = missingPage(url, text);
    address_->setEditText(QDir::toNativeSeparators(url.toLocalFile()));
    watch(url);
    if (view_) {
        view_->showHtml(html, url);
        return;
    }
    pending_ = url;
    pendingHtml_ = html;
}

BrowserPane::~BrowserPane() {
    delete view_;
}

QUrl BrowserPane::urlFor(const QString& address) {
    const QString a = address.trimmed();
    static const QRegularExpression web(QStringLiteral("^(https?|ftp|file):"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (web.match(a).hasMatch())
        return QUrl(a);
    return QUrl::fromLocalFile(QFileInfo(a).absoluteFilePath());
}

void BrowserPane::navigate(const QString& address) {
    const QString a = address.trimmed();
    if (a.isEmpty())
        return;
    if (address_->findText(a) < 0)
        address_->addItem(a);
    address_->setCurrentIndex(address_->findText(a));
    address_->setEditText(a);
    go(a);
}

void BrowserPane::go(const QString& address) {
    missing_.clear();
    display(urlFor(address));
}

void BrowserPane::back() {
    if (view_)
        view_->back();
}

void BrowserPane::forward() {
    if (view_)
        view_->forward();
}

void BrowserPane::stop() {
    if (view_)
        view_->stop();
}

void BrowserPane::reload() {
    if (view_)
        view_->reload();
}

bool BrowserPane::isBusy() const {
    // A page waiting for the engine is still to load.
    return view_ ? view_->busy() : !pending_.isEmpty() && pendingHtml_.isEmpty();
}

QString BrowserPane::documentTitle() const {
    return view_ ? view_->title() : QString();
}

} // namespace qs
