#include "commands/mainstate.h"
#include "explorer/explorertab.h"
#include "explorertest.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include <memory>

using namespace qs;
using namespace qs::test;

namespace {

// A scenario's tab, on a fresh folder and settings store.
struct TabScenario {
    explicit TabScenario(const QString& name) : title(name) {
        QSettings("Vendrel", "quillsite").clear();
        tab.walker().setEventInterval(0);
        state.values.NiveauRep = "illimité";
        QObject::connect(&state, &MainState::browse, [this](const QString& a) { browsed << a; });
    }
    QString title;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 6), QTime(7, 8)), "marie"};
    MainState state{dialogs, clock, "/opt/quillsite/"};
    ExplorerTab tab{state};
    TempDir dir;
    LinkTreeModel::Node* node(const QString& relativeKey) { return tab.N().find(native(dir(relativeKey))); }
    QString selectedKey() {
        auto* n = tab.selectedNode();
        return n ? n->key : QString();
    }
    void select(const QString& relativeKey) {
        ASSERT_NE(node(relativeKey), nullptr) << relativeKey;
        tab.select(node(relativeKey));
    }
    // The button and the stop button as shown.
    static QString shown(const ExplorerControls& c) {
        return c.bExplorerCaption + QString::asprintf(" enabled=%d default=%d cancel=%d stop=%d",
                                                      c.bExplorerEnabled, c.bExplorerDefault,
                                                      c.bExplorerCancel, c.toolBarButton3Enabled);
    }
    // The menu commands by letter: Previous, Origin, Next, Deploy, Edit.
    static NoeudsMenu::Item item(QChar letter) { return NoeudsMenu::Item(QString("PON-DE").indexOf(letter)); }
    // One scenario line: an action, or a check of the tab against the expected fields.
    void step(const QString& verb, const QString& arg, const QStringList& fields) {
        QStringList expected = fields;
        expected.replaceInStrings("ROOT/", dir.path());
        if (verb == "write") {
            writeFile(dir(arg), fields.value(0).toUtf8());
        } else if (verb == "limit") {
            state.values.NiveauRep = arg;
        } else if (verb == "types") {
            for (int i = 0; i < 5; ++i)
                state.controls.cType[size_t(i)] = arg[i] == u'1';
        } else if (verb == "at") { // a step played at that event of the next action
            queued.append({arg.section(u' ', 0, 0).toInt(), arg.section(u' ', 1), fields});
            dialogs.resetEventRuns();
            dialogs.onEvents = [this] {
                for (const Later& l : queued)
                    if (l.event == dialogs.eventRuns())
                        step(l.head.section(u' ', 0, 0), l.head.section(u' ', 1), l.fields);
            };
        } else if (verb == "press") { // the button: starts a walk, or stops the one running
            tab.bExplorer_Click();
        } else if (verb == "type") { // an address typed | what the button then shows
            tab.tFichier_Change(expected.value(0));
            EXPECT_TRUE(shown(tab.controls()).contains(expected.value(1))) << shown(tab.controls());
            EXPECT_EQ(state.controls.tFichier, expected.value(0));
        } else if (verb == "setting") {
            ParamètreEcrire(arg, fields.value(0));
        } else if (verb == "launcher") { // "ok" or "fail": what starting the text editor gives
            tab.setLauncher([this, ok = arg == "ok"](const QString& program, const QStringList& arguments) {
                launched = QStringList{program} + arguments;
                return ok;
            });
        } else if (verb == "path") { // PATH holds only these programs, until the scenario ends
            for (const QString& program : arg.split(u' ')) {
                writeFile(dir("bin/" + program), "#!/bin/sh\n");
                QFile::setPermissions(dir("bin/" + program), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            }
            qputenv("PATH", QFile::encodeName(dir("bin")));
        } else if (verb == "unpath") {
            QFile::remove(dir("bin/" + arg));
        } else if (verb == "start") {
            tab.tFichier_Change(dir(arg));
            tab.bExplorer_Click();
        } else if (verb == "home") { // the site's home page explored, as opening a site does
            state.values.Adresse = QString(arg).replace("ROOT/", dir.path());
            tab.exploreHome();
        } else if (verb == "dblclick") {
            select(arg);
            tab.N_DblClick();
        } else if (verb == "catalogue") {
            state.controls.currentTab = Tab::Catalogue;
        } else if (verb == "do") { // a node, then the command's letter
            select(arg.section(u' ', 0, 0));
            tab.mN_Click(item(arg.section(u' ', 1)[0]));
        } else if (verb == "collapse") {
            tab.N().setExpanded(node(arg), false);
        } else if (verb == "menu") { // "P O N D E" where the command is offered, "-" where greyed
            const auto menu = tab.N_MouseUp(tab.N().indexOf(node(arg)));
            EXPECT_EQ(selectedKey(), native(dir(arg)));
            QString offered;
            for (const QChar letter : QString("PONDE"))
                offered += menu && menu->enabled[item(letter)] ? letter : u'-';
            EXPECT_EQ(offered, fields.value(0));
        } else if (verb == "moves") { // where each command leaves the selection, "beep" if nowhere to go
            select(arg.section(u' ', 0, 0));
            QStringList out;
            for (const QChar letter : arg.section(u' ', 1)) {
                const int beeps = dialogs.beeps();
                tab.mN_Click(item(letter));
                out.append(dialogs.beeps() > beeps ? "beep" : selectedKey().mid(dir.path().size()));
            }
            EXPECT_EQ(out.join(u' '), fields.value(0));
        } else if (verb == "no-menu") { // nothing under the pointer
            EXPECT_FALSE(tab.N_MouseUp(QModelIndex()).has_value());
        } else if (verb == "menu-texts") {
            EXPECT_EQ(NoeudsMenu::texts(), expected);
        } else if (verb == "editor") { // a file | the command that edits it
            EXPECT_EQ(textEditorCommand(arg), expected);
        } else if (verb == "launched") {
            EXPECT_EQ(launched, expected);
        } else if (verb == "clear") {
            dialogs.clear();
        } else if (verb == "children") { // the node's children, then whether it shows expanded
            QStringList shown;
            ASSERT_NE(node(arg), nullptr) << arg.toStdString();
            for (const auto& child : node(arg)->children)
                shown << child->text;
            EXPECT_EQ(shown << (node(arg)->expanded ? "expanded" : "collapsed"), expected);
        } else if (verb == "nodes" || verb == "no-nodes") {
            for (const QString& key : fields)
                EXPECT_EQ(node(key) != nullptr, verb == "nodes") << key.toStdString();
        } else if (verb == "tree") {
            EXPECT_EQ(tab.N().printout(), expected.join(u'\n') + u'\n');
        } else if (verb ==
                   "state") { // the button, the tree's size and stop mark, the walk's depth, the beeps
            EXPECT_EQ(shown(tab.controls()) + QString::asprintf(" nodes=%d mark=", tab.N().size()) +
                          tab.N().tag() +
                          QString::asprintf(" depth=%d beeps=%d", tab.walker().depth(), dialogs.beeps()),
                      fields.value(0));
        } else if (verb == "selected") {
            EXPECT_EQ(selectedKey(), dir(arg));
        } else if (verb == "messages") {
            EXPECT_EQ(dialogs.messages(), expected);
        } else if (verb == "browsed") {
            EXPECT_EQ(browsed, expected);
        } else if (verb == "button") {
            EXPECT_EQ(shown(tab.controls()), fields.value(0));
        } else if (verb == "shows") { // the tab shown, whether a walk runs, the address and where it is kept
            EXPECT_EQ(QStringList({state.controls.currentTab == Tab::Explorer ? "explorer" : "other",
                                   tab.running() ? "running" : "idle", state.controls.tFichier,
                                   ParamètreLire("Dossier")}),
                      expected);
        } else {
            ADD_FAILURE() << "unknown step " << verb.toStdString();
        }
    }
    struct Later {
        int event;
        QString head;
        QStringList fields;
    };
    QList<Later> queued;
    QStringList launched; // the text editor's command line
    const QByteArray savedPath = qgetenv("PATH");
    ~TabScenario() { qputenv("PATH", savedPath); }
    QStringList browsed; // addresses sent to the browser pane
};

} // namespace

// The scenarios of tests/data/explorer/tab.txt, each in a fresh tab and folder.
TEST(ExplorerTab, Scenarios) {
    std::unique_ptr<TabScenario> t;
    for (const auto& row : tableRows("explorer/tab.txt")) {
        const QString head = str(row[0]), verb = head.section(u' ', 0, 0), arg = head.section(u' ', 1);
        QStringList fields;
        for (const QByteArray& field : row.mid(1))
            fields << str(field);
        if (verb == "===") {
            t.reset();
            t = std::make_unique<TabScenario>(arg);
        } else {
            SCOPED_TRACE((t->title + " / " + head).toStdString());
            t->step(verb, arg, fields);
            if (verb != "at") { // what "at" queued is for this action only
                t->dialogs.onEvents = nullptr;
                t->queued.clear();
            }
        }
    }
}
