// The windows on the offscreen platform: named controls, menus, what they show of the state and what
// they forward.
#include "lib/settings.h"
#include "shell/fmain.h"
#include "shell/frmoptions.h"
#include "shell/frmsplash.h"
#include "shellfixture.h"
#include "tablefile.h"
#include "ui/structureview.h"
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
    template <typename T> T* child(const char* name) { return window.findChild<T*>(QLatin1String(name)); }
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    static void clickRow(QListView* list, int row) {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Opens a site with one domain "D", its categories "C" (holding the page "Ma page") and "C2", in the
    // active window, and selects "C".
    QString openPages() {
        const QString site = makeSite("pages", {"D"});
        makeDir(site + "D/C2");
        writeFile(site + "D/C/1.htm", "<HTML>\r\n<HEAD>\r\n<TITLE>Ma page</TITLE>\r\n</HEAD>\r\n"
                                      "<!-- BEGIN -->\r\nCorps\r\n<!-- END -->\r\n</HTML>\r\n");
        storeSite(site + "Index.htm");
        window.Form_Load();
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        clickRow(child<QListView>("dListe"), 0);
        clickRow(child<QListView>("cListe"), state->cListe.find("C"));
        return site;
    }
    // Opens a site of these domains in the shown window; returns its folder.
    QString openSite(const char* name, const QStringList& domains) {
        const QString site = makeSite(QString::fromUtf8(name), domains);
        storeSite(site + "Index.htm");
        window.Form_Load();
        window.show();
        return site;
    }
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

TEST_F(Windows, ThePreviousSiteEntryShowsWithItsSeparator) {
    EXPECT_FALSE(action("mnuFileMRU")->isVisible());
    EXPECT_FALSE(action("mnuFileBar5")->isVisible());
    store("LastOpen", "/sites/R&D/Index.htm");
    shell->Mru();
    EXPECT_TRUE(action("mnuFileMRU")->isVisible());
    EXPECT_TRUE(action("mnuFileBar5")->isVisible());
    // The path's own "&" is shown, not taken as a mnemonic.
    EXPECT_EQ(action("mnuFileMRU")->text(), "&1  /sites/R&&D/Index.htm");
    store("LastOpen", QString());
    shell->Mru();
    EXPECT_FALSE(action("mnuFileMRU")->isVisible());
    EXPECT_FALSE(action("mnuFileBar5")->isVisible());
}

TEST_F(Windows, TheWindowShowsTheStateAndForwardsEdits) {
    state->controls.tModifierVisible = false;
    state->controls.tSupprimerVisible = false;
    state->controls.cAjouterEnabled = true;
    state->controls.cType = {true, false, true, false, true};
    state->controls.tTexte = "ligne 1\r\nligne 2";
    state->controls.ImgIndexCaption = "Créer un index des images du répertoire : Photos";
    state->controls.tAnnulerVisible = true;
    state->controls.currentTab = Tab::Editor;
    state->notify();
    window.show();
    EXPECT_FALSE(child<QWidget>("tModifier")->isVisible());
    EXPECT_FALSE(child<QWidget>("tSupprimer")->isVisible());
    EXPECT_TRUE(child<QWidget>("cAjouter")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("cType1")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("cType2")->isChecked());
    EXPECT_EQ(child<QAbstractButton>("ImgIndex")->text(), state->controls.ImgIndexCaption);
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    auto* text = child<QPlainTextEdit>("tTexte");
    EXPECT_EQ(text->toPlainText(), "ligne 1\nligne 2");
    // An edit is open: the site cannot be changed under it.
    EXPECT_FALSE(action("mnuFileOpen")->isEnabled());
    EXPECT_FALSE(action("mnuFileSave")->isEnabled());
    text->moveCursor(QTextCursor::End);
    text->setFocus();
    QTest::keyClicks(text, "!");
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, "3");
    EXPECT_EQ(state->controls.tTexte, "ligne 1\r\nligne 2!\r\n3");
    child<QTabWidget>("SSTab1")->setCurrentIndex(2);
    EXPECT_EQ(state->controls.currentTab, Tab::Explorer);
    QTest::mouseClick(child<QCheckBox>("cType1"), Qt::LeftButton);
    EXPECT_TRUE(state->controls.cType[1]);
    // A later change of the state does not disturb what the user typed unless the text itself changed.
    state->notify();
    EXPECT_EQ(text->toPlainText(), "ligne 1\nligne 2!\n3");
    state->controls.tAnnulerVisible = false;
    state->notify();
    EXPECT_TRUE(action("mnuFileOpen")->isEnabled());
}

