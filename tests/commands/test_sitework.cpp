// What the structure commands must never do to the user's work: lose hidden files on a rename, act on
// the wrong one of two names differing only in case, sort other than in French, or leave page buttons
// usable with no category to write into.
#include "commands/commands.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"
#include "commands/regenerate.h"

#include "pagesite.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(FrenchOrder, ListsAndGeneratedPagesSortAsAFrenchReaderExpects) {
    PageSite s;
    const QStringList names = {"Zoologie", "œuvres", "Art", "Finance", "Économie", "Œil"};
    for (const QString& n : names) {
        s.folder("D/" + n);
        s.folder(n + "/C");
    }
    int file = 0;
    for (const QString& n : names)
        s.page(QStringLiteral("D/Art/%1.htm").arg(++file), n);
    const QStringList french = {"Art", "Économie", "Finance", "Œil", "œuvres", "Zoologie"};
    s.openCategory("D", "Art");
    EXPECT_EQ(s.state.dListe.texts(),
              (QStringList{"Art", "D", "Économie", "Finance", "Œil", "œuvres", "Zoologie"}));
    EXPECT_EQ(s.state.cListe.texts(), french);
    EXPECT_EQ(s.state.tListe.texts(), french);
    EXPECT_EQ(receivingCategory(s.at("D/")), "Art");
    Enregistrer(s.state);
    QStringList titles;
    for (const QString& n : s.navigation("D/Art/"))
        titles.append(n.section('|', 1));
    EXPECT_EQ(titles, french);
    // Equal titles keep the order of their files.
    s.page("D/Art/9.htm", "Art");
    s.clickCategory("Finance");
    s.clickCategory("Art");
    EXPECT_EQ(s.listing().mid(0, 2), (QStringList{"Art=3.htm", "Art=9.htm"}));
}

TEST(CaseNames, AnExactNameWinsOverOneDifferingOnlyInCase) {
    PageSite s;
    s.page("abc/C/1.htm", "Page");
    s.folder("ABC/C");
    s.folder("abc/x");
    s.folder("abc/X");
    s.open();
    ASSERT_EQ(s.state.dListe.count(), 2);
    for (const char* d : {"ABC", "abc"}) {
        s.clickDomain(d);
        EXPECT_EQ(s.state.dListe.selectedText(), d);
    }
    // A drop on "X" moves the page there and selects that one again, not "x".
    s.clickCategory("C");
    s.state.tListe.select(0);
    tListe_Click(s.state);
    const auto page = tListe_MouseDown(s.state, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(cListe_DragDrop(s.state, *page, s.state.cListe.find("X")), s.at("abc/X/1.htm"));
    EXPECT_EQ(s.state.cListe.selectedText(), "C");
    EXPECT_TRUE(s.lines("abc/X/IndexG.htm").join("").contains("1.htm"));
    EXPECT_FALSE(s.exists("abc/x/IndexG.htm") && s.lines("abc/x/IndexG.htm").join("").contains("1.htm"));
}

TEST(FolderRename, EverythingMovesHiddenFilesIncludedAndDotNamesAreRefused) {
    PageSite s;
    s.page("A/C/1.htm", "Un");
    writeFile(s.at("A/.htaccess"), "deny");
    writeFile(s.at("A/C/.svn/entries"), "12");
    ASSERT_TRUE(QFile::link(s.at("A/C/absent.htm"), s.at("A/C/lien.htm"))); // a copy could not take it
    s.folder("B/X");
    s.open();
    s.clickDomain("A");
    s.clickCategory("C");
    // What the window shows: the controls as they were at the last notification.
    bool shownAjouter = false;
    QObject::connect(&s.state, &MainState::changed, [&] {
        const ControlState& c = s.state.controls;
        shownAjouter = c.tAjouterEnabled || c.tImporterEnabled || c.ImgIndexEnabled;
    });

    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, s.state.dListe.find("A")));
    s.dialogs.answer(".cache").answer("Nouveau");
    mmod_Click(s.state, FolderCommand::Rename);
    EXPECT_EQ(s.dialogs.messages().value(0), invalidNameMessage());
    EXPECT_FALSE(QFileInfo::exists(s.at("A")));
    EXPECT_EQ(readFile(s.at("Nouveau/.htaccess")), "deny");
    EXPECT_EQ(readFile(s.at("Nouveau/C/.svn/entries")), "12");
    EXPECT_EQ(QFile::symLinkTarget(s.at("Nouveau/C/lien.htm")), s.at("A/C/absent.htm"));
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"B", "Nouveau"}));
    EXPECT_EQ(s.dialogs.messages().value(1), "4 fichier(s) déplacé(s)");
    // No page button without a category to write into.
    const ControlState& c = s.state.controls;
    EXPECT_EQ(s.state.cListe.selectedRow(), -1);
    EXPECT_FALSE(c.tAjouterEnabled || c.tImporterEnabled || c.ImgIndexEnabled || c.tModifierEnabled ||
                 shownAjouter);
    tAjouter_Click(s.state);
    EXPECT_FALSE(c.tOkVisible);

    // A category rename and a domain copy carry the hidden files too.
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, 0));
    s.dialogs.answer("D");
    mod2_Click(s.state, FolderCommand::Rename);
    EXPECT_EQ(readFile(s.at("Nouveau/D/.svn/entries")), "12");
    EXPECT_FALSE(QFileInfo::exists(s.at("Nouveau/C")));
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, s.state.dListe.find("Nouveau")));
    s.dialogs.answer("Copie");
    mmod_Click(s.state, FolderCommand::Copy);
    EXPECT_EQ(readFile(s.at("Copie/D/.svn/entries")), "12");
    EXPECT_EQ(readFile(s.at("Copie/.htaccess")), "deny");
    EXPECT_EQ(s.state.dListe.selectedText(), "Copie");
    EXPECT_FALSE(c.tAjouterEnabled || c.tImporterEnabled || c.ImgIndexEnabled || shownAjouter);
}
