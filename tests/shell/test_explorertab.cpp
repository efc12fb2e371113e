// The Explorer tab inside the main window: opening a site explores its home page once the window is
// up.
#include "commands/mainstate.h"
#include "explorertest.h"
#include "lib/clock.h"
#include "shell/fmain.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

using namespace qs;
using namespace qs::test;

TEST(MainWindow, OpeningASiteExploresItsHomePageOnceTheWindowIsUp) {
    QSettings("Vendrel", "quillsite").clear();
    TempDir dir;
    writeFile(dir("site/Index.htm"), "<FRAME SRC=Domaine/Index.htm><A HREF=absent.htm>");
    writeFile(dir("site/Domaine/Index.htm"), "<A HREF=../Index.htm>");
    makeDir(dir("site/Domaine/C"));
    ScriptedDialogs dialogs;
    FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8)), "marie");
    MainState state(dialogs, clock, dir("programme/"));
    state.values.Adresse = dir("site/Index.htm");
    state.values.Répertoire = dir("site/");
    state.values.NiveauRep = "illimité";
    Shell shell(state);
    F_Main window(state, shell, BrowserPane::Engine::Text);
    auto* N = window.findChild<QTreeView*>("N");
    auto* bExplorer = window.findChild<QPushButton*>("bExplorer");
    auto* tFichier = window.findChild<QLineEdit*>("tFichier");
    auto* stop = window.findChild<QAction*>("tbStop");
    ASSERT_NE(N, nullptr);
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(window.findChild<QToolBar*>("tbToolBar")->actions().contains(stop));
    window.show();
    shell.init();
    EXPECT_EQ(tFichier->text(), dir("site/Index.htm"));
    EXPECT_EQ(N->model()->rowCount(), 0) << "the walk waits for pending events";
    QApplication::processEvents();
    ASSERT_EQ(N->model()->rowCount(), 1);
    EXPECT_EQ(N->model()->rowCount(N->model()->index(0, 0)), 2);
    EXPECT_EQ(bExplorer->text() + (bExplorer->isEnabled() ? " enabled" : ""), "Explorer enabled");
    EXPECT_EQ(dialogs.beeps(), 1);
}
