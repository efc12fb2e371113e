#pragma once

#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "lib/clock.h"
#include "lib/sitelock.h"

namespace qs::cli {

// The window's state on a site folder (see openSiteFolder), its messages going to standard error.
struct ConsoleSite {
    ConsoleSite(const Clock& clock, const QString& root)
        : lock(root), state(dialogs, clock, programFolder()) {
        if (lock.held())
            openSiteFolder(state, root);
    }

    // False after the message naming the program that holds the site.
    bool locked() const {
        if (!lock.held())
            err(lock.failure());
        return lock.held();
    }

    SiteLock lock;
    ConsoleDialogs dialogs;
    MainState state;
};

} // namespace qs::cli
