#pragma once

#include "shell/shell.h"
#include "ui/browserpane.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeView;
class QLabel;

namespace qs {

class ExplorerTab;
class ExplorerTabView;
class StructureView;
enum class CommandOutcome;
enum class FolderCommand;

// The main window: the tabs "Catalogue" (the three structure lists and the page buttons), "Editeur"
// (the page editor) and "Explorer" (the link tree) beside the browser pane. It forwards its events to
// the Shell and the other logic, and shows MainState::controls whenever the state says it changed.
class F_Main : public QMainWindow {
    Q_OBJECT
public:
    F_Main(MainState& state, Shell& shell, BrowserPane::Engine engine = BrowserPane::Engine::Default,
           QWidget* parent = nullptr);

    // The window's loading: its layout size, centred (or where it was last closed), then the shell's
    // Form_Load, which opens the stored site or asks for a new one.
    void Form_Load();
    // Shows an address in the browser pane and starts the busy timer.
    void WWW(const QString& address);

    BrowserPane* browser() const { return browser_; }
    // The size the window opens at when no usable geometry was stored.
    static QSize layoutSize();

    void mnuViewOptions_Click();
    void mnuHelpAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCatalogue(QWidget* page);
    void buildEditor(QWidget* page);
    void buildExplorer(QWidget* page);
    void buildMenus();
    void connectState();
    void showState();
    void timTimer_Timer();
    enum class EditAction { Cut, Copy, Paste };
    // The Edit menu's commands on the text box in focus.
    void editCommand(EditAction command);
    // Opens a list's context menu and runs the chosen command.
    void contextMenu(const QString& name, const QPoint& at,
                     CommandOutcome (*command)(MainState&, FolderCommand));
    void endProgram();
    // The splitters' positions, kept from one session to the next.
    void storeSplitters();
    void restoreSplitters();
    // The page list's context menu: "Modifier", "Supprimer", "Déplacer vers...".
    void pageMenu(const QPoint& at, const std::function<void()>& titleFirst);
    // Moves the selected page to a domain and category the user chooses.
    void movePageTo();

    MainState& state_;
    Shell& shell_;
    bool ending_ = false;
    bool showing_ = false; // showState() is writing into the widgets
    // What the text boxes were last given from the state (they hold LF where the state holds CR LF).
    QString shownTexte_;
    QString shownHead_;
    QString shownFoot_;

    QSplitter* splitter_ = nullptr;
    QSplitter* listsSplitter_ = nullptr;
    QTimer previewTimer_;
    QTabWidget* SSTab1 = nullptr;
    BrowserPane* browser_ = nullptr;
    QTimer timTimer;

    StructureView* dListe = nullptr;
    StructureView* cListe = nullptr;
    StructureView* tListe = nullptr;
    QPushButton* dAjouter = nullptr;
    QPushButton* cAjouter = nullptr;
    QPushButton* tAjouter = nullptr;
    QPushButton* tModifier = nullptr;
    QPushButton* tSupprimer = nullptr;
    QPushButton* tImporter = nullptr;
    QPushButton* ImgIndex = nullptr;

    QLineEdit* tTitre = nullptr;
    QPlainTextEdit* tTexteHead = nullptr;
    QPlainTextEdit* tTexte = nullptr;
    QPlainTextEdit* tTexteFoot = nullptr;
    QPushButton* tOk = nullptr;
    QPushButton* tAnnuler = nullptr;
    QPushButton* HFOK = nullptr;

    QLineEdit* tFichier = nullptr;
    QPushButton* bExplorer = nullptr;
    QCheckBox* cType[5] = {};
    QTreeView* N = nullptr;
    QWidget* explorerPage_ = nullptr;
    QLabel* tFichierLabel_ = nullptr;
    ExplorerTab* explorer_ = nullptr; // the Explorer tab's logic (src/explorer)
    ExplorerTabView* explorerView_ = nullptr;

    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileBar5 = nullptr;
    QAction* mnuFileMRU = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuViewRefresh = nullptr;
    QAction* mnuViewArbre = nullptr;
    QAction* mnuViewOptions = nullptr;
    QAction* mnuOptionsMAJ = nullptr;
};

} // namespace qs
