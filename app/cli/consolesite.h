#pragma once

#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "lib/clock.h"

namespace qs::cli {

// The window's state on a site folder (see openSiteFolder), its messages going to standard error.
struct ConsoleSite {
    ConsoleSite(const Clock& clock, const QString& root) : state(dialogs, clock, programFolder()) {
        openSiteFolder(state, root);
    }

    ConsoleDialogs dialogs;
    MainState state;
};

} // namespace qs::cli
