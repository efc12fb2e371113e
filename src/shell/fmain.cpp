#include "shell/fmain.h"

#include "commands/fragmentedit.h"
#include "commands/selection.h"

#include "check/verifierwindow.h"
#include "commands/commands.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"
#include "explorer/explorerview.h"
#include "generate/fragments.h"
#include "generate/imgindex.h"
#include "indexer/indexation.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "shell/frmoptions.h"
#include "shell/frmsplash.h"
#include "shell/place.h"
#include "shell/relocation.h"
#include "site/listing.h"
#include "tools/toolwindows.h"
#include "ui/qtdialogs.h"
#include "ui/structureview.h"

#include <QAction>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace qs {

namespace {

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel* heading(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// The text boxes hold CR LF line ends, as the page files do; the editor widgets use LF.
QString forDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString fromDisplay(QString text) {
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

// A menu caption shows "&" itself only when doubled; the mnemonic of "&1" stays.
QString menuText(const QString& caption) {
    if (caption.startsWith(u'&') && caption.size() > 1)
        return caption.left(2) + caption.mid(2).replace(u'&', QStringLiteral("&&"));
    return caption;
}

const char* const kTypeCaptions[] = {"Images", "Fichiers ZIP", "Programmes", "CGI", "Sons"};

// Runs `resized` whenever the watched widget changes size.
class ResizeWatcher final : public QObject {
public:
    ResizeWatcher(QWidget* watched, std::function<void()> resized)
        : QObject(watched), resized_(std::move(resized)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            resized_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> resized_;
};

} // namespace

F_Main::F_Main(MainState& state, Shell& shell, BrowserPane::Engine engine, QWidget* parent)
    : QMainWindow(parent), state_(state), shell_(shell) {
    setObjectName(QStringLiteral("F_Main"));
    setWindowTitle(QStringLiteral("Quillsite"));
    setMinimumSize(720, 460);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* catalogue = new QWidget;
    auto* editor = new QWidget;
    auto* explorer = new QWidget;
    buildCatalogue(catalogue);
    buildEditor(editor);
    buildExplorer(explorer);
    SSTab1->addTab(catalogue, QStringLiteral("Catalogue"));
    SSTab1->addTab(editor, QStringLiteral("Editeur"));
    SSTab1->addTab(explorer, QStringLiteral("Explorer"));

    browser_ = new BrowserPane(this, engine);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->addWidget(SSTab1);
    splitter_->addWidget(browser_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setCollapsible(0, false);
    splitter_->setSizes({560, 600});
    setCentralWidget(splitter_);

    buildMenus();
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));

    timTimer.setObjectName(QStringLiteral("timTimer"));
    timTimer.setInterval(100);
    connect(&timTimer, &QTimer::timeout, this, &F_Main::timTimer_Timer);
    connect(browser_, &BrowserPane::loadStarted, this, [this] {
        if (!timTimer.isActive())
            timTimer.start();
        timTimer_Timer();
    });
    connect(browser_, &BrowserPane::loadFinished, this, &F_Main::timTimer_Timer);
    connect(browser_, &BrowserPane::titleChanged, this, &F_Main::timTimer_Timer);

    shell_.hooks.dAjouter = [this] { dAjouter_Click(state_); };
    shell_.hooks.showWindow = [this] { show(); };
    shell_.hooks.endProgram = [this] { endProgram(); };
    // The Explorer tab's logic and its widgets; made last, so that it goes after the widgets it feeds.
    explorer_ = new ExplorerTab(state_, this);
    explorerView_ = new ExplorerTabView(*explorer_,
                                        {tFichier,
                                         bExplorer,
                                         N,
                                         explorerPage_,
                                         {tFichierLabel_},
                                         mnuViewArbre,
                                         findChild<QToolBar*>(QStringLiteral("tbToolBar"))},
                                        this);
    // init's exploration of the home page runs once the window is up and can show it.
    shell_.hooks.bExplorer = [this] { explorerView_->pressLater(); };
    connectState();
    showState();
}

QSize F_Main::layoutSize() {
    return {1180, 740};
}

void F_Main::buildCatalogue(QWidget* page) {
    dListe = new StructureView(page);
    dListe->setObjectName(QStringLiteral("dListe"));
    cListe = new StructureView(page);
    cListe->setObjectName(QStringLiteral("cListe"));
    tListe = new StructureView(page);
    tListe->setObjectName(QStringLiteral("tListe"));
    dListe->setModel(&state_.dListe.model());
    dListe->setSelectionModel(&state_.dListe.selection());
    cListe->setModel(&state_.cListe.model());
    cListe->setSelectionModel(&state_.cListe.selection());
    tListe->setModel(&state_.tListe.model());
    tListe->setSelectionModel(&state_.tListe.selection());

    dAjouter = button("dAjouter", QStringLiteral("Nouveau Domaine"), page);
    cAjouter = button("cAjouter", QStringLiteral("Nouvelle Catégorie"), page);
    tAjouter = button("tAjouter", QStringLiteral("Ajouter"), page);
    tModifier = button("tModifier", QStringLiteral("Modifier"), page);
    tSupprimer = button("tSupprimer", QStringLiteral("Supprimer"), page);
    tImporter = button("tImporter", QStringLiteral("Importer"), page);
    ImgIndex = button("ImgIndex", QStringLiteral("Liste d'images de la catégorie"), page);
    dAjouter->setToolTip(QStringLiteral("Ajouter un domaine au site"));
    cAjouter->setToolTip(QStringLiteral("Ajouter une catégorie au domaine choisi"));
    tAjouter->setToolTip(QStringLiteral("Écrire une nouvelle page dans la catégorie choisie"));
    tImporter->setToolTip(QStringLiteral("Importer un fichier HTML ou texte comme nouvelle page"));

    auto* pageButtons = new QGridLayout;
    pageButtons->setContentsMargins(0, 0, 0, 0);
    pageButtons->addWidget(tAjouter, 0, 0);
    pageButtons->addWidget(tModifier, 0, 1);
    pageButtons->addWidget(tSupprimer, 1, 0);
    pageButtons->addWidget(tImporter, 1, 1);

    // The three lists side by side, their widths set by the user (and remembered).
    listsSplitter_ = new QSplitter(Qt::Horizontal, page);
    listsSplitter_->setObjectName(QStringLiteral("listsSplitter"));
    listsSplitter_->setChildrenCollapsible(false);
    auto column = [this](const QString& caption, StructureView* list, QLayout* below) {
        auto* w = new QWidget(listsSplitter_);
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(heading(caption, list, w));
        v->addWidget(list, 1);
        v->addLayout(below);
        listsSplitter_->addWidget(w);
    };
    auto single = [](QWidget* b) {
        auto* l = new QVBoxLayout;
        l->addWidget(b);
        l->addStretch(1);
        return l;
    };
    column(QStringLiteral("&Domaines"), dListe, single(dAjouter));
    column(QStringLiteral("&Catégories"), cListe, single(cAjouter));
    column(QStringLiteral("&Pages"), tListe, pageButtons);
    listsSplitter_->setSizes({1, 1, 1});
    for (int i = 0; i < 3; ++i)
        listsSplitter_->setStretchFactor(i, 1);

    auto* grid = new QVBoxLayout(page);
    grid->addWidget(listsSplitter_, 1);
    grid->addWidget(ImgIndex);

    // A user's selection runs the selection handling; the logic's own select() calls do it themselves.
    connect(dListe, &StructureView::userSelected, this, [this] { dListe_Click(state_); });
    connect(cListe, &StructureView::userSelected, this, [this] { cListe_Click(state_); });
    connect(tListe, &StructureView::userSelected, this, [this] { tListe_Click(state_); });
    // Once the editor is open, typing goes to the title first.
    auto titleFirst = [this] {
        if (state_.controls.tOkVisible) {
            tTitre->setFocus(Qt::OtherFocusReason);
            // Typing replaces "Nouveau chapitre" rather than extending it.
            tTitre->selectAll();
        }
    };
    connect(tListe, &QListView::doubleClicked, this, [this, titleFirst] {
        tListe_DblClick(state_);
        titleFirst();
    });
    followRelocations(state_);
    // Enter opens the selected page, as a double click does.
    connect(tListe, &StructureView::enterPressed, this, [this, titleFirst] {
        tListe_DblClick(state_);
        titleFirst();
    });
    connect(tListe, &StructureView::mouseUp, this,
            [this, titleFirst](Qt::MouseButton b, int row, const QPoint& at) {
                if (b != Qt::RightButton || row < 0)
                    return;
                if (state_.tListe.selectedRow() != row) {
                    state_.tListe.select(row);
                    tListe_Click(state_);
                }
                pageMenu(at, titleFirst);
            });
    tListe->setContextMenuPolicy(Qt::NoContextMenu);
    connect(dAjouter, &QPushButton::clicked, this, [this] { dAjouter_Click(state_); });
    connect(cAjouter, &QPushButton::clicked, this, [this] { cAjouter_Click(state_); });
    connect(tAjouter, &QPushButton::clicked, this, [this, titleFirst] {
        tAjouter_Click(state_);
        titleFirst();
    });
    connect(tModifier, &QPushButton::clicked, this, [this, titleFirst] {
        tModifier_Click(state_);
        titleFirst();
    });
    connect(tSupprimer, &QPushButton::clicked, this, [this] { tSupprimer_Click(state_); });
    connect(tImporter, &QPushButton::clicked, this, [this, titleFirst] {
        tImporter_Click(state_);
        titleFirst();
    });
    connect(ImgIndex, &QPushButton::clicked, this, [this] { ImgIndex_Click(state_); });

    // The context menus of the domain and category lists.
    connect(dListe, &StructureView::mouseUp, this, [this](Qt::MouseButton b, int row, const QPoint& at) {
        if (dListe_MouseUp(state_, b, row))
            contextMenu(QStringLiteral("Edition"), at, &mmod_Click);
    });
    connect(cListe, &StructureView::mouseUp, this, [this](Qt::MouseButton b, int row, const QPoint& at) {
        if (cListe_MouseUp(state_, b, row))
            contextMenu(QStringLiteral("Edition2"), at, &mod2_Click);
    });

    // A page is dragged from its list onto another category or domain.
    tListe->dragSource = [this](int row) -> QMimeData* {
        const auto dragged = tListe_MouseDown(state_, row);
        if (!dragged)
            return nullptr;
        auto* carried = new QMimeData;
        carried->setData(pageMimeType(), encodeDraggedPage(*dragged));
        return carried;
    };
    auto dropTarget = [this](StructureView* view, bool (*over)(const MainState&, const DraggedPage&, int),
                             QString (*dropped)(MainState&, const DraggedPage&, int)) {
        view->canDrop = [this, over](const QMimeData* carried, int row) {
            const auto dragged = decodeDraggedPage(carried->data(pageMimeType()));
            return dragged && over(state_, *dragged, row);
        };
        view->drop = [this, dropped](const QMimeData* carried, int row) {
            if (const auto dragged = decodeDraggedPage(carried->data(pageMimeType())))
                dropped(state_, *dragged, row);
        };
    };
    dropTarget(cListe, &cListe_DragOver, &cListe_DragDrop);
    dropTarget(dListe, &dListe_DragOver, &dListe_DragDrop);
}

void F_Main::buildEditor(QWidget* page) {
    tTitre = new QLineEdit(page);
    tTitre->setObjectName(QStringLiteral("tTitre"));
    tTexteHead = new QPlainTextEdit(page);
    tTexteHead->setObjectName(QStringLiteral("tTexteHead"));
    tTexte = new QPlainTextEdit(page);
    tTexte->setObjectName(QStringLiteral("tTexte"));
    tTexteFoot = new QPlainTextEdit(page);
    tTexteFoot->setObjectName(QStringLiteral("tTexteFoot"));
    const int lines = tTexteHead->fontMetrics().lineSpacing();
    for (QPlainTextEdit* box : {tTexteHead, tTexteFoot}) {
        box->setMinimumHeight(lines * 2 + 12);
        box->setMaximumHeight(lines * 5 + 12);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    }
    tTexte->setMinimumHeight(lines * 4 + 12);
    // They give up their room first: the page's text is what is being written. An eighth of the tab's
    // height each, between two and five lines.
    new ResizeWatcher(page, [this, page, lines] {
        const int height = std::clamp(page->height() / 8, lines * 2 + 12, lines * 5 + 12);
        for (QPlainTextEdit* box : {tTexteHead, tTexteFoot})
            box->setMaximumHeight(height);
    });
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QPlainTextEdit* box : {tTexteHead, tTexte, tTexteFoot})
        box->setFont(mono);

    auto* tableau = button("InputTableau", QStringLiteral("Tableau"), page);
    auto* image = button("InputImage", QStringLiteral("Image"), page);
    auto* lien = button("InputLien", QStringLiteral("Lien"), page);
    tOk = button("tOk", QStringLiteral("OK"), page);
    HFOK = button("HFOK", QStringLiteral("OK"), page);
    tAnnuler = button("tAnnuler", QStringLiteral("Renoncer"), page);
    tOk->setToolTip(QStringLiteral("Enregistrer la page"));
    HFOK->setToolTip(QStringLiteral("Enregistrer l'en-tête ou le pied de page"));
    tAnnuler->setToolTip(QStringLiteral("Abandonner les modifications (Échap)"));
    tAnnuler->setShortcut(QKeySequence(Qt::Key_Escape));

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(heading(QStringLiteral("&Titre :"), tTitre, page));
    titleRow->addWidget(tTitre, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tableau);
    buttons->addWidget(image);
    buttons->addWidget(lien);
    buttons->addStretch(1);
    buttons->addWidget(HFOK);
    buttons->addWidget(tOk);
    buttons->addWidget(tAnnuler);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(titleRow);
    layout->addWidget(new QLabel(QStringLiteral("En-tête :"), page));
    layout->addWidget(tTexteHead);
    layout->addWidget(heading(QStringLiteral("Te&xte de la page :"), tTexte, page));
    layout->addWidget(tTexte, 1);
    layout->addWidget(new QLabel(QStringLiteral("Pied de page :"), page));
    layout->addWidget(tTexteFoot);
    layout->addLayout(buttons);
    // From the title, Tab goes to the page's text; the header and footer boxes come after it.
    QWidget::setTabOrder(tTitre, tTexte);
    QWidget::setTabOrder(tTexte, tTexteHead);
    QWidget::setTabOrder(tTexteHead, tTexteFoot);

    connect(tTitre, &QLineEdit::textEdited, this, [this](const QString& text) {
        state_.controls.tTitre = text;
        tTexte_Change(state_);
    });
    connect(tOk, &QPushButton::clicked, this, [this] { tOk_Click(state_); });
    connect(tAnnuler, &QPushButton::clicked, this, [this] { tAnnuler_Click(state_); });
    // Once saved, the selected page is shown again from disk, as after "Renoncer".
    connect(HFOK, &QPushButton::clicked, this, [this] {
        if (HFOK_Click(state_))
            tListe_Click(state_);
    });
    // The boxes' texts go back into the state as the user types.
    auto forward = [this](QPlainTextEdit* box, QString ControlState::*field, QString* shown) {
        connect(box, &QPlainTextEdit::textChanged, this, [this, box, field, shown] {
            if (showing_)
                return;
            state_.controls.*field = fromDisplay(box->toPlainText());
            *shown = state_.controls.*field;
            if (box == tTexte)
                tTexte_Change(state_);
        });
    };
    forward(tTexte, &ControlState::tTexte, &shownTexte_);
    forward(tTexteHead, &ControlState::tTexteHead, &shownHead_);
    forward(tTexteFoot, &ControlState::tTexteFoot, &shownFoot_);
}

void F_Main::buildExplorer(QWidget* page) {
    tFichier = new QLineEdit(page);
    tFichier->setObjectName(QStringLiteral("tFichier"));
    tFichier->setPlaceholderText(QStringLiteral("Page à explorer"));
    bExplorer = button("bExplorer", QStringLiteral("Explorer"), page);
    N = new QTreeView(page);
    N->setObjectName(QStringLiteral("N"));
    N->setHeaderHidden(true);

    auto* addressRow = new QHBoxLayout;
    explorerPage_ = page;
    tFichierLabel_ = heading(QStringLiteral("&Adresse :"), tFichier, page);
    addressRow->addWidget(tFichierLabel_);
    addressRow->addWidget(tFichier, 1);
    addressRow->addWidget(bExplorer);

    auto* types = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        cType[i] = new QCheckBox(QString::fromUtf8(kTypeCaptions[i]), page);
        cType[i]->setObjectName(QStringLiteral("cType%1").arg(i));
        types->addWidget(cType[i]);
        connect(cType[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!showing_)
                state_.controls.cType[size_t(i)] = on;
        });
    }
    types->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(addressRow);
    layout->addLayout(types);
    layout->addWidget(N, 1);

    connect(tFichier, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.controls.tFichier = text; });
}