TEST_F(Windows, AClickOnADomainRunsItsSelectionAndItsButtonAddsOne) {
    const QString site = openSite("clic", {"Alpha", "Beta"});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* list = child<QListView>("dListe");
    child<QTabWidget>("SSTab1")->setCurrentIndex(0);
    const QRect row = list->visualRect(state->dListe.model().index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(state->currentDomain, "Beta");
    EXPECT_EQ(state->cListe.texts(), QStringList{"C"});
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(state->currentDomain, "Alpha");
    // Selecting from the program does not run the handling a second time.
    state->dListe.select(1);
    EXPECT_EQ(state->currentDomain, "Alpha");
    // A new domain asks for its name, then its first category's.
    dialogs.answer("Nouveau").answer("Cat");
    child<QAbstractButton>("dAjouter")->click();
    EXPECT_EQ(dialogs.texts(), (QStringList{"Nom du nouveau domaine :", "Nom de la nouvelle catégorie :"}));
    EXPECT_EQ(state->dListe.texts(), (QStringList{"Alpha", "Beta", "Nouveau"}));
    EXPECT_TRUE(QFile::exists(site + "Nouveau/Cat"));
}

TEST_F(Windows, TheBrowserPaneShowsAddressesAndTheirTitle) {
    const QString page = temp("vue/Index.htm");
    writeFile(page, "<HTML><HEAD><TITLE>Sant\xE9 publique</TITLE></HEAD><BODY>\xE9t\xE9</BODY></HTML>\r\n");
    WWW(*state, page);
    auto* address = child<QComboBox>("cboAddress");
    EXPECT_EQ(address->currentText(), page);
    EXPECT_EQ(address->count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.windowTitle() == "Santé publique"; }, 2000))
        << window.windowTitle().toStdString();
    // The page shown is shown again once rewritten; a missing one is said so, in French.
    writeFile(page, "<HTML><HEAD><TITLE>Nouveau titre</TITLE></HEAD></HTML>\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.windowTitle() == "Nouveau titre"; }, 5000))
        << window.windowTitle().toStdString();
    WWW(*state, temp("vue/absent.htm"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.windowTitle() == "Page introuvable : absent.htm"; }, 2000))
        << window.windowTitle().toStdString();
    WWW(*state, page);
    EXPECT_EQ(address->count(), 2); // the list holds each address once
    WWW(*state, QString());
    EXPECT_EQ(address->count(), 2);
    EXPECT_EQ(BrowserPane::urlFor("http://exemple.org/a.htm").scheme(), "http");
    EXPECT_EQ(BrowserPane::urlFor(page).toLocalFile(), page);
}

TEST_F(Windows, ClosingKeepsUnsavedChangesAndTheStoredGeometry) {
    const QString site = openSite("ferme", {"D"});
    // Unsaved changes and "Non": the window stays open and nothing is generated.
    state->controls.tAnnulerVisible = true;
    state->controls.tAnnulerEnabled = true;
    state->notify();
    dialogs.no();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFile::exists(site + "Index.html"));
    EXPECT_EQ(setting("MainWidth"), QString::number(window.width()));
    // Closed while minimised: the geometry stored is the last normal one.
    state->controls.tAnnulerVisible = false;
    state->notify();
    storeGeometry({11, 22, 900, 600});
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(setting("MainLeft"), "11");
    EXPECT_EQ(setting("MainWidth"), "900");
    EXPECT_TRUE(QFile::exists(site + "Index.html"));
}

