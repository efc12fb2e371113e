// What the scripted scenarios cannot say: the environment commands run in, the window's notifications,
// the menus' captions and the drag data.
#include "commands/commands.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"
#include "commands/regenerate.h"

#include "sitefixture.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(PageDelete, ANewAccountWithoutADataFolderStillGetsATrash) {
    PageSite s;
    s.page("D/C/1.htm", "Page");
    s.openCategory("D", "C");
    const QByteArray dataBefore = qgetenv("XDG_DATA_HOME");
    const QString cwdBefore = QDir::currentPath();
    makeDir(s.dir("cwd"));
    qputenv("XDG_DATA_HOME", s.dir("data/not-yet").toLocal8Bit());
    QDir::setCurrent(s.dir("cwd"));
    s.state.tListe.select(0);
    const bool deleted = tSupprimer_Click(s.state);
    const QStringList trashed = QDir(trashFolder()).entryList(QDir::Files);
    QDir::setCurrent(cwdBefore);
    qputenv("XDG_DATA_HOME", dataBefore);

    EXPECT_TRUE(deleted);
    EXPECT_EQ(trashed, QStringList{"1.htm"});
    EXPECT_EQ(QDir(s.dir("cwd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}

TEST(Commands, MenuCaptionAndDragData) {
    EXPECT_EQ(folderMenu()[3].caption, "Ajouter un fichier indépendant");
    EXPECT_EQ(decodeDraggedPage(encodeDraggedPage({"D", "C", "1.htm"}))->file, "1.htm");
    EXPECT_FALSE(decodeDraggedPage("n'importe quoi").has_value());
}

TEST(Enregistrer, SearchLinksOnlyWhenIndexerIsExactlyOui) {
    SiteFixture s;
    for (const char* value : {"oui", "Non", ""}) {
        ParamètreEcrire(QStringLiteral("Indexer"), QString::fromUtf8(value));
        Enregistrer(s.state);
        const QStringList lines = s.lines("Index.htm");
        EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("Rechercher"))) << value;
        EXPECT_EQ(lines.mid(lines.size() - 4), (QStringList{"</TR>", "</TABLE>", "</BODY>", "</HTML>"}));
        // No domain: the list's opening and closing lines meet.
        EXPECT_EQ(lines.indexOf("</CENTER></FONT>"), lines.indexOf("<FONT SIZE=\"4\"><CENTER>") + 1);
    }
}

TEST(Enregistrer, WithoutASiteWritesNothing) {
    SiteFixture s;
    s.state.values.Répertoire.clear();
    s.state.currentDomain = QStringLiteral("D");
    s.state.currentCategory = QStringLiteral("C");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(s.root());
    Enregistrer(s.state);
    dEnregistrer(s.state);
    cEnregistrer(s.state);
    QDir::setCurrent(cwd);
    EXPECT_EQ(QDir(s.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_TRUE(s.dialogs.calls().isEmpty());
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