void F_Main::buildMenus() {
    auto add = [](QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys = {}) {
        auto* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        return a;
    };
    auto later = [](QAction* a) {
        // The command comes with its own part of the program; until then it cannot be chosen.
        a->setEnabled(false);
        return a;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = add(file, "mnuFileNew", QStringLiteral("&Nouveau"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = add(file, "mnuFileOpen", QStringLiteral("&Ouvrir"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSave =
        add(file, "mnuFileSave", QStringLiteral("&Enregistrer"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileBar5 = file->addSeparator();
    mnuFileBar5->setObjectName(QStringLiteral("mnuFileBar5"));
    mnuFileMRU = add(file, "mnuFileMRU", QString());
    file->addSeparator();
    mnuFileClose = add(file, "mnuFileClose", QStringLiteral("&Quitter"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuFileNew->setStatusTip(QStringLiteral("Créer un nouveau site"));
    mnuFileOpen->setStatusTip(QStringLiteral("Ouvrir un site par sa page d'accueil"));
    mnuFileSave->setStatusTip(QStringLiteral("Relire les options et régénérer la page d'accueil"));
    mnuFileMRU->setStatusTip(QStringLiteral("Revenir au site ouvert précédemment"));
    connect(mnuFileNew, &QAction::triggered, this, [this] { shell_.mnuFileNew_Click(); });
    connect(mnuFileOpen, &QAction::triggered, this, [this] { shell_.mnuFileOpen_Click(); });
    connect(mnuFileSave, &QAction::triggered, this, [this] { shell_.mnuFileSave_Click(); });
    connect(mnuFileMRU, &QAction::triggered, this, [this] { shell_.mnuFileMRU_Click(); });
    connect(mnuFileClose, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edition"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    auto* cut = add(edit, "mnuEditCut", QStringLiteral("&Couper"), QKeySequence::Cut);
    auto* copy = add(edit, "mnuEditCopy", QStringLiteral("Co&pier"), QKeySequence::Copy);
    auto* paste = add(edit, "mnuEditPaste", QStringLiteral("C&oller"), QKeySequence::Paste);
    connect(cut, &QAction::triggered, this, [this] { editCommand(EditAction::Cut); });
    connect(copy, &QAction::triggered, this, [this] { editCommand(EditAction::Copy); });
    connect(paste, &QAction::triggered, this, [this] { editCommand(EditAction::Paste); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Affichage"));
    view->setObjectName(QStringLiteral("mnuView"));
    mnuViewRefresh = add(view, "mnuViewRefresh", QStringLiteral("&Actualiser"), QKeySequence(Qt::Key_F5));
    mnuViewRefresh->setStatusTip(QStringLiteral("Relire les options et les dossiers du site"));
    mnuViewArbre = later(add(view, "mnuViewArbre", QStringLiteral("Afficher &l'arborescence")));
    mnuViewArbre->setCheckable(true);
    mnuViewArbre->setChecked(true);
    connect(mnuViewRefresh, &QAction::triggered, this, [this] { shell_.mnuViewRefresh_Click(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Outils"));
    tools->setObjectName(QStringLiteral("mnuOptions"));
    mnuViewOptions = add(tools, "mnuViewOptions", QStringLiteral("&Options..."));
    tools->addSeparator();
    auto* mnuOptionsIndex = add(tools, "mnuOptionsIndex", QStringLiteral("&Générer un fichier d'index"));
    mnuOptionsIndex->setStatusTip(
        QStringLiteral("Écrire la liste des pages récentes et l'index de recherche du site"));
    connect(mnuOptionsIndex, &QAction::triggered, this, [this] { mnuOptionsIndex_Click(state_, this); });
    auto* mnuOptionsRemp =
        add(tools, "mnuOptionsRemp", QStringLiteral("&Remplacer une chaîne de caractères"));
    auto* mnuOptionsImport = add(tools, "mnuOptionsImport", QStringLiteral("&Importer un fichier Word"));
    connect(mnuOptionsRemp, &QAction::triggered, this, [this] { mnuOptionsRemp_Click(this); });
    connect(mnuOptionsImport, &QAction::triggered, this, [this] { mnuOptionsImport_Click(this); });
    auto* mnuOptionsVerifier = add(tools, "mnuOptionsVerifier", QStringLiteral("&Vérifier le site…"));
    connect(mnuOptionsVerifier, &QAction::triggered, this, [this] {
        auto* window = new VerifierWindow(
            state_.values.Répertoire, state_.dialogs, [this](const QString& page) { WWW(page); }, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->run();
    });
    tools->addSeparator();
    mnuOptionsMAJ = add(tools, "mnuOptionsMAJ", QStringLiteral("&Mise à jour"));
    connect(mnuViewOptions, &QAction::triggered, this, &F_Main::mnuViewOptions_Click);
    connect(mnuOptionsMAJ, &QAction::triggered, this, [this] { shell_.mnuOptionsMAJ_Click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    auto* about = add(help, "mnuHelpAbout", QStringLiteral("&À propos de Quillsite..."));
    connect(about, &QAction::triggered, this, &F_Main::mnuHelpAbout_Click);

    auto* bar = addToolBar(QStringLiteral("Barre d'outils"));
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(18, 18));
    mnuFileNew->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    mnuFileOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    mnuFileSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    mnuViewRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    bar->addAction(mnuFileNew);
    bar->addAction(mnuFileOpen);
    bar->addAction(mnuFileSave);
    bar->addAction(mnuViewRefresh);
}

void F_Main::connectState() {
    connect(&state_, &MainState::changed, this, &F_Main::showState);
    // The preview follows the lists' selection once a change has settled (a rebuilt list changes its
    // selection many times on the way).
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(0);
    connect(&previewTimer_, &QTimer::timeout, this, [this] {
        const Preview preview = previewTarget(state_);
        if (preview.address.isEmpty() || QDir::toNativeSeparators(preview.address) ==
                                             QDir::toNativeSeparators(browser_->addressBox()->currentText()))
            return;
        if (preview.missing.isEmpty())
            WWW(preview.address);
        else
            browser_->showMissing(preview.address, preview.missing);
    });
    for (StructureList* list : {&state_.dListe, &state_.cListe, &state_.tListe})
        connect(&list->selection(), &QItemSelectionModel::selectionChanged, this,
                [this] { previewTimer_.start(); });
    connect(&state_, &MainState::browse, this, &F_Main::WWW);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!showing_)
            state_.controls.currentTab = Tab(index);
    });
}

void F_Main::showState() {
    showing_ = true;
    const ControlState& c = state_.controls;
    cAjouter->setEnabled(c.cAjouterEnabled);
    tAjouter->setEnabled(c.tAjouterEnabled);
    tImporter->setEnabled(c.tImporterEnabled);
    ImgIndex->setEnabled(c.ImgIndexEnabled);
    ImgIndex->setText(c.ImgIndexCaption.isEmpty() ? QStringLiteral("Liste d'images de la catégorie")
                                                  : c.ImgIndexCaption);
    tModifier->setEnabled(c.tModifierEnabled);
    tSupprimer->setEnabled(c.tSupprimerEnabled);
    tModifier->setVisible(c.tModifierVisible);
    tSupprimer->setVisible(c.tSupprimerVisible);
    tAnnuler->setVisible(c.tAnnulerVisible);
    tAnnuler->setEnabled(c.tAnnulerEnabled);
    tOk->setVisible(c.tOkVisible);
    tOk->setEnabled(c.tOkEnabled);
    if (tTitre->text() != c.tTitre)
        tTitre->setText(c.tTitre);
    if (tFichier->text() != c.tFichier)
        tFichier->setText(c.tFichier);
    auto showText = [](QPlainTextEdit* box, const QString& text, QString* shown) {
        if (*shown != text) {
            box->setPlainText(forDisplay(text));
            *shown = text;
        }
    };
    showText(tTexte, c.tTexte, &shownTexte_);
    showText(tTexteHead, c.tTexteHead, &shownHead_);
    showText(tTexteFoot, c.tTexteFoot, &shownFoot_);
    tTexte->setEnabled(c.tTexteEnabled);
    tTexteHead->setEnabled(c.tTexteHeadEnabled);
    tTexteFoot->setEnabled(c.tTexteFootEnabled);
    HFOK->setVisible(c.HFOKVisible);
    SSTab1->setTabEnabled(0, c.catalogueTabEnabled);
    for (int i = 0; i < 5; ++i)
        cType[i]->setChecked(c.cType[size_t(i)]);
    SSTab1->setCurrentIndex(int(c.currentTab));

    const MruEntry& mru = shell_.mnuFileMRU;
    mnuFileMRU->setText(menuText(mru.caption));
    mnuFileMRU->setData(mru.tag);
    mnuFileMRU->setVisible(mru.visible);
    mnuFileBar5->setVisible(mru.visible);

    // While a page or a fragment is being edited the site must not change under the editor: it is
    // left through OK or "Renoncer" first.
    const bool editing = c.tAnnulerVisible;
    for (QAction* a : {mnuFileNew, mnuFileOpen, mnuFileMRU, mnuFileSave, mnuViewRefresh})
        a->setEnabled(!editing);
    mnuOptionsMAJ->setEnabled(!editing && bool(updateProcedure()));
    showing_ = false;
}

void F_Main::Form_Load() {
    resize(layoutSize());
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        resize(size().boundedTo(area.size() * 9 / 10).expandedTo(minimumSize()));
    }
    FenêtreCentrer(this);
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (const auto rect = geometryToRestore(storedGeometry(), minimumSize(), screens)) {
        resize(rect->size());
        move(rect->topLeft());
    }
    restoreSplitters();
    shell_.Form_Load();
}

void F_Main::WWW(const QString& address) {
    if (address.isEmpty())
        return;
    browser_->navigate(address);
    if (!timTimer.isActive())
        timTimer.start();
    timTimer_Timer();
}

void F_Main::timTimer_Timer() {
    // While the page loads the title stays as it was; the pane's buttons show the load.
    if (browser_->isBusy())
        return;
    timTimer.stop();
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Quillsite") : title);
}

void F_Main::editCommand(EditAction command) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (command == EditAction::Cut)
            line->cut();
        else if (command == EditAction::Copy)
            line->copy();
        else
            line->paste();
        return;
    }
    auto* box = qobject_cast<QPlainTextEdit*>(focus);
    // Without a text box in focus, the editor's boxes are taken in order, the first usable one acting
    // (the header while a fragment is edited, the page text otherwise) - but only on the tab that shows
    // them, so that a command given from the lists never changes a text out of sight.
    if (!box && SSTab1->currentIndex() == int(Tab::Editor)) {
        for (QPlainTextEdit* candidate : {tTexte, tTexteHead, tTexteFoot})
            if (candidate->isEnabled()) {
                box = candidate;
                break;
            }
    }
    if (!box)
        return;
    if (command == EditAction::Cut)
        box->cut();
    else if (command == EditAction::Copy)
        box->copy();
    else
        box->paste();
}

void F_Main::mnuViewOptions_Click() {
    frmOptions dialog(state_.values, this);
    // The read-only mode, set or undone, shows at once.
    connect(&dialog, &frmOptions::applied, this, [this] { shell_.applyReadOnly(); });
    dialog.exec();
}

void F_Main::mnuHelpAbout_Click() {
    QMessageBox::about(
        this, QStringLiteral("À propos de Quillsite"),
        QStringLiteral("<h3>Quillsite</h3><p>%1</p><p>Création et entretien de sites de documentation en "
                       "HTML : domaines, catégories et pages, pages d'index, éditeur de pages, "
                       "explorateur de liens.</p><p>Les réglages sont propres à chaque utilisateur ; "
                       "les sites sont de simples dossiers de pages HTML.</p>")
            .arg(frmSplash::versionText()));
}

void F_Main::contextMenu(const QString& name, const QPoint& at,
                         CommandOutcome (*command)(MainState&, FolderCommand)) {
    QMenu menu(this);
    menu.setObjectName(name);
    for (const FolderMenuEntry& entry : folderMenu()) {
        if (entry.command)
            menu.addAction(entry.caption)->setData(int(*entry.command));
        else
            menu.addSeparator();
    }
    QAction* chosen = menu.exec(at);
    if (!chosen)
        return;
    if (command(state_, FolderCommand(chosen->data().toInt())) == CommandOutcome::EndProgram)
        endProgram();
    // Whatever the command changed is shown, even where it did not say so.
    showState();
}

namespace {
const char* const kSplitterKeys[] = {"MainSplitter", "ListSplitter"};
} // namespace

void F_Main::storeSplitters() {
    const QSplitter* splitters[] = {splitter_, listsSplitter_};
    for (int i = 0; i < 2; ++i)
        ParamètreEcrire(QLatin1String(kSplitterKeys[i]),
                        QString::fromLatin1(splitters[i]->saveState().toBase64()));
}

void F_Main::restoreSplitters() {
    QSplitter* splitters[] = {splitter_, listsSplitter_};
    for (int i = 0; i < 2; ++i) {
        const QString stored = ParamètreLire(QLatin1String(kSplitterKeys[i]));
        if (!stored.isEmpty())
            splitters[i]->restoreState(QByteArray::fromBase64(stored.toLatin1()));
    }
}

void F_Main::pageMenu(const QPoint& at, const std::function<void()>& titleFirst) {
    const ControlState& c = state_.controls;
    const bool free = c.catalogueTabEnabled && !c.tAnnulerVisible;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PageMenu"));
    QAction* modify = menu.addAction(QStringLiteral("Modifier"));
    modify->setVisible(c.tModifierVisible);
    modify->setEnabled(free && c.tModifierEnabled);
    QAction* remove = menu.addAction(QStringLiteral("Supprimer"));
    remove->setVisible(c.tSupprimerVisible);
    remove->setEnabled(free && c.tSupprimerEnabled);
    menu.addSeparator();
    QAction* move = menu.addAction(QStringLiteral("Déplacer vers..."));
    move->setEnabled(free && c.tSupprimerVisible && state_.tListe.selectedRow() >= 0);
    QAction* chosen = menu.exec(at);
    if (chosen == modify) {
        tModifier_Click(state_);
        titleFirst();
    } else if (chosen == remove) {
        tSupprimer_Click(state_);
    } else if (chosen == move) {
        movePageTo();
    }
}

void F_Main::movePageTo() {
    const auto page = tListe_MouseDown(state_, state_.tListe.selectedRow());
    if (!page)
        return;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("DeplacerVers"));
    dialog.setWindowTitle(QStringLiteral("Déplacer la page"));
    auto* domains = new QComboBox(&dialog);
    domains->setObjectName(QStringLiteral("dCible"));
    auto* categories = new QComboBox(&dialog);
    categories->setObjectName(QStringLiteral("cCible"));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("Déplacer"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Every category of the chosen domain, less the one the page is in.
    auto fill = [this, &page, domains, categories, ok] {
        categories->clear();
        const QString domain = domains->currentText();
        for (const QString& category : domainCategories(withSeparator(state_.values.Répertoire + domain)))
            if (domain != page->domain || category != page->category)
                categories->addItem(category);
        ok->setEnabled(categories->count() > 0);
    };
    domains->addItems(state_.dListe.texts());
    domains->setCurrentText(page->domain);
    fill();
    connect(domains, &QComboBox::currentTextChanged, &dialog, fill);

    auto* form = new QFormLayout(&dialog);
    form->addRow(
        new QLabel(QStringLiteral("Déplacer « %1 » vers :").arg(state_.tListe.selectedText()), &dialog));
    form->addRow(QStringLiteral("&Domaine :"), domains);
    form->addRow(QStringLiteral("&Catégorie :"), categories);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted || categories->currentText().isEmpty())
        return;
    movePage(state_, *page, domains->currentText(), categories->currentText());
}

void F_Main::endProgram() {
    ending_ = true;
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void F_Main::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // The other windows of the program go first, the most recent one first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (qsizetype i = windows.size() - 1; i >= 0; --i) {
        QWidget* w = windows[i];
        if (w != this && w->isVisible() && !w->inherits("QMenu"))
            w->close();
    }
    storeSplitters();
    const WindowGeometry geometry{x(), y(), width(), height()};
    if (!shell_.Form_Unload(isMinimized() ? nullptr : &geometry)) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace qs
