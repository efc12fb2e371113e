#pragma once

#include "commands/mainstate.h"

#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace qs {

// What the shell asks of the rest of the program and of its window. Commands that live elsewhere are
// reached through these so that the start-up and opening flows stay testable; an unset hook does
// nothing.
struct ShellHooks {
    // The add-domain command, as if the button "Nouveau Domaine" were pressed.
    std::function<void()> dAjouter;
    // The link explorer on the address in tFichier, as if "Explorer" were pressed.
    std::function<void()> bExplorer;
    // Shows the main window (before asking for a first domain while it is still hidden).
    std::function<void()> showWindow;
    // Ends the program at once, without the closing steps of the main window.
    std::function<void()> endProgram;
};

// The previous-site entry of the File menu (mnuFileMRU index 0) and its separator mnuFileBar5, which
// shows exactly when the entry does.
struct MruEntry {
    QString caption; // "&1  " + path
    QString tag;     // the path
    bool visible = false;
};

// Position (left, top) and size of the main window, in pixels.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The start-up, opening and closing of the main window and the File menu's site commands, working on
// the shared MainState: the window forwards its events here and shows the state on changed().
class Shell {
public:
    explicit Shell(MainState& state, ShellHooks hooks = {});

    MainState& state;
    ShellHooks hooks;
    MruEntry mnuFileMRU;
    // Set once endProgram has been asked for: whoever runs the event loop stops.
    bool programEnded = false;

    // Loading and closing of the main window.
    void Form_Load();
    // Re-fills the main window for the current site: explores the home page, shows it, lists the domains
    // and asks for a first domain when there is none (refusing it ends the program).
    void init();
    // Closing: stores the geometry (null when minimised: the stored one stays), asks about an unsaved
    // edit and regenerates the home page. False when the user chose to stay.
    bool Form_Unload(const WindowGeometry* geometry);

    // File menu.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileMRU_Click();
    void mnuFileSave_Click();
    void mnuViewRefresh_Click();
    // Tools menu "Mise à jour": Save, then the update procedure (when one is installed).
    void mnuOptionsMAJ_Click();

    // Sets the site folder (Répertoire) from the address of its home page and stores it.
    void takerépertoire(const QString& adresse);
    // Copies the template files from the program folder into a site that lacks "head_d.txt".
    void BaseCopy();
    // Shows or hides the previous-site entry from the setting "LastOpen".
    void Mru();

    // Hides "Modifier" and "Supprimer" in read-only mode.
    void applyReadOnly();
    // Ticks the link-type check boxes from the five levels.
    void setTypesFromLevels();

    // The open-file filter of Open.
    static QString htmlFilter();

    // A site is open: its address and folder are known.
    bool hasSite() const;

private:
    // The stored site cannot be opened (`problem` says why): offers to open another site or to create one
    // until one is open, or ends the program after saying so.
    void offerAnotherSite(const QString& problem);
    void reloadSettings();
    // Makes `adresse` the current site: address box, site folder, lists, templates. False when the
    // listing ended the program (the site has no domain and none was given), or after a message when the
    // address cannot be a site (siteAddressProblem).
    bool openSiteAt(const QString& adresse);
    void markUnindexedWithout(const QString& fileName);
    void endProgram();
};

// Why `adresse` cannot be a site's home page, as a French sentence naming it: a relative address, the
// root folder, a folder that is gone. "" when it can (or when it is empty: no site yet).
QString siteAddressProblem(const QString& adresse);

// The geometry stored at the last closing, when all four values are there and are numbers.
std::optional<WindowGeometry> storedGeometry();
void storeGeometry(const WindowGeometry& geometry);
// Where to put the window at start-up: the stored geometry when it is at least `minimum` large and its
// title bar area lies on one of the screens' available areas; otherwise nothing (layout size, centred).
std::optional<QRect> geometryToRestore(const std::optional<WindowGeometry>& stored, const QSize& minimum,
                                       const QList<QRect>& screens);

// The automatic update run by Main on the build machine. Returns false when the program must end.
using UpdateProcedure = std::function<bool(Dialogs& dialogs)>;
// Installed by the update code; unset, there is no update.
void setUpdateProcedure(UpdateProcedure procedure);
const UpdateProcedure& updateProcedure();
// The build-machine marker: a file named after the program + ".publish" beside it.
QString publishMarker(const QString& programFolder, const QString& programName);
// Start-up step of Main: runs the update when the marker exists. False when the program must end.
bool startupUpdate(const QString& programFolder, const QString& programName, Dialogs& dialogs,
                   const UpdateProcedure& procedure);

} // namespace qs