TEST(Splash, ShowsTheProductAndItsVersion) {
    frmSplash splash;
    QStringList shown;
    for (const char* name : {"lblProductName", "lblVersion"})
        shown << (splash.findChild<QLabel*>(name) ? splash.findChild<QLabel*>(name)->text() : "?");
    EXPECT_EQ(shown, (QStringList{"Quillsite", "Version " QUILLSITE_VERSION}));
}

// The controls' wiring only: what each option means is the options logic's own test.
TEST_F(Windows, TheOptionsDialogStoresOnOkAndNothingOnCancel) {
    store("CouleurFond(rrggbb)", "000000");
    {
        frmOptions dialog(state->values);
        EXPECT_EQ(dialog.windowTitle(), "Options");
        dialog.findChild<QSlider*>("sNiv")->setValue(20);
        EXPECT_EQ(dialog.findChild<QLabel*>("eNiv")->text(), "illimité");
        dialog.findChild<QScrollBar*>("CF0")->setValue(255);
        EXPECT_EQ(state->values.CouleurFond, "FF0000");
        EXPECT_EQ(dialog.findChild<QLabel*>("lCF")->palette().color(QPalette::Window), QColor(255, 0, 0));
        dialog.findChild<QAbstractButton*>("cmdCancel")->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(settings("NiveauRep CouleurFond(rrggbb)"), "NiveauRep=3 CouleurFond(rrggbb)=000000");
    store("Modification", "Non");
    frmOptions dialog(state->values);
    EXPECT_EQ(state->values.CouleurFond, "000000"); // opening reloads the options
    // Read-only mode is explained while ticked; a value typed in hexadecimal moves the bars.
    auto* explanation = dialog.findChild<QLabel*>("lMode");
    EXPECT_TRUE(explanation->text().startsWith("Les pages ne peuvent plus être modifiées"));
    dialog.findChild<QCheckBox*>("Check1")->click();
    EXPECT_EQ(explanation->text(), QString());
    auto* hex = dialog.findChild<QLineEdit*>("CFHexa");
    EXPECT_EQ(hex->text(), "#000000");
    hex->setFocus();
    hex->selectAll();
    QTest::keyClicks(hex, "a0b1c2");
    EXPECT_EQ(dialog.findChild<QScrollBar*>("CF1")->value(), 0xB1);
    dialog.findChild<QSlider*>("sNiv")->setValue(6);
    dialog.findChild<QCheckBox*>("cType0")->setChecked(false);
    dialog.findChild<QAbstractButton*>("cmdOK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings("NiveauRep NivImg Modification CouleurFond(rrggbb)"),
              "NiveauRep=6 NivImg=0 Modification=Oui CouleurFond(rrggbb)=A0B1C2");
}

TEST_F(Windows, ThePageButtonsDriveTheEditor) {
    openPages();
    ASSERT_EQ(state->tListe.texts(), QStringList{"Ma page"});
    clickRow(child<QListView>("tListe"), 0);
    EXPECT_EQ(child<QLineEdit>("tTitre")->text(), "Ma page");
    EXPECT_TRUE(child<QPlainTextEdit>("tTexte")->toPlainText().contains("Corps"));
    child<QAbstractButton>("tModifier")->click();
    auto* tabs = child<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_FALSE(tabs->isTabEnabled(0));
    EXPECT_TRUE(child<QWidget>("tOk")->isVisible());
    EXPECT_FALSE(child<QWidget>("tOk")->isEnabled());
    auto* text = child<QPlainTextEdit>("tTexte");
    text->setFocus();
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, "suite");
    EXPECT_TRUE(child<QWidget>("tOk")->isEnabled());
    // Escape is "Renoncer": back to the lists, nothing written.
    QTest::keyClick(text, Qt::Key_Escape);
    // A button's shortcut presses it visibly, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return tabs->currentIndex() == 0; }, 2000));
    EXPECT_TRUE(tabs->isTabEnabled(0));
    EXPECT_FALSE(child<QWidget>("tOk")->isVisible());
    EXPECT_FALSE(fileLines(state->values.Répertoire + "D/C/1.htm").join(u' ').contains(u"suite"));
    // Enter on the selected page opens it, as "Modifier" does.
    auto* pages = child<QListView>("tListe");
    pages->setFocus();
    QTest::keyClick(pages, Qt::Key_Return);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(child<QWidget>("tOk")->isVisible());
    child<QAbstractButton>("tAnnuler")->click();
    // A new page is typed title first, then text.
    child<QAbstractButton>("tAjouter")->click();
    QTest::keyClicks(QApplication::focusWidget(), "Premiers pas");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "Bonjour");
    EXPECT_EQ(state->controls.tTitre + '|' + state->controls.tTexte, "Premiers pas|Bonjour");
    EXPECT_TRUE(child<QWidget>("tOk")->isEnabled());
}

