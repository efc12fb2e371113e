#pragma once

// What the page commands of quillsite-cli share: the site named on the command line, a Dialogs that
// prints, and the selection of a domain and a category as the window's clicks make it.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "site/listing.h"

namespace qs::cli {

// A site opened as the window opens it, with the program's colours.
struct PageSession {
    ConsoleDialogs dialogs;
    SystemClock clock;
    MainState state{dialogs, clock, programFolder()};

    // False after a message when the argument names no folder (a file stands for its folder).
    bool open(const QString& siteArgument) {
        const QString root = siteFolderArgument(siteArgument);
        if (root.isEmpty())
            return false;
        openSiteFolder(state, root);
        state.controls.tFichier = state.values.Adresse;
        domainesInit(state);
        return true;
    }

    // Selects the domain and then the category as clicks do. False after a message naming what is missing.
    bool select(const QString& domain, const QString& category) {
        const int d = state.dListe.find(domain);
        if (d < 0) {
            err(QStringLiteral("Le site n'a pas de domaine « %1 ».").arg(domain));
            return false;
        }
        state.dListe.select(d);
        dListe_Click(state);
        const int c = state.cListe.find(category);
        if (state.dListe.selectedRow() != d || c < 0) {
            err(QStringLiteral("Le domaine « %1 » n'a pas de catégorie « %2 ».")
                    .arg(state.dListe.text(d), category));
            return false;
        }
        state.cListe.select(c);
        cListe_Click(state);
        return true;
    }
};

} // namespace qs::cli
