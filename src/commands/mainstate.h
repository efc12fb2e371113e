#pragma once

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/settings.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QStandardItemModel>
#include <QStringList>

#include <array>

namespace qs {

// A list of the main window: rows kept in French alphabetical order of their text (compareFrench), rows
// the collation finds equal in the order they were added; each row may carry a number (Qt::UserRole),
// one row at most selected.
class StructureList {
public:
    StructureList();

    QStandardItemModel& model() { return model_; }
    const QStandardItemModel& model() const { return model_; }
    QItemSelectionModel& selection() { return selection_; }

    int count() const { return model_.rowCount(); }
    QString text(int row) const;
    int number(int row) const;
    // Adds a row where it belongs and returns its position ("the index of the last added row").
    int add(const QString& text, int number = 0);
    // Adds many rows at once, in the order add() would give them, with one change signal for the lot
    // (a category of thousands of pages shows at once).
    void addAll(const QList<std::pair<QString, int>>& rows);
    void removeRow(int row);
    void clear();
    // The row whose text is exactly `text`, else the first whose text equals it without regard to case
    // (a case-sensitive disk may hold both "abc" and "ABC"); -1 when none.
    int find(const QString& text) const;

    // The selected row, -1 when none.
    int selectedRow() const;
    QString selectedText() const;
    void select(int row); // -1 deselects
    QStringList texts() const;

private:
    QStandardItemModel model_;
    QItemSelectionModel selection_;
};

// The main window's tabs, in their order.
enum class Tab { Catalogue, Editor, Explorer };

// What the logic decides about the main window's controls; the window shows it after every changed().
struct ControlState {
    bool cAjouterEnabled = false;
    bool tAjouterEnabled = false;
    bool tImporterEnabled = false;
    bool ImgIndexEnabled = false;
    QString ImgIndexCaption;
    bool tModifierEnabled = false;
    bool tSupprimerEnabled = false;
    bool tModifierVisible = true; // read-only mode hides both
    bool tSupprimerVisible = true;
    bool tAnnulerVisible = false; // "Renoncer": an edited page has unsaved changes
    bool tAnnulerEnabled = false;
    bool tOkVisible = false; // the page editor's OK, shown while a page is edited
    bool tOkEnabled = false;
    // Fragment editing: the header and footer boxes, the page text box, the fragment's OK button, and
    // whether the "Catalogue" tab may be used.
    QString tTexteHead;
    QString tTexteFoot;
    bool tTexteHeadEnabled = true;
    bool tTexteFootEnabled = true;
    bool tTexteEnabled = true;
    bool HFOKVisible = false;
    bool catalogueTabEnabled = true;
    QString tTitre;
    QString tFichier;
    QString tTexte;
    Tab currentTab = Tab::Catalogue;
    // Link types the link tree shows: "Images", "Fichiers ZIP", "Programmes", "CGI", "Sons".
    std::array<bool, 5> cType{true, true, true, true, true};
};

// Where the page editor's OK writes: a page of the selected category, or an independent file of the site
// folder (from the domain menu) or of the selected domain's folder (from the category menu).
enum class EditTarget { CategoryPage, SiteFolder, DomainFolder };

// The state of the main window that the rest of the program shares: the program-wide values, the three
// structure lists with the current domain and category, and the page-name table. The window's handlers
// are methods of the logic classes that work on it; the window only shows it.
class MainState : public QObject {
    Q_OBJECT
public:
    MainState(Dialogs& dialogs, const Clock& clock, QString programFolder, QObject* parent = nullptr);

    Dialogs& dialogs;
    const Clock& clock;
    // The folder of the running program, with a trailing separator: templates live there, and New Site
    // creates its sites there.
    const QString programFolder;

    ProgramValues values;

    StructureList dListe; // domains of the site
    StructureList cListe; // categories of the selected domain
    StructureList tListe; // pages of the selected category, by title; number = index into pageNames

    // Domain and category whose generated pages are still to be written; empty when none.
    QString currentDomain;
    QString currentCategory;
    // File names of the current category's pages, from index 1; index 0 holds nothing.
    QStringList pageNames{QString()};

    ControlState controls;

    // The page editor: where OK writes, whether a file was imported (OK is then enabled whatever the
    // text), and the list whose context menu was opened last.
    EditTarget editTarget = EditTarget::CategoryPage;
    bool imported = false;
    const StructureList* ListeCourante = nullptr;

    // Fragment texts as last read (every line preceded by CR LF), and the fragment file open in the
    // fragment editor ("" when none).
    QString homeHeader;
    QString homeFooter;
    QString categoryListHeader;
    QString categoryListFooter;
    QString fragmentPath;

    // Files of the site that a generated page replaced although the program had not written them: they
    // went to the trash, and the regeneration that did it names them once it ends.
    QStringList trashedPages;

    // Tells the window to show the controls again.
    void notify() { Q_EMIT changed(); }

Q_SIGNALS:
    void changed();
    // Asks the browser pane to show an address (see WWW).
    void browse(const QString& address);
    // A page or a domain or category folder has moved (absolute paths, no trailing separator): the
    // links of the site may follow it.
    void relocated(const QString& from, const QString& to, bool folder);
};

// Shows an address in the browser pane: it goes into the address box and its list, and the pane
// loads it. An empty address does nothing.
inline void WWW(MainState& state, const QString& address) {
    if (!address.isEmpty())
        Q_EMIT state.browse(address);
}

} // namespace qs
