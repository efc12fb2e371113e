#pragma once

#include "explorer/explorertab.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QShortcut;
class QToolBar;
class QTreeView;
class QWidget;

namespace qs {

// The widget side of the Explorer tab: connects the window's widgets to ExplorerTab and shows its state.
// The window owns the widgets; this adds the Escape key of a running walk, a stop button for the tool
// bar and the pop-up menu Noeuds.
class ExplorerTabView : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QLineEdit* tFichier = nullptr;
        QPushButton* bExplorer = nullptr;
        QTreeView* N = nullptr;
        QWidget* page = nullptr;         // the tab's page: Escape stops a walk while the focus is in it
        QList<QWidget*> hiddenWithTree;  // shown and hidden with the tree (the address box, its label)
        QAction* mnuViewArbre = nullptr; // "Afficher &l'arborescence"
        QToolBar* toolBar = nullptr;     // receives the stop button, when given
    };

    ExplorerTabView(ExplorerTab& logic, const Widgets& widgets, QObject* parent = nullptr);

    // The exploration of init, once pending events have run (the window shows first); several requests
    // before then make one walk.
    void pressLater();
    // The tool bar's stop button (enabled while a walk runs).
    QAction* stopAction() const { return stop_; }
    QShortcut* escape() const { return escape_; }
    // How the pop-up menu is run: by default QMenu::exec at the point; tests choose an item instead.
    std::function<QAction*(QMenu& menu, const QPoint& at)> runMenu;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void contextMenu(const QPoint& at);

    ExplorerTab& logic_;
    Widgets w_;
    QAction* stop_ = nullptr;
    QShortcut* escape_ = nullptr;
    bool pressPending_ = false;
};

} // namespace qs
