#include "explorer/explorerview.h"

#include "commands/mainstate.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace qs {

ExplorerTabView::ExplorerTabView(ExplorerTab& logic, const Widgets& widgets, QObject* parent)
    : QObject(parent), logic_(logic), w_(widgets) {
    runMenu = [](QMenu& menu, const QPoint& at) { return menu.exec(at); };

    QTreeView* N = w_.N;
    N->setModel(&logic_.N());
    N->setSelectionModel(&logic_.selection());
    N->setHeaderHidden(true);
    // Rows of one height: a tree of 100,000 nodes lays out without measuring each.
    N->setUniformRowHeights(true);
    N->setEditTriggers(QAbstractItemView::NoEditTriggers);
    N->setContextMenuPolicy(Qt::CustomContextMenu);
    N->setEnabled(true);

    connect(&logic_.N(), &LinkTreeModel::expandRequested, N, &QTreeView::expand);
    connect(N, &QTreeView::expanded, this, [this](const QModelIndex& i) { logic_.N().setExpanded(i, true); });
    connect(N, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { logic_.N().setExpanded(i, false); });
    connect(&logic_.selection(), &QItemSelectionModel::currentChanged, N,
            [N](const QModelIndex& current) { N->scrollTo(current); });
    connect(N, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        logic_.select(logic_.N().node(index));
        logic_.N_DblClick();
    });
    connect(N, &QWidget::customContextMenuRequested, this, &ExplorerTabView::contextMenu);

    // Every change of the address, typed or set by the program.
    connect(w_.tFichier, &QLineEdit::textChanged, this,
            [this](const QString& text) { logic_.tFichier_Change(text); });
    connect(w_.tFichier, &QLineEdit::returnPressed, this, [this] {
        if (logic_.controls().bExplorerDefault && logic_.controls().bExplorerEnabled)
            logic_.bExplorer_Click();
    });
    connect(w_.bExplorer, &QPushButton::clicked, this, [this] { logic_.bExplorer_Click(); });

    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), w_.page ? w_.page : N, nullptr, nullptr,
                            Qt::WidgetWithChildrenShortcut);
    connect(escape_, &QShortcut::activated, this, [this] {
        if (logic_.running())
            logic_.bExplorer_Click();
    });

    stop_ = new QAction(QStringLiteral("Arrêter l'exploration"), this);
    stop_->setObjectName(QStringLiteral("tbStop"));
    stop_->setIcon(N->style()->standardIcon(QStyle::SP_BrowserStop));
    stop_->setStatusTip(QStringLiteral("Arrêter l'exploration des liens en cours (Échap)"));
    connect(stop_, &QAction::triggered, this, [this] {
        if (logic_.running())
            logic_.bExplorer_Click();
    });
    if (w_.toolBar)
        w_.toolBar->addAction(stop_);

    if (w_.mnuViewArbre) {
        w_.mnuViewArbre->setEnabled(true);
        w_.mnuViewArbre->setCheckable(true);
        connect(w_.mnuViewArbre, &QAction::triggered, this, [this] { logic_.mnuViewArbre_Click(); });
    }

    // Closing the window stops a walk: it would otherwise run on after the window has gone.
    N->window()->installEventFilter(this);

    connect(&logic_, &ExplorerTab::changed, this, &ExplorerTabView::show);
    show();
}

void ExplorerTabView::pressLater() {
    if (pressPending_)
        return;
    pressPending_ = true;
    QTimer::singleShot(0, this, [this] {
        pressPending_ = false;
        logic_.press();
    });
}

bool ExplorerTabView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && logic_.running())
        logic_.bExplorer_Click();
    return QObject::eventFilter(watched, event);
}

void ExplorerTabView::show() {
    const ExplorerControls& c = logic_.controls();
    w_.bExplorer->setText(c.bExplorerCaption);
    w_.bExplorer->setEnabled(c.bExplorerEnabled);
    w_.bExplorer->setDefault(c.bExplorerDefault);
    w_.bExplorer->setToolTip(c.bExplorerCancel ? QStringLiteral("Arrêter l'exploration (Échap)")
                                               : QStringLiteral("Explorer les liens de la page"));
    escape_->setEnabled(c.bExplorerCancel);
    stop_->setEnabled(c.toolBarButton3Enabled);
    w_.N->setVisible(c.treeVisible);
    w_.tFichier->setVisible(c.treeVisible);
    for (QWidget* widget : w_.hiddenWithTree)
        widget->setVisible(c.treeVisible);
    if (w_.mnuViewArbre)
        w_.mnuViewArbre->setChecked(c.treeVisible);
}

void ExplorerTabView::contextMenu(const QPoint& at) {
    const auto state = logic_.N_MouseUp(w_.N->indexAt(at));
    if (!state)
        return;
    QMenu menu(w_.N);
    menu.setObjectName(QStringLiteral("Noeuds"));
    const QStringList texts = NoeudsMenu::texts();
    QList<QAction*> items;
    for (int i = 0; i < int(texts.size()); ++i) {
        QAction* a = i == NoeudsMenu::Separator ? menu.addSeparator() : menu.addAction(texts[i]);
        a->setObjectName(QStringLiteral("mn%1").arg(i));
        a->setEnabled(state->enabled[size_t(i)]);
        items.append(a);
    }
    QAction* chosen = runMenu(menu, w_.N->viewport()->mapToGlobal(at));
    const qsizetype item = items.indexOf(chosen);
    if (item >= 0 && chosen->isEnabled())
        logic_.mN_Click(NoeudsMenu::Item(item));
}

} // namespace qs
