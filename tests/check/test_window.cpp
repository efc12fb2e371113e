// The "Vérifier le site" window on the offscreen platform.
#include "check/verifierwindow.h"
#include "checksite.h"
#include "scripteddialogs.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace qs;
using namespace qs::test;

namespace {

QString cell(const QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
}

} // namespace

TEST(VerifierWindow, ListsSortsShowsAndFixes) {
    TempDir dir;
    writeCheckedSite(dir);
    ScriptedDialogs dialogs;
    QStringList shown;
    VerifierWindow window(dir.path(), dialogs, [&](const QString& page) { shown << page; });
    window.show();
    window.run();
    QTableView* table = window.table();
    ASSERT_EQ(table->model()->rowCount(), 10);

    // Sorted by line, largest first, as numbers.
    table->sortByColumn(2, Qt::DescendingOrder);
    EXPECT_EQ(cell(table, 0, 2), QStringLiteral("4"));
    table->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(cell(table, 0, 0), QStringLiteral("ancre-absente"));
    EXPECT_EQ(cell(table, 9, 0), QStringLiteral("page-sans-titre"));
    EXPECT_EQ(cell(table, 9, 2), QString()); // a whole page's problem has no line

    // A double click shows the row's page.
    const QRect rect = table->visualRect(table->model()->index(9, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(shown, QStringList{dir("D/Index.htm")});

    // One confirmation, then the case mismatches are gone and the list is checked again.
    auto* fix = window.findChild<QPushButton*>(QStringLiteral("bCorriger"));
    ASSERT_TRUE(fix && fix->isEnabled());
    dialogs.yes();
    fix->click();
    EXPECT_EQ(dialogs.texts(),
              QStringList({QStringLiteral("Récrire 2 lien(s) avec le nom exact de leur fichier ?\r\n\r\n"
                                          "Les pages gardent leur date ; rien d'autre n'y change."),
                           QStringLiteral("2 lien(s) corrigé(s).")}));
    EXPECT_EQ(table->model()->rowCount(), 8);
    EXPECT_FALSE(fix->isEnabled());
}

TEST(VerifierWindow, EscapeStopsTheCheckWithoutClosing) {
    TempDir dir;
    writeCheckedSite(dir);
    ScriptedDialogs dialogs;
    VerifierWindow window(dir.path(), dialogs, {});
    window.show();
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("bArreter"));
    bool stopEnabled = false;
    dialogs.onEvents = [&] {
        stopEnabled = stop->isEnabled();
        QTest::keyClick(&window, Qt::Key_Escape);
    };
    window.run();
    EXPECT_TRUE(stopEnabled);
    EXPECT_TRUE(window.result().stopped);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(stop->isEnabled());
    // Once stopped, Escape closes.
    dialogs.onEvents = nullptr;
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}
