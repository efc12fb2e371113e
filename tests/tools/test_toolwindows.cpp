#include "lib/helpers.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "tools/fconf.h"
#include "tools/frmremp.h"
#include "tools/importer.h"
#include "tools/toolwindows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using namespace qs;
using namespace qs::test;

namespace {

QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

void select(QListWidget* list, const QStringList& names) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

template <typename W> W* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && found->isVisible())
            return found;
    return nullptr;
}

// The replacement window over a folder holding these files, with a sought text, its replacement and the
// files selected.
class ReplaceWindow : public ::testing::Test {
protected:
    frmRemp& open(std::initializer_list<std::pair<const char*, const char*>> files,
                  const QString& sought = {}, const QString& replacement = {},
                  const QStringList& selected = {}) {
        for (const auto& [name, content] : files)
            writeFile(dir(name), content);
        ParamètreEcrire(QStringLiteral("RemplacementDossier"), dir.path());
        window = std::make_unique<frmRemp>(d);
        window->t0->setText(sought);
        window->t1->setText(replacement);
        select(window->lF, selected);
        return *window;
    }
    TempDir dir;
    ScriptedDialogs d;
    std::unique_ptr<frmRemp> window;
};

} // namespace

TEST_F(ReplaceWindow, ListsTheFolderAndEnablesExecuteOnlyWithASoughtText) {
    makeDir(dir("sub"));
    frmRemp& w = open({{"b.txt", "x"}, {"a.txt", "x"}, {"C.TXT", "x"}, {".cache", "x"}});
    EXPECT_EQ(w.windowTitle(), ProgrammeID() + QStringLiteral(" Remplacement de chaînes de caractères"));
    EXPECT_EQ(rows(w.lF), (QStringList{"a.txt", "b.txt", "C.TXT"}));
    EXPECT_EQ(w.lF->selectionMode(), QAbstractItemView::ExtendedSelection);
    // Only a sought text enables "Exécuter"; the replacement may be empty.
    QList<bool> enabled{w.bExécuter->isEnabled()};
    for (QLineEdit* field : {w.t1, w.t0, w.t0}) {
        field->setText(field->text().isEmpty() ? QStringLiteral("x") : QString());
        enabled.append(w.bExécuter->isEnabled());
    }
    EXPECT_EQ(enabled, (QList<bool>{false, false, true, false}));

    // A chosen folder is listed and remembered; a typed one that does not exist is refused with a beep.
    writeFile(dir("sub/z.txt"), "x");
    d.folder(dir("sub"));
    w.lR->button()->click();
    EXPECT_EQ(rows(w.lF), QStringList{"z.txt"});
    EXPECT_EQ(ParamètreLire(QStringLiteral("RemplacementDossier")), dir("sub/"));
    w.lR->edit()->setText(dir("nowhere"));
    emit w.lR->edit()->editingFinished();
    EXPECT_EQ(w.lR->folder(), dir("sub/"));
    EXPECT_EQ(d.calls().back().kind, ScriptedDialogs::Kind::Beep);
}

TEST_F(ReplaceWindow, RunsOnTheSelectedFilesAndKeepsTheSelection) {
    frmRemp& w = open({{"a.txt", "old OLD\r\n"}, {"b.txt", "old\r\n"}, {"c.txt", "old\r\n"}}, "old", "new",
                      {"a.txt", "c.txt"});
    w.bExécuter->click();
    EXPECT_EQ(readFile(dir("a.txt")) + '|' + readFile(dir("b.txt")), QByteArray("new new\r\n|old\r\n"));
    EXPECT_EQ(w.selectedFiles(), (QStringList{"a.txt", "c.txt"}));
    EXPECT_TRUE(w.bExécuter->isEnabled() && !w.running());
    // The case box is passed on.
    w.cMajMin->setChecked(true);
    w.t0->setText(QStringLiteral("NEW"));
    w.bExécuter->click();
    EXPECT_EQ(d.messages(),
              (QStringList{"3 chaîne(s) remplacée(s) dans 2 fichier(s)", "Aucun remplacement effectué."}));
}

TEST_F(ReplaceWindow, ConfirmationsGoThroughTheConfirmWindow) {
    frmRemp& w = open({{"a.txt", "one one one\r\n"}}, "ONE", "1", {"a.txt"});
    w.cConfirm->setChecked(true);
    // Answer each confirmation window as it comes: Oui, Non, Oui.
    QList<bool> answers{true, false, true};
    QStringList shown;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* f = qobject_cast<F_Conf*>(QApplication::activeModalWidget());
        if (!f || answers.isEmpty())
            return;
        shown.append(QStringList{f->tF->text(), f->tTxt->toPlainText(), f->tTxt->textCursor().selectedText(),
                                 QString::number(f->tTxt->textCursor().selectionStart()), f->tR->text()}
                         .join(u'|'));
        const bool yes = answers.takeFirst();
        (yes ? f->bOui : f->bNon)->click();
        // The answer is left in the window, which hides.
        EXPECT_EQ(f->tag(), yes ? QStringLiteral("OUI") : QStringLiteral("NON"));
        EXPECT_FALSE(f->isVisible());
    });
    answerer.start(5);
    w.bExécuter->click();
    answerer.stop();
    const QString file = dir("a.txt");
    EXPECT_EQ(shown, (QStringList{file + "|one one one|one|0|1", file + "|1 one one|one|2|1",
                                  file + "|1 one one|one|6|1"}));
    EXPECT_EQ(readFile(dir("a.txt")), QByteArray("1 one 1\r\n"));
    EXPECT_EQ(d.messages(), QStringList{"2 chaîne(s) remplacée(s) dans 1 fichier(s)"});
}

