#pragma once

#include <QString>

namespace qs {

class MainState;
enum class EditTarget;

// The page editor's handlers. They work on the state's page list (tListe, whose numbers index
// pageNames), the editor's controls (tTitre, tTexte with CR LF line ends, tOk, tAnnuler) and the edit
// target. While a page is edited the "Catalogue" tab is locked: the lists are reached again only
// through OK or "Renoncer".

// Shows the selected page: its title from the list, its body read from the file. A file that cannot be
// read is reported with its name; the editor stays empty and "Modifier" disabled, so that an unread
// page cannot be overwritten by mistake.
void tListe_Click(MainState& state);
// A double click on a page presses "Modifier", when that button can be pressed (not in read-only mode).
void tListe_DblClick(MainState& state);

// Opens the editor on a new page of the selected category ("Nouveau chapitre", empty body, OK disabled);
// does nothing while no category is selected.
void tAjouter_Click(MainState& state);
// Opens the editor on the selected page, read again from disk (never on what the boxes held before); the
// header and footer boxes say they cannot be edited yet. Nothing opens when the page cannot be read.
void tModifier_Click(MainState& state);
// The domain and category menus' "Ajouter un fichier indépendant": opens the editor on a new file that
// OK writes into the site folder or the selected domain's folder, as `target` says. The page list keeps
// its selection.
void independentFileNew(MainState& state, EditTarget target);

// Enables OK when the title is one line that is not blank, and the body is not blank or a file was
// imported.
void Contrôle(MainState& state);
// Any change of the body text (the window also calls it for the title, so that a title made blank
// disables OK and a changed title alone enables it).
void tTexte_Change(MainState& state);

// Writes the page and closes the editor. A page of the category keeps its file name, a new one takes the
// smallest free number; the list entry takes its sorted place under the title and is selected (the page
// is reloaded from disk), then the category is regenerated. An independent file is written into its
// folder and the page shown before is shown again. The file is written whole or not at all: on failure
// the message names it and the editor stays open with nothing lost. Returns the path written, "" when
// nothing was.
QString tOk_Click(MainState& state);
// "Renoncer" (and Escape while editing): closes the editor, or the fragment editor, without writing,
// and shows the selected page again as it is on disk.
void tAnnuler_Click(MainState& state);
// Deletes the selected page without a question: its file goes to the trash, the page-name table closes
// the gap and the category is regenerated. A page whose file is already gone just leaves the list; one
// whose file cannot be moved to the trash is reported and stays. True when the page left the list.
bool tSupprimer_Click(MainState& state);

// Imports an HTML or text file as a new page (or, from the menus, a new independent file): the chooser
// opens in the site folder; the file's title and body go into the editor and OK is enabled, the import
// flag being set for the rest of the session. False when the chooser was cancelled or the file could
// not be read (reported), with nothing changed but the page list's selection.
bool tImporter_Click(MainState& state);

// The folder of the selected category ("" when no domain or category is selected).
QString selectedCategoryFolder(const MainState& state);

} // namespace qs
