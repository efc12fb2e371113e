#pragma once

#include "lib/files.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "shell/shell.h"
#include "testutil.h"

#include <QFile>
#include <QSettings>

#include <memory>

namespace qs::test {

// A program folder holding the templates, a settings store emptied for the test, and a Shell on a
// MainState answered by ScriptedDialogs. The add-domain command is played by a hook that adds the
// names queued in `domainsToAdd` (an empty name refuses the prompt).
class ShellFixture {
public:
    ShellFixture() : clock(QDateTime(QDate(2026, 12, 5), QTime(9, 7)), "mdupont") {
        QSettings("Vendrel", "quillsite").clear();
        program = temp("programme/");
        makeDir(program);
        for (const char* name :
             {"logo.gif", "head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt"})
            QFile::copy(QUILLSITE_SOURCE_DIR "/templates/" + QString(name), program + name);
        restart();
    }
    // A fresh window state and shell on the same folders and stored settings, as at the program's next
    // start.
    void restart() {
        shell.reset();
        state = std::make_unique<MainState>(dialogs, clock, program);
        QObject::connect(state.get(), &MainState::browse, [this](const QString& a) { browsed.append(a); });
        ShellHooks hooks;
        hooks.dAjouter = [this] {
            ++domainPrompts;
            const QString name = domainsToAdd.isEmpty() ? QString() : domainsToAdd.takeFirst();
            if (name.isEmpty())
                return;
            DossierCréer(state->values.Répertoire + name + "/C");
            state->dListe.select(state->dListe.add(name));
        };
        hooks.bExplorer = [this] { ++explored; };
        hooks.showWindow = [this] { ++windowShown; };
        hooks.endProgram = [this] { ++endRequests; };
        shell = std::make_unique<Shell>(*state, hooks);
        domainPrompts = explored = windowShown = endRequests = 0;
        browsed.clear();
    }
    ~ShellFixture() { QSettings("Vendrel", "quillsite").clear(); }

    TempDir temp;
    QString program; // the program folder, with a trailing separator
    ScriptedDialogs dialogs;
    FixedClock clock;
    std::unique_ptr<MainState> state;
    std::unique_ptr<Shell> shell;
    QStringList domainsToAdd;
    int domainPrompts = 0;
    int explored = 0;
    int windowShown = 0;
    int endRequests = 0;
    QStringList browsed; // addresses sent to the browser pane

    // A site folder outside the program folder with these domains (each with one category "C").
    QString makeSite(const QString& name, const QStringList& domains) const {
        const QString root = temp("sites/" + name + u'/');
        makeDir(root);
        for (const QString& d : domains)
            makeDir(root + d + "/C");
        return root;
    }
    // "key=value" for each of the blank-separated keys, blank-separated: one comparison for many settings.
    static QString settings(const QString& keys) {
        QStringList out;
        for (const QString& key : keys.split(u' '))
            out.append(key + u'=' + ParamètreLire(key));
        return out.join(u' ');
    }
};

} // namespace qs::test