TEST(ImportWindow, ListsDocumentsAndWritesTheirPages) {
    TempDir dir;
    writeFile(dir("Word/a.doc"), "doc");
    writeFile(dir("Word/B.DOC"), "{\\rtf1 a Word document}");
    writeFile(dir("Word/c.docx"), "not a .doc");
    writeFile(dir("Word/d.txt"), "text");
    makeDir(dir("Web"));
    ParamètreEcrire(QStringLiteral("ImporterSource"), dir("Word"));
    ParamètreEcrire(QStringLiteral("ImporterDestination"), dir("Web"));
    ScriptedDialogs d;
    Importer w(d);
    EXPECT_EQ(w.windowTitle(), "Importer des fichiers Word");
    EXPECT_TRUE(w.lAide->text().startsWith(QStringLiteral(
        "Ce module va importer des fichiers Word dans un mode visionneur. Il ne va en aucun cas "
        "convertir les fichiers Word au format HTML. Ce qui implique que vous possédiez un "
        "plugin Visionneur Word... ")));
    EXPECT_EQ(rows(w.lF), (QStringList{"a.doc", "B.DOC", "c.docx"}));
    EXPECT_FALSE(w.bGo->isEnabled());
    select(w.lF, {"B.DOC"});
    EXPECT_TRUE(w.bGo->isEnabled());
    w.bGo->click();
    EXPECT_TRUE(readFile(dir("Web/B.htm")).contains("SRC=\"../Word/B.DOC\""));
    EXPECT_FALSE(QFileInfo::exists(dir("Web/a.htm")));
    EXPECT_TRUE(w.lEtat->text().isEmpty());
    EXPECT_EQ(d.messages(), QStringList{QStringLiteral("1 page(s) écrite(s) dans \"%1\".").arg(dir("Web"))});
    select(w.lF, {});
    EXPECT_FALSE(w.bGo->isEnabled());

    // Another source folder is listed, with nothing selected, and remembered.
    writeFile(dir("two/e.doc"), "doc");
    select(w.lF, {"a.doc"});
    d.folder(dir("two"));
    w.lR0->button()->click();
    EXPECT_EQ(rows(w.lF), QStringList{"e.doc"});
    EXPECT_FALSE(w.bGo->isEnabled());
    EXPECT_EQ(ParamètreLire(QStringLiteral("ImporterSource")), dir("two/"));
}

TEST(ToolMenu, ToolWindowsTakeThePlaceOfTheMainWindow) {
    QWidget main;
    main.show();
    mnuOptionsRemp_Click(&main);
    auto* holder = main.findChild<QObject*>(QStringLiteral("frmRempHolder"));
    ASSERT_NE(holder, nullptr);
    auto* tool = shownWindow<frmRemp>();
    ASSERT_NE(tool, nullptr);
    EXPECT_FALSE(main.isVisible());
    tool->t0->setText(QStringLiteral("kept"));
    tool->bFin->click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(tool->isVisible());
    // Opened again: the same window, with what was typed.
    mnuOptionsRemp_Click(&main);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(tool->t0->text(), QStringLiteral("kept"));
    // Escape leaves the same way, announced once.
    QSignalSpy finished(tool, &frmRemp::finished);
    tool->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(tool));
    QTest::keyClick(tool, Qt::Key_Escape);
    EXPECT_TRUE(main.isVisible() && !tool->isVisible());
    EXPECT_EQ(finished.count(), 1);
    // The main window closing it (as it ends) does not bring the main window back.
    mnuOptionsRemp_Click(&main);
    main.hide();
    tool->close();
    EXPECT_FALSE(main.isVisible());

    mnuOptionsImport_Click(&main);
    auto* import = shownWindow<Importer>();
    ASSERT_NE(import, nullptr);
    import->bFin->click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(import->isVisible());
}

TEST_F(ReplaceWindow, PreviewLetsFilesBeUntickedAndTheRunUndone) {
    frmRemp& w = open({{"a.txt", "old\r\n"}, {"b.txt", "one\r\nx old\r\n"}, {"c.txt", "none\r\n"}}, "old",
                      "new", {"a.txt", "b.txt", "c.txt"});
    w.bAperçu->click();
    ASSERT_NE(w.aperçu(), nullptr);
    QTreeWidget* tree = w.aperçuArbre();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    const QTreeWidgetItem* line = tree->topLevelItem(1)->child(0);
    EXPECT_EQ((QStringList{line->text(0), line->text(1), line->text(2)}),
              (QStringList{"ligne 2", "x old", "x new"}));
    EXPECT_EQ(readFile(dir("a.txt")), QByteArray("old\r\n")); // nothing written before "Appliquer"

    tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    w.aperçuAppliquerBouton()->click();
    EXPECT_EQ(readFile(dir("a.txt")) + '|' + readFile(dir("b.txt")), QByteArray("old\r\n|one\r\nx new\r\n"));
    EXPECT_EQ(d.messages(), QStringList{"1 chaîne(s) remplacée(s) dans 1 fichier(s)"});

    ASSERT_TRUE(w.bAnnuler->isEnabled());
    d.clear();
    d.yes();
    w.bAnnuler->click();
    EXPECT_EQ(readFile(dir("b.txt")), QByteArray("one\r\nx old\r\n"));
    ASSERT_EQ(d.texts().size(), 2);
    EXPECT_TRUE(d.texts()[0].startsWith(QStringLiteral("Annuler le remplacement du "))) << d.texts()[0];
    EXPECT_TRUE(d.texts()[1].endsWith(QStringLiteral(" annulé : 1 fichier(s) rétabli(s)."))) << d.texts()[1];
}
