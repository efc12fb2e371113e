// The page commands in the main window on the offscreen platform: a real drag and drop between the
// lists, the lists' context menus, and the Edition menu.
#include "shell/fmain.h"
#include "ui/structureview.h"

#include "pagesite.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <memory>

using namespace qs;
using namespace qs::test;

namespace {

struct PageWindow : PageSite {
    Shell shell{state};
    F_Main window{state, shell, BrowserPane::Engine::Text};
    template <typename T> T* child(const char* name) { return window.findChild<T*>(QLatin1String(name)); }
    StructureView* list(const char* name) { return child<StructureView>(name); }
    QPoint rowCentre(QListView* view, int row) {
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    void click(QListView* view, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(view->viewport(), button, {}, rowCentre(view, row));
    }
    bool show() {
        window.resize(1000, 520);
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
};

} // namespace

// The offscreen platform has no drag loop of its own: the mouse starts the drag on the page list (what
// it would carry is caught on its way to QDrag), and the drag's events are then delivered to the
// category list as the platform delivers them.
TEST(PageWindow, APageDraggedOntoAScrolledListMovesToTheCategoryUnderThePointer) {
    PageWindow w;
    for (int i = 0; i < 40; ++i)
        w.folder(QStringLiteral("D/C%1").arg(i, 2, 10, QLatin1Char('0')));
    w.page("D/C00/1.htm", "Ma page");
    w.page("D/C00/2.htm", "Autre page");
    w.open();
    ASSERT_TRUE(w.show());
    StructureView* categories = w.list("cListe");
    StructureView* pages = w.list("tListe");
    w.click(w.list("dListe"), 0);
    w.click(categories, 0);
    ASSERT_EQ(w.state.tListe.texts(), (QStringList{"Autre page", "Ma page"}));
    std::unique_ptr<QMimeData> carried;
    const auto source = pages->dragSource;
    pages->dragSource = [&](int row) {
        carried.reset(source(row));
        return nullptr; // caught: no QDrag
    };
    const QPoint start = w.rowCentre(pages, 1);
    QTest::mousePress(pages->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(pages->viewport(), start + QPoint(QApplication::startDragDistance() + 4, 0));
    QTest::mouseRelease(pages->viewport(), Qt::LeftButton, {}, start);
    ASSERT_NE(carried, nullptr);
    EXPECT_EQ(w.state.tListe.selectedText(), "Ma page"); // the press selected the page it took
    // The list scrolled to its end: the row under the pointer is C39, not the 40th row from the top of
    // what shows.
    categories->scrollToBottom();
    ASSERT_GT(categories->verticalScrollBar()->value(), 0);
    const QPoint target = w.rowCentre(categories, 39);
    ASSERT_TRUE(categories->viewport()->rect().contains(target));
    QWidget* viewport = categories->viewport();
    // Over the page's own category and over a row, then the drop.
    QDragEnterEvent enter(target, Qt::MoveAction, carried.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    categories->scrollToTop();
    QDragMoveEvent overOwn(w.rowCentre(categories, 0), Qt::MoveAction, carried.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &overOwn);
    EXPECT_FALSE(overOwn.isAccepted());
    categories->scrollToBottom();
    QDragMoveEvent over(target, Qt::MoveAction, carried.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &over);
    EXPECT_TRUE(over.isAccepted());
    QDropEvent drop(target, Qt::MoveAction, carried.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.exists("D/C39/1.htm"); }, 3000));
    EXPECT_FALSE(w.exists("D/C00/1.htm"));
    EXPECT_EQ(w.dialogs.messages(), QStringList{"\"Ma page\" a été déplacé dans la catégorie \"C39\"."});
    EXPECT_EQ(w.state.cListe.selectedText(), "C00");
    EXPECT_EQ(w.listing(), QStringList{"Autre page=2.htm"});
    EXPECT_EQ(w.navigation("D/C39/"), QStringList{"1.htm|Ma page"});
    EXPECT_EQ(w.navigation("D/C00/"), QStringList{"2.htm|Autre page"});
    // Text from elsewhere is no page: refused over a row.
    QMimeData text;
    text.setText("1.htm");
    QDragMoveEvent foreign(target, Qt::MoveAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &foreign);
    EXPECT_FALSE(foreign.isAccepted());
}

TEST(PageWindow, TheDomainMenuOpensOnARowAndTheEditionMenuTakesTheFirstUsableBox) {
    PageWindow w;
    w.folder("A/C");
    w.folder("B/C");
    writeFile(w.at("head_d.txt"), "<P>Bienvenue</P>\r\n");
    w.open();
    ASSERT_TRUE(w.show());
    StructureView* domains = w.list("dListe");
    // Below the last row: a beep, no menu.
    w.click(domains, 5, Qt::RightButton);
    QTest::mouseClick(domains->viewport(), Qt::RightButton, {},
                      QPoint(10, domains->viewport()->height() - 4));
    ASSERT_FALSE(w.dialogs.calls().isEmpty());
    EXPECT_EQ(w.dialogs.calls().back().kind, ScriptedDialogs::Kind::Beep);
    // On "B": the row is selected, then the menu shows its entries; the first one edits the header.
    QStringList entries;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        EXPECT_EQ(menu->objectName(), "Edition");
        for (const QAction* a : menu->actions())
            entries.append(a->isSeparator() ? "-" : a->text());
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    w.click(domains, 1, Qt::RightButton);
    EXPECT_EQ(entries, (QStringList{"Modifier l'en-tête", "Modifier le pied de page", "-",
                                    "Ajouter un fichier indépendant", "Importer un fichier indépendant", "-",
                                    "Copier", "Renommer", "Supprimer"}));
    EXPECT_EQ(w.state.dListe.selectedText(), "B");
    auto* head = w.child<QPlainTextEdit>("tTexteHead");
    auto* text = w.child<QPlainTextEdit>("tTexte");
    ASSERT_EQ(w.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    EXPECT_FALSE(w.child<QTabWidget>("SSTab1")->isTabEnabled(0));
    EXPECT_EQ(head->toPlainText(), "\n<P>Bienvenue</P>");
    EXPECT_FALSE(text->isEnabled());
    // With no text box in focus, "Copier" takes the header: the page text is not usable.
    head->selectAll();
    w.child<QAbstractButton>("HFOK")->setFocus();
    QApplication::clipboard()->clear();
    w.window.findChild<QAction*>("mnuEditCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "\n<P>Bienvenue</P>");
    // "Renoncer" gives the lists back.
    w.child<QAbstractButton>("tAnnuler")->click();
    EXPECT_TRUE(w.child<QTabWidget>("SSTab1")->isTabEnabled(0));
    EXPECT_TRUE(text->isEnabled());
    EXPECT_EQ(readFile(w.at("head_d.txt")), "<P>Bienvenue</P>\r\n");
}

TEST(PageWindow, ADoubleClickEditsThePageAndOkSavesItThroughTheWindow) {
    PageWindow w;
    w.page("D/C/1.htm", "Ancien titre", "texte");
    w.open();
    ASSERT_TRUE(w.show());
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.click(w.list("dListe"), 0);
    w.click(w.list("cListe"), 0);
    StructureView* pages = w.list("tListe");
    w.click(pages, 0);
    QTest::mouseDClick(pages->viewport(), Qt::LeftButton, {}, w.rowCentre(pages, 0));
    auto* ok = w.child<QAbstractButton>("tOk");
    ASSERT_TRUE(ok->isVisible());
    EXPECT_FALSE(ok->isEnabled());
    auto* title = w.child<QLineEdit>("tTitre");
    EXPECT_EQ(QApplication::focusWidget(), title);
    title->selectAll();
    QTest::keyClicks(title, "Nouveau titre");
    EXPECT_TRUE(ok->isEnabled()); // a changed title alone is enough
    ok->click();
    EXPECT_FALSE(ok->isVisible());
    EXPECT_EQ(w.child<QTabWidget>("SSTab1")->currentIndex(), 0);
    EXPECT_EQ(w.listing(), QStringList{"Nouveau titre=1.htm"});
    EXPECT_EQ(w.lines("D/C/1.htm").value(2), "<TITLE>Nouveau titre</TITLE>");
    EXPECT_EQ(w.navigation("D/C/"), QStringList{"1.htm|Nouveau titre"});
}
