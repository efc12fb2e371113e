#pragma once

// What the domain and category commands share: asking for the name a copy or a rename goes to, and a
// rename that cannot lose the folder's content.
#include <QString>
#include <QStringList>

#include <functional>

namespace qs {

class MainState;

// Asks (with `prompt`, titled `title`) until the answer is a name that a folder of `parentFolder` can
// bear, or no answer is given (""). `refusal` may turn a name down with a message of its own ("" to
// accept it); a name that would leave the parent folder or whose folder cannot be created gets the
// invalid-name message. Nothing is left on disk by the check.
QString askFolderName(MainState& state, const QString& prompt, const QString& title,
                      const QString& parentFolder,
                      const std::function<QString(const QString&)>& refusal = {});

// The entry of `parentFolder` named exactly `name`, else one named so without regard to case; "" when
// there is none.
QString existingEntry(const QString& parentFolder, const QString& name);

struct RenameResult {
    qint64 copied = 0;
    bool moved = false; // the copy is complete and the old folder went to the trash
};
// Renames `folder` to `destination` (which does not exist), which takes everything along. Where the disk
// refuses, copies it and sends `folder` to the trash only when every file, hidden ones included, arrived;
// otherwise `folder` stays as it was.
RenameResult renameFolder(MainState& state, const QString& folder, const QString& destination);

// Rewrites the generated pages of the named categories of the selected domain (all of them when `names`
// is empty), as leaving each would; a copied or renamed folder still holds the pages written under its
// old name. Leaves no category selected and the page side empty.
void regenerateCategories(MainState& state, const QStringList& names = {});

} // namespace qs
