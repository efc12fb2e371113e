#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "generate/imgindex.h"
#include "lib/clock.h"
#include "lib/files.h"
#include "scripteddialogs.h"
#include "site/listing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(9, 7));

} // namespace

class ImgIndexButton : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(site("Dom/Cat/1.htm"), "<HTML><HEAD><TITLE>Une page</TITLE></HEAD></HTML>\r\n");
        writeFile(site("Dom/Cat/photo.jpg"), "x");
        makeDir(site("Dom/Autre"));
        state.values.Répertoire = site.path();
        domainesInit(state);
        state.dListe.select(state.dListe.find("Dom"));
        dListe_Click(state);
        state.cListe.select(state.cListe.find("Cat"));
        cListe_Click(state);
        ASSERT_EQ(state.currentCategory, "Cat");
        ASSERT_EQ(state.tListe.texts(), QStringList{"Une page"});
    }

    TempDir site;
    ScriptedDialogs dialogs;
    FixedClock clock{kNow, "marie"};
    MainState state{dialogs, clock, site("programme/")};
};

TEST_F(ImgIndexButton, WritesTheIndexListsItAndKeepsTheCategoryCurrent) {
    ImgIndex_Click(state);
    EXPECT_EQ(readFile(site("Dom/Cat/ImgIndex.htm")),
              crlf(imgIndexLines({"Cat", {"photo.jpg"}, "5.12.26 à 9:07", "marie", "Cat"})));
    EXPECT_EQ(state.tListe.texts(), (QStringList{"Index des images", "Une page"}));
    EXPECT_EQ(state.currentDomain, "Dom");
    EXPECT_EQ(state.currentCategory, "Cat");
    EXPECT_EQ(state.controls.ImgIndexCaption, "Créer un index des images du répertoire : Cat");

    // A second run overwrites the page, which the list shows once.
    writeFile(site("Dom/Cat/autre.GIF"), "x");
    ImgIndex_Click(state);
    EXPECT_EQ(readFile(site("Dom/Cat/ImgIndex.htm")),
              crlf(imgIndexLines({"Cat", {"autre.GIF", "photo.jpg"}, "5.12.26 à 9:07", "marie", "Cat"})));
    EXPECT_EQ(state.tListe.texts(), (QStringList{"Index des images", "Une page"}));
    // Each run ends saying what it wrote.
    const QString said = "Index des images de la catégorie « Cat » écrit (%1) :\r\n" +
                         QDir::toNativeSeparators(site("Dom/Cat/ImgIndex.htm"));
    EXPECT_EQ(dialogs.messages(), (QStringList{said.arg("1 image"), said.arg("2 images")}));
}

TEST_F(ImgIndexButton, AfterTheCategoryWasWrittenTheFooterLinkHasNoName) {
    cEnregistrer(state); // empties the current category
    ASSERT_TRUE(state.currentCategory.isEmpty());
    ImgIndex_Click(state);
    EXPECT_EQ(fileLines(site("Dom/Cat/ImgIndex.htm"))[18],
              "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index </A></TD>");
    EXPECT_EQ(state.currentCategory, "Cat"); // current again afterwards
    EXPECT_EQ(state.currentDomain, "Dom");
}

TEST_F(ImgIndexButton, AFolderThatCannotBeWrittenIsReportedAndTheListStays) {
    ReadOnlyFolder lock(withoutSeparator(site("Dom/Cat")));
    if (!lock.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    ImgIndex_Click(state);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().front().startsWith("Je ne peux pas écrire le fichier \"" +
                                                      site("Dom/Cat/ImgIndex.htm") + "\""))
        << dialogs.messages().front();
    EXPECT_FALSE(QFile::exists(site("Dom/Cat/ImgIndex.htm")));
    EXPECT_EQ(state.tListe.texts(), QStringList{"Une page"});
    EXPECT_EQ(state.currentCategory, "Cat");
}
