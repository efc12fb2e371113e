#include "generate/imgindex.h"
#include "lib/clock.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

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

TEST(ImgIndexPage, GoldenWithAndWithoutImagesNamesAsTheyAre) {
    TempDir dir;
    for (const char* name : {"Photo.JPG", "logo.gif", "plan.jpeg", "scan.bmp", "anim.png"})
        writeFile(dir(QString("Cat/") + name), "x");
    makeDir(dir("Vide"));
    FixedClock clock(QDateTime(QDate(2026, 12, 5), QTime(9, 7)), "marie");
    ScriptedDialogs dialogs;
    ASSERT_TRUE(writeImgIndex(dir("Cat"), "Cat", "Cat", clock, dialogs));
    EXPECT_EQ(readFile(dir("Cat/ImgIndex.htm")),
              dataFile("generate/imgindex.htm", {{"CATEGORY", "Cat"}, {"CURRENT", "Cat"}}));
    // No images: the table opens and closes on adjacent lines. No current category: "Index " alone.
    ASSERT_TRUE(writeImgIndex(dir("Vide/"), "Vide", "", clock, dialogs));
    EXPECT_EQ(readFile(dir("Vide/ImgIndex.htm")),
              dataFile("generate/imgindex-empty.htm", {{"CATEGORY", "Vide"}, {"CURRENT", ""}}));

    const ImgIndexPage page{
        "Catégorie & co", {"été <1>.jpg", "%1.gif"}, "1.1.27 à 0:00", "zoé", "Catégorie & co"};
    // Names as they are: accents in Windows-1252, "<" and "%" untouched.
    EXPECT_EQ(crlf(imgIndexLines(page)), dataFile("generate/imgindex-names.htm"));
}
