#include "commands/foldercommands.h"
#include "commands/selection.h"

#include "commands/commands.h"
#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "site/listing.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace qs {

namespace {

// Whether the file system accepts a folder of that name, tried for real and undone.
bool creatable(const QString& parent, const QString& name) {
    const QString path = parent + name;
    if (DossierExiste(path))
        return true;
    if (QFileInfo::exists(path))
        return false;
    if (!QDir(parent).mkdir(name))
        return false;
    QDir(parent).rmdir(name);
    return true;
}

// Walks the folders that a folder copy takes and checks every file against the copy.
bool complete(const QString& source, const QString& copy) {
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        if (e.isDir()) {
            if (e.isSymLink())
                continue;
            if (!complete(withSeparator(source + name), withSeparator(copy + name)))
                return false;
            continue;
        }
        const QFileInfo there(copy + name);
        if (!there.exists() || there.isDir() || there.size() != e.size())
            return false;
    }
    return true;
}

} // namespace

bool copyIsComplete(const QString& source, const QString& copy) {
    if (!DossierExiste(source) || !DossierExiste(copy))
        return false;
    return complete(withSeparator(source), withSeparator(copy));
}

QString existingEntry(const QString& parentFolder, const QString& name) {
    const QStringList entries =
        QDir(parentFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return {};
}

QString askFolderName(MainState& state, const QString& prompt, const QString& title,
                      const QString& parentFolder, const std::function<QString(const QString&)>& refusal) {
    const QString parent = withSeparator(parentFolder);
    for (;;) {
        QString name = state.dialogs.prompt(prompt, title).trimmed();
        if (name.isEmpty())
            return {};
        if (refusal) {
            if (const QString why = refusal(name); !why.isEmpty()) {
                state.dialogs.message(why, Icon::Exclamation, QStringLiteral("Erreur"));
                continue;
            }
        }
        if (isValidFolderName(name) && creatable(parent, name))
            return name;
        state.dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
    }
}

namespace {

// Every file below a folder, hidden ones included, folder links not followed.
qint64 fileCount(const QString& folder) {
    qint64 n = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

} // namespace

RenameResult renameFolder(MainState& state, const QString& folder, const QString& destination) {
    RenameResult result;
    // Renaming the folder itself takes everything along, hidden files included, and leaves nothing behind.
    if (!QFileInfo::exists(destination) &&
        QDir().rename(withoutSeparator(folder), withoutSeparator(destination))) {
        result.copied = fileCount(destination);
        result.moved = true;
        return result;
    }
    result.copied = DossierCopier(folder, destination, state.dialogs);
    result.moved = copyIsComplete(folder, destination);
    // The copy holds everything: the old folder goes to the trash whole, so no hidden file keeps it alive.
    if (result.moved && !FichierCorbeille(withoutSeparator(folder)))
        DossierSupprimer(folder);
    return result;
}

void regenerateCategories(MainState& state, const QStringList& names) {
    state.currentDomain = state.dListe.selectedText();
    if (state.currentDomain.isEmpty())
        return;
    const QStringList categories = names.isEmpty() ? state.cListe.texts() : names;
    for (const QString& category : categories) {
        const int row = state.cListe.find(category);
        if (row < 0)
            continue;
        state.cListe.select(row);
        cListe_Click(state);
        cEnregistrer(state);
    }
    state.cListe.select(-1);
    cEffacer(state);
    state.pageNames = QStringList{QString()};
    state.currentCategory.clear();
    // The window shows the controls as last notified: the buttons of the last category visited would
    // otherwise stay usable with no category selected.
    state.notify();
}

} // namespace qs
