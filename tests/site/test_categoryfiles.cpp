// What a category folder lists, whatever its entries are: files, links, folders, FIFOs, hidden files.
#include "site/listing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

TEST(CategoryFiles, ListsOrdinaryPagesAndFindsTheIntroductionPage) {
    TempDir dir;
    const QString c = dir("C/");
    for (const char* name :
         {"2.htm", "B.HTM", "10.htm", ".cache.htm", "Index.htm", "indexg.htm", "note.txt", "index.HTML"})
        writeFile(c + QString::fromLatin1(name), "<TITLE>x</TITLE>");
    makeDir(c + "dossier.htm");
    ASSERT_TRUE(QFile::link(c + "2.htm", c + "lien.htm"));
    ASSERT_TRUE(QFile::link(c + "absent.htm", c + "casse.htm"));
    ASSERT_TRUE(QFile::link(c + "dossier.htm", c + "versdossier.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(c + "fifo.htm").constData(), 0600), 0);

    CategoryFiles files = categoryFiles(c);
    EXPECT_EQ(files.pages, (QStringList{"10.htm", "2.htm", "B.HTM", "lien.htm"}));
    EXPECT_EQ(files.introduction, "index.HTML"); // another case, when the exact name is missing
    EXPECT_EQ(categoryPages(c), files.pages);

    writeFile(c + "Index.html", "");
    files = categoryFiles(c);
    EXPECT_EQ(files.introduction, "Index.html");
    EXPECT_EQ(introductionPage(c), "Index.html");
    // Titles read in the folder, in the order of the names; "" for what is not a readable file.
    EXPECT_EQ(pageTitles(c, {"B.HTM", "absent.htm", "fifo.htm", "lien.htm"}),
              (QStringList{"x", "", "", "x"}));
}
