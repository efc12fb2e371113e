// What the lists show of a site on disk: links, FIFOs, page titles, new names.
#include "commands/selection.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include "sitefixture.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

// What the lists leave out is in the scenarios; a domain command lists "Modifier" and "ReadOnly" too.
TEST(DomainListing, ACommandListsModifierAndReadOnlyLikeAnyFolder) {
    TempDir dir;
    for (const char* name : {"images", ".cache", "Modifier", "ReadOnly", "zeta"})
        makeDir(dir(name));
    ASSERT_TRUE(QFile::link(dir("zeta"), dir("lien")));
    EXPECT_EQ(siteDomains(dir.path(), DomainListing::Command), (QStringList{"Modifier", "ReadOnly", "zeta"}));
}

TEST(CategoryFiles, ListsOrdinaryPagesAndFindsTheIntroductionPage) {
    TempDir dir;
    const QString c = dir("C/"); // holds files, links, folders, FIFOs, hidden files
    for (const char* name : {"2.htm", "B.HTM", "10.htm", ".cache.htm", "Index.htm", "indexg.htm", "note.txt",
                             "index.HTML", "page.htm.bak"})
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

TEST(PageTitle, FollowsTheTitleOverLinesAndStopsAtTheFirstTag) {
    for (const auto& r : tableRows("site/titles.txt"))
        EXPECT_EQ(pageTitleOf(toWindows1252(str(r[0]))), str(r[1])) << str(r[0]);
}

TEST(PageTitle, ReadsAcrossBufferBoundariesAndNoFurtherThanNeeded) {
    // The title starts far into the file, and a CR LF pair straddles a read boundary.
    for (int pad : {4090, 4094, 4095, 4096, 4097, 9000}) {
        for (const char fill : {'x', ' '}) {
            QByteArray bytes = QByteArray(pad, fill) + "\r\n<TITLE>Loin\r\ndans le fichier</TITLE>\r\n";
            bytes += QByteArray(1 << 20, 'x');
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            EXPECT_EQ(pageTitle(buffer), QStringLiteral("Loin dans le fichier")) << pad;
            EXPECT_LE(buffer.pos(), pad + 8192) << pad;
        }
    }
    SiteFixture s;
    EXPECT_EQ(pageTitle(s.at("absent.htm")), QString());
    s.folder("dossier.htm");
    EXPECT_EQ(pageTitle(s.at("dossier.htm")), QString());
}

TEST(NewFolderName, ASiteNameIsTakenWhenItsFolderExists) {
    SiteFixture s;
    s.folder("Existant");
    s.dialogs.answer("Existant").answer("Neuf");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Site, s.root()), QStringLiteral("Neuf"));
    EXPECT_EQ(s.dialogs.texts(),
              (QStringList{"Nom du nouveau site :", "Ce domaine existe déjà ! Saisissez un autre nom.",
                           "Nom du nouveau site :"}));
}
