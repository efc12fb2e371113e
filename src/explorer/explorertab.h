#pragma once

#include "explorer/linktree.h"
#include "explorer/walker.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace qs {

class MainState;

// What the logic decides about the Explorer tab's controls; the window shows it after every changed().
struct ExplorerControls {
    QString bExplorerCaption = QStringLiteral("Explorer"); // "Arrêter" while a walk runs
    bool bExplorerEnabled = false;
    bool bExplorerDefault = false; // Enter in the start address presses it
    bool bExplorerCancel = false;  // Escape presses it (while a walk runs)
    bool toolBarButton3Enabled = false;
    bool treeVisible = true; // the tree and the start address box; "Afficher &l'arborescence" checked
};

// The pop-up menu Noeuds: items mn 0 "Précédent", 1 "Origine", 2 "Suivant", 3 a separator,
// 4 "Déployer", 5 "Éditer avec" the text editor's name ("Éditer avec gedit"; "Éditer" when none is found).
struct NoeudsMenu {
    enum Item { Previous = 0, Origin = 1, Next = 2, Separator = 3, Deploy = 4, Edit = 5 };
    static QStringList texts();
    static QString editCaption();
    std::array<bool, 6> enabled{};
};

// How the text editor is found for "Éditer": the setting "EditeurTexte" (a program, possibly
// with its own arguments), else Notepad on Windows, else the first common text editor on the PATH, else
// the desktop's opener. The command is that program, one blank, the path. Empty when nothing is found.
QStringList textEditorCommand(const QString& path);

// The Explorer tab's behaviour: the start address, the start and stop button, the walk, the link tree
// and its pop-up menu. The window forwards its events here and shows controls() and the tree model.
// The start address and the type switches are the main window's (MainState::controls: tFichier,
// cType); pages are shown in the browser pane through WWW.
class ExplorerTab : public QObject {
    Q_OBJECT
public:
    using Node = LinkTreeModel::Node;
    // Starts a program without waiting for it; false when it could not be started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    explicit ExplorerTab(MainState& state, QObject* parent = nullptr);

    LinkTreeModel& N() { return tree_; }
    QItemSelectionModel& selection() { return selection_; }
    LinkWalker& walker() { return walker_; }
    const ExplorerControls& controls() const { return controls_; }
    bool running() const { return running_; }

    // The start address changed: whether a walk may start; an existing file is remembered as "Dossier".
    void tFichier_Change(const QString& text);
    // Starts a walk of the start address, or asks the running one to stop.
    void bExplorer_Click();
    // Shows the selected node's page in the browser pane.
    void N_DblClick();
    // Right button released over the tree: selects the node there and says how the menu shows, or
    // nothing when there is no node there (no menu).
    std::optional<NoeudsMenu> N_MouseUp(const QModelIndex& at);
    // An item of the Noeuds menu, on the selected node.
    void mN_Click(NoeudsMenu::Item item);
    // Shows or hides the tree and the start address box.
    void mnuViewArbre_Click();

    // The button pressed by the program (init): explores the start address whatever the button's
    // state. A walk already running is stopped first and the new one follows it.
    void press();
    // What opening a site does here: the site's address goes into the start address, its link tree is
    // explored (press), and its home page shown in the browser pane.
    void exploreHome();

    void setLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

    // The selected node, nullptr when none.
    Node* selectedNode() const;
    void select(const Node* node);

Q_SIGNALS:
    void changed();

private:
    void startWalk();
    void beginRun();
    void endRun();
    void deploy(Node* node);
    void edit(Node* node);
    bool selectKey(const QString& key);
    void notify() { Q_EMIT changed(); }

    MainState& state_;
    LinkTreeModel tree_;
    QItemSelectionModel selection_;
    LinkWalker walker_;
    ExplorerControls controls_;
    bool running_ = false;
    bool restartPending_ = false;
    Launcher launcher_;
};

} // namespace qs
