#pragma once

// What the page commands of quillsite-cli share: the site named on the command line, a Dialogs that
// prints, and the selection of a domain and a category as the window's clicks make it.
#include "cli/command.h"
#include "cli/siteargument.h"
#include "lib/clock.h"
#include "site/listing.h"
#include "site/mainstate.h"
#include "ui/dialogs.h"

namespace qs::cli {

// Information messages (what a command did) go to standard output, every other message to standard
// error and counts as a failure. Questions are answered No and prompts get no answer: nothing is
// created or replaced that the command did not ask for.
class PageDialogs final : public Dialogs {
public:
    void message(const QString& text, Icon icon = Icon::None, const QString& = {}) override {
        const QString plain = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (icon == Icon::Information) {
            out(plain);
        } else {
            err(plain);
            ++failures_;
        }
    }
    bool question(const QString&, Icon = Icon::Question, const QString& = {}) override { return false; }
    QString prompt(const QString&, const QString& = {}, const QString& = {}) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
    void status(const QString&) override {}
    void processEvents() override {}

    int failures() const { return failures_; }

protected:
    void setBusy(bool) override {}

private:
    int failures_ = 0;
};

// A site opened as the window opens it, with the program's colours.
struct PageSession {
    PageDialogs dialogs;
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