// The drag itself is in test_pageswindow; here its other way and a drop on no row.
TEST_F(Windows, APageMovesThroughItsMenuToAnotherCategory) {
    const QString site = openPages();
    auto* pages = window.findChild<StructureView*>("tListe");
    auto* categories = window.findChild<StructureView*>("cListe");
    std::unique_ptr<QMimeData> dragged(pages->dragSource(0));
    ASSERT_NE(dragged, nullptr);
    EXPECT_FALSE(categories->canDrop(dragged.get(), -1));
    // "Déplacer vers..." in the page's menu, then the domain and category.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (a->text() == "Déplacer vers...") {
                    EXPECT_TRUE(a->isEnabled());
                    menu->setActiveAction(a);
                }
            QTest::keyClick(menu, Qt::Key_Return);
        } else if (QWidget* dialog = QApplication::activeModalWidget();
                   dialog && dialog->objectName() == "DeplacerVers") {
            auto* target = dialog->findChild<QComboBox*>("cCible");
            EXPECT_EQ(target->count(), 1); // the page's own category is not offered
            target->setCurrentText("C2");
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    answer.start(50);
    const QRect row = pages->visualRect(pages->model()->index(0, 0));
    QTest::mouseClick(pages->viewport(), Qt::RightButton, {}, row.center());
    answer.stop();
    EXPECT_TRUE(QFile::exists(site + "D/C2/1.htm"));
    EXPECT_FALSE(QFile::exists(site + "D/C/1.htm"));
    EXPECT_EQ(dialogs.messages(), QStringList{"\"Ma page\" a été déplacé dans la catégorie \"C2\"."});
}

TEST_F(Windows, TheEditionMenuActsOnTheFocusedTextBox) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    auto* title = child<QLineEdit>("tTitre");
    title->setText("Un titre");
    title->setFocus();
    title->selectAll();
    action("mnuEditCut")->trigger();
    EXPECT_EQ(title->text(), QString());
    auto* text = child<QPlainTextEdit>("tTexte");
    text->setFocus();
    action("mnuEditPaste")->trigger();
    action("mnuEditPaste")->trigger();
    EXPECT_EQ(text->toPlainText(), "Un titreUn titre");
    EXPECT_EQ(state->controls.tTexte, "Un titreUn titre");
    text->selectAll();
    action("mnuEditCopy")->trigger();
    // A list has no text to take: the commands leave it and the clipboard alone.
    child<QListView>("dListe")->setFocus();
    action("mnuEditCut")->trigger();
    title->setFocus();
    action("mnuEditPaste")->trigger();
    EXPECT_EQ(title->text(), "Un titreUn titre");
    EXPECT_EQ(state->controls.tTitre, "Un titreUn titre");
}
