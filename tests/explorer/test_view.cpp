// The Explorer tab's widgets driven by the logic, on the offscreen platform.
#include "commands/mainstate.h"
#include "explorer/explorerview.h"
#include "explorertest.h"
#include "lib/clock.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

using namespace qs;
using namespace qs::test;

namespace {

class View : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 6), QTime(7, 8)), "marie"};
    MainState state{dialogs, clock, "/opt/quillsite/"};
    ExplorerTab tab{state};
    TempDir dir;
    QMainWindow window;
    QWidget* page = new QWidget;
    QLineEdit* tFichier = new QLineEdit(page);
    QLabel* label = new QLabel("&Adresse :", page);
    QPushButton* bExplorer = new QPushButton("Explorer", page);
    QTreeView* N = new QTreeView(page);
    QAction* mnuViewArbre = new QAction("Afficher &l'arborescence", &window);
    QToolBar* bar = window.addToolBar("Barre d'outils");
    std::unique_ptr<ExplorerTabView> view;
    void SetUp() override {
        QSettings("Vendrel", "quillsite").clear();
        state.values.NiveauRep = "illimité";
        tab.walker().setEventInterval(0);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(label);
        layout->addWidget(tFichier);
        layout->addWidget(bExplorer);
        layout->addWidget(N);
        window.setCentralWidget(page);
        view = std::make_unique<ExplorerTabView>(
            tab, ExplorerTabView::Widgets{tFichier, bExplorer, N, page, {label}, mnuViewArbre, bar});
        window.resize(600, 400);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        writeFile(dir("i.htm"), "<A HREF=a.htm><A HREF=b.htm><IMG SRC=pic.gif>");
        writeFile(dir("a.htm"), "<A HREF=b.htm><A HREF=i.htm>");
        writeFile(dir("b.htm"), "<A HREF=a.htm>");
        writeFile(dir("pic.gif"), "GIF89a");
    }
    QModelIndex indexOf(const QString& relativeKey) {
        return tab.N().indexOf(tab.N().find(native(dir(relativeKey))));
    }
};

} // namespace

TEST_F(View, TypingAnAddressAndPressingTheButtonWalks) {
    EXPECT_FALSE(bExplorer->isEnabled());
    QTest::keyClicks(tFichier, dir("i.htm"));
    EXPECT_EQ(state.controls.tFichier, dir("i.htm"));
    EXPECT_TRUE(bExplorer->isEnabled());
    EXPECT_TRUE(bExplorer->isDefault());
    QStringList during; // the button's caption and the stop button's state
    dialogs.onEvents = [&] {
        during << bExplorer->text() + (view->stopAction()->isEnabled() ? " stop" : "");
    };
    QTest::keyClick(tFichier, Qt::Key_Return); // the default button
    EXPECT_EQ(during.value(0), "Arrêter stop");
    EXPECT_EQ(bExplorer->text(), "Explorer");
    EXPECT_FALSE(view->stopAction()->isEnabled());
    EXPECT_TRUE(bar->actions().contains(view->stopAction()));
    // The tree shows the walk, expanded where links were added, the root selected.
    EXPECT_EQ(N->model()->rowCount(), 1);
    const QModelIndex root = N->model()->index(0, 0);
    EXPECT_TRUE(N->isExpanded(root));
    EXPECT_EQ(N->model()->rowCount(root), 3);
    EXPECT_TRUE(N->isExpanded(indexOf("a.htm")));
    EXPECT_FALSE(N->isExpanded(indexOf("pic.gif")));
    EXPECT_EQ(N->currentIndex(), root);
    EXPECT_FALSE(root.data(Qt::DecorationRole).value<QIcon>().isNull());
    // The user collapses a node: the logic knows it ("Déployer" is offered again).
    N->collapse(indexOf("a.htm"));
    EXPECT_FALSE(tab.N().find(native(dir("a.htm")))->expanded);
}

TEST_F(View, EscapeAndTheStopButtonStopAWalk) {
    for (int i = 0; i < 50; ++i)
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)),
                  QStringLiteral("<A HREF=p%1.htm>").arg(i + 1).toLatin1());
    tFichier->setText(dir("p0.htm"));
    N->setFocus();
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 5)
            QTest::keyClick(N, Qt::Key_Escape);
    };
    bExplorer->click();
    EXPECT_EQ(tab.N().size(), 6);
    EXPECT_EQ(tab.walker().depth(), 0);
    EXPECT_TRUE(bExplorer->isEnabled());
    EXPECT_FALSE(view->escape()->isEnabled());
    dialogs.resetEventRuns();
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 7)
            view->stopAction()->trigger();
    };
    bExplorer->click();
    EXPECT_EQ(tab.N().size(), 8);
}

TEST_F(View, PopUpMenuRunsTheChosenItem) {
    tFichier->setText(dir("i.htm"));
    bExplorer->click();
    QStringList offered;
    QString choose = "mn2"; // "Suivant"
    view->runMenu = [&](QMenu& menu, const QPoint&) -> QAction* {
        offered.clear();
        QAction* pick = nullptr;
        for (QAction* a : menu.actions()) {
            if (!a->isSeparator())
                offered << a->text() + (a->isEnabled() ? "" : " (grisé)");
            if (a->objectName() == choose)
                pick = a;
        }
        EXPECT_EQ(menu.objectName(), "Noeuds");
        return pick;
    };
    const QModelIndex a = indexOf("a.htm");
    Q_EMIT N->customContextMenuRequested(N->visualRect(a).center());
    EXPECT_EQ(offered, (QStringList{"Précédent (grisé)", "Origine", "Suivant", "Déployer (grisé)",
                                    NoeudsMenu::editCaption()}));
    EXPECT_EQ(N->currentIndex(), indexOf("a.htm<1>"));
    // Over no node: no menu.
    offered.clear();
    Q_EMIT N->customContextMenuRequested(QPoint(5, N->viewport()->height() - 2));
    EXPECT_TRUE(offered.isEmpty());
}

TEST_F(View, TheTreeCanBeHidden) {
    // The menu entry's state, then what shows: the tree, the address and its label.
    const auto shown = [&] {
        return QList<bool>{mnuViewArbre->isEnabled(), mnuViewArbre->isChecked(), N->isVisible(),
                           tFichier->isVisible(), label->isVisible()};
    };
    EXPECT_EQ(shown(), QList<bool>({true, true, true, true, true}));
    mnuViewArbre->trigger();
    EXPECT_EQ(shown(), QList<bool>({true, false, false, false, false}));
    mnuViewArbre->trigger();
    EXPECT_EQ(shown(), QList<bool>({true, true, true, true, true}));
}

TEST_F(View, StartUpExplorationWaitsForTheWindow) {
    state.controls.tFichier = dir("i.htm");
    view->pressLater();
    view->pressLater();
    EXPECT_EQ(tab.N().size(), 0);
    QApplication::processEvents();
    EXPECT_EQ(tab.N().size(), 7);
    EXPECT_EQ(dialogs.beeps(), 1);
}
