#pragma once

#include <QString>
#include <QStringList>
#include <QtCore/qnamespace.h>

#include <optional>

namespace qs {

class Dialogs;
class MainState;

// The commands on domains and categories: the add buttons, the right click that selects a row and
// opens its context menu, and the menus "Edition" (domains) and "Edition2" (categories). Every change
// is made on disk first; the lists are then rebuilt from the folders.

// What the caller must do once a command has run.
enum class CommandOutcome { Done, EndProgram };

// The commands of the two context menus, on the selected domain or category.
enum class FolderCommand {
    EditHeader,
    EditFooter,
    NewIndependentFile,
    ImportIndependentFile,
    Copy,
    Rename,
    Delete,
};
// One entry of those menus: a command with its caption, or a separator (no command).
struct FolderMenuEntry {
    QString caption;
    std::optional<FolderCommand> command;
};
// Both menus, in order.
QList<FolderMenuEntry> folderMenu();

// "Nouveau Domaine": writes the current domain's index, asks for the name, creates the folder, adds and
// selects the domain (which asks for its first category).
void dAjouter_Click(MainState& state);

// A mouse button released over the domain / category list on `row` (-1 or past the end: below the last
// row). For the right button, selects the row (running its selection handling when it changes) and
// says whether the context menu is to open; below the last row it beeps.
bool dListe_MouseUp(MainState& state, Qt::MouseButton button, int row);
bool cListe_MouseUp(MainState& state, Qt::MouseButton button, int row);

// The context menus' commands, on the domain and on the category list.
CommandOutcome mmod_Click(MainState& state, FolderCommand command);
CommandOutcome mod2_Click(MainState& state, FolderCommand command);

// True when every file that a folder copy takes (files at every depth, hidden ones included, folder links
// left out) is in `copy` with the same size. Rename removes the old folder only then.
bool copyIsComplete(const QString& source, const QString& copy);

} // namespace qs
