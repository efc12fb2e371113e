// What the scripted scenarios cannot say: the environment commands run in, the menus' captions and the
// drag data.
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
