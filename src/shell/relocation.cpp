#include "shell/relocation.h"

#include "commands/mainstate.h"
#include "explorer/linkupdate.h"
#include "lib/changejournal.h"

namespace qs {

void followRelocations(MainState& state) {
    QObject::connect(
        &state, &MainState::relocated, &state, [&state](const QString& from, const QString& to, bool folder) {
            ChangeJournal journal(ChangeJournal::defaultFolder(QStringLiteral("remplacement")));
            updateLinks(state.dialogs, state.values.Répertoire, {{from, to, folder}}, true, &journal);
        });
}

} // namespace qs
