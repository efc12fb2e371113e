// The windows on the offscreen platform: the main window's named controls and menus, and the splash
// (what the main window and the options dialog show and forward is in test_windowscripts).
#include "shell/fmain.h"
#include "shell/frmsplash.h"
#include "shellfixture.h"
#include "tablefile.h"
#include "version.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

using namespace qs;
using namespace qs::test;

namespace {

class Windows : public ::testing::Test, public ShellFixture {
protected:
    Windows() : window(*state, *shell, BrowserPane::Engine::Text) {}
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    F_Main window;
};

QStringList entries(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions)
        out.append(a->isSeparator() ? "-" : a->text());
    return out;
}

} // namespace

// Each row of tests/data/shell/window.txt against what the window holds.
TEST_F(Windows, TheMainWindowHasItsNamedControlsAndMenus) {
    EXPECT_EQ(window.objectName() + ' ' + window.windowTitle(), "F_Main Quillsite");
    for (const auto& row : tableRows("shell/window.txt")) {
        const QString kind = str(row[0]);
        const QString name = str(row.value(1));
        QStringList shown{kind, name};
        if (kind == "tabs") {
            auto* tabs = window.findChild<QTabWidget*>(name);
            for (int i = 0; tabs && i < tabs->count(); ++i)
                shown << tabs->tabText(i);
        } else if (kind == "widget") {
            auto* w = window.findChild<QWidget*>(name);
            shown << (w && w->inherits(row[2]) ? str(row[2]) : "?");
        } else if (kind == "button") {
            auto* b = window.findChild<QAbstractButton*>(name);
            shown << (b ? b->text() : "?");
        } else if (kind == "toolbar") {
            auto* bar = window.findChild<QToolBar*>(name);
            for (const QAction* a : bar ? bar->actions() : QList<QAction*>{})
                shown << (a->isSeparator() ? "-" : a->objectName());
        } else if (kind == "menubar") {
            shown = QStringList{kind} + entries(window.menuBar()->actions());
        } else if (kind == "menu") {
            auto* menu = window.findChild<QMenu*>(name);
            shown += menu ? entries(menu->actions()) : QStringList{"?"};
        } else {
            QAction* a = action(row[1].constData());
            shown << (a ? a->shortcut().toString() : "?") << (a && a->isEnabled() ? "enabled" : "disabled");
        }
        QStringList expected;
        for (const QByteArray& field : row)
            expected << str(field);
        EXPECT_EQ(shown, expected);
    }
}

// What the pane shows is in the window scripts; here the addresses it is given.
TEST(BrowserPane, TakesWebAddressesAsTheyAreAndFilesAsLocal) {
    EXPECT_EQ(BrowserPane::urlFor("http://exemple.org/a.htm").scheme(), "http");
    EXPECT_EQ(BrowserPane::urlFor("/s/vue/Index.htm").toLocalFile(), "/s/vue/Index.htm");
}

TEST(Splash, ShowsTheProductAndItsVersion) {
    frmSplash splash;
    EXPECT_EQ(splash.findChild<QLabel*>("lblProductName")->text(), "Quillsite");
    EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version " QUILLSITE_VERSION);
}
