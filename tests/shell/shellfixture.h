#pragma once

#include "scripteddialogs.h"
#include "shell/shell.h"
#include "testutil.h"

#include <QStringList>

#include <memory>

namespace qs::test {

// A program folder holding the templates, a settings store emptied for the test, and a Shell on a
// MainState answered by ScriptedDialogs. The add-domain command is played by a hook that adds the
// names queued in `domainsToAdd` (an empty name refuses the prompt).
class ShellFixture {
public:
    ShellFixture();
    ~ShellFixture();
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
    QString makeSite(const QString& name, const QStringList& domains) const;
    // Stores an open site as start-up finds it.
    void storeSite(const QString& address) const;
    static QString setting(const char* key);
    // "key=value" for each of the blank-separated keys, blank-separated: one comparison for many settings.
    static QString settings(const QString& keys);
    static void store(const char* key, const QString& value);
};

} // namespace qs::test
