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

// The page written out from its layout table; `images` are the rows in order.
QStringList expectedPage(const QString& category, const QStringList& images, const QString& date,
                         const QString& user, const QString& current) {
    QStringList l{"<HTML>",
                  "<HEAD>",
                  "<TITLE> Index des images </TITLE>",
                  "</HEAD>",
                  "<BODY>",
                  "<!-- BEGIN -->",
                  "<CENTER><H1>Images du répertoire \"" + category + "\"</H1></CENTER><HR>",
                  "<TABLE>"};
    for (const QString& f : images)
        l << "<TR>"
          << "<TD>" + f + "</TD>"
          << "<TD><IMG SRC=\"" + f + "\"></TD>"
          << "</TR>";
    l << "</TABLE>"
      << "<BR><HR><BR>"
      << "<!-- END -->"
      << "<TABLE WIDTH=\"100%\">"
      << "<TR>"
      << "<TD><FONT SIZE=\"1\">Mis à jour le " + date + " par " + user + ".</FONT></TD>"
      << "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index " + current + "</A></TD>"
      << "<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page précédente</A></TD>"
      << "</TR>"
      << "</TABLE>"
      << "</BODY>"
      << "</HTML>";
    return l;
}

const QDateTime kNow(QDate(2026, 12, 5), QTime(9, 7));

} // namespace

TEST(ImageFiles, ThreeExtensionsInAnyCaseOrderedWithoutCase) {
    TempDir dir;
    for (const char* name : {"plan.jpeg", "Photo.JPG", "logo.gif", "scan.bmp", "anim.png", "zèbre.Gif",
                             "Été.jpg", "b.JPEG", "a.jpg.txt", ".cache.jpg", "1.htm"})
        writeFile(dir(QString::fromUtf8(name)), "x");
    makeDir(dir("dossier.jpg"));
    EXPECT_EQ(imageFiles(dir.path()),
              (QStringList{"b.JPEG", "Été.jpg", "logo.gif", "Photo.JPG", "plan.jpeg", "zèbre.Gif"}));
    EXPECT_TRUE(imageFiles(dir("absent/")).isEmpty());
}

TEST(ImgIndexPage, GoldenWithAndWithoutImages) {
    TempDir dir;
    for (const char* name : {"Photo.JPG", "logo.gif", "plan.jpeg", "scan.bmp", "anim.png"})
        writeFile(dir(QString("Cat/") + name), "x");
    makeDir(dir("Vide"));
    FixedClock clock(kNow, "marie");
    ScriptedDialogs dialogs;

    ASSERT_TRUE(writeImgIndex(dir("Cat"), "Cat", "Cat", clock, dialogs));
    EXPECT_EQ(
        readFile(dir("Cat/ImgIndex.htm")),
        crlf(expectedPage("Cat", {"logo.gif", "Photo.JPG", "plan.jpeg"}, "5.12.26 à 9:07", "marie", "Cat")));

    // No images: the table opens and closes on adjacent lines. No current category: "Index " alone.
    ASSERT_TRUE(writeImgIndex(dir("Vide/"), "Vide", "", clock, dialogs));
    const QStringList lines = fileLines(dir("Vide/ImgIndex.htm"));
    EXPECT_EQ(lines, expectedPage("Vide", {}, "5.12.26 à 9:07", "marie", ""));
    EXPECT_EQ(lines.indexOf("</TABLE>"), lines.indexOf("<TABLE>") + 1);
    EXPECT_EQ(lines[14], "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index </A></TD>");
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(ImgIndexPage, NamesAreWrittenAsTheyAreInWindows1252) {
    ImgIndexPage page{"Catégorie & co", {"été <1>.jpg", "%1.gif"}, "1.1.27 à 0:00", "zoé", "Catégorie & co"};
    const QStringList lines = imgIndexLines(page);
    EXPECT_EQ(lines, expectedPage("Catégorie & co", {"été <1>.jpg", "%1.gif"}, "1.1.27 à 0:00", "zoé",
                                  "Catégorie & co"));
    EXPECT_EQ(crlf({lines[6]}),
              QByteArray("<CENTER><H1>Images du r\xE9pertoire \"Cat\xE9gorie & co\"</H1></CENTER><HR>\r\n"));
}

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
              crlf(expectedPage("Cat", {"photo.jpg"}, "5.12.26 à 9:07", "marie", "Cat")));
    EXPECT_EQ(state.tListe.texts(), (QStringList{"Index des images", "Une page"}));
    EXPECT_EQ(state.currentDomain, "Dom");
    EXPECT_EQ(state.currentCategory, "Cat");
    EXPECT_EQ(state.controls.ImgIndexCaption, "Créer un index des images du répertoire :Cat");

    // A second run overwrites the page, which the list shows once.
    writeFile(site("Dom/Cat/autre.GIF"), "x");
    ImgIndex_Click(state);
    EXPECT_EQ(readFile(site("Dom/Cat/ImgIndex.htm")),
              crlf(expectedPage("Cat", {"autre.GIF", "photo.jpg"}, "5.12.26 à 9:07", "marie", "Cat")));
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
