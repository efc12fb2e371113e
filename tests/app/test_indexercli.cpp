#include "lib/helpers.h"
#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

void page(const TempDir& dir, const QString& relative, const QByteArray& title, const QDateTime& modified) {
    writeFile(dir(relative), "<HTML><HEAD><TITLE>" + title + "</TITLE></HEAD></HTML>\r\n");
    setModified(dir(relative), modified);
}

} // namespace

TEST(IndexerCommand, IndexesWithTheGivenMomentAndCountsEachList) {
    TempDir site;
    const QDateTime monday(QDate(2026, 3, 9), QTime(10, 0));
    page(site, "Dom/Cat/1.htm",
         "R\xE9"
         "cente",
         monday.addDays(-2));
    page(site, "Dom/Cat/2.htm", "Ancienne", monday.addDays(-20));
    ParamètreEcrire("Répertoire", site("ailleurs/"));
    ParamètreEcrire("Indexer", "Non");

    const CliResult r = runCli({"indexer", "--maintenant", "2026-03-09 10:00", site.path()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "« Recent.htm » : 1 page(s)\n« Search.htm » : 2 page(s)\n« Recherche.htm » : 2 page(s)\n");
    EXPECT_EQ(r.err, "");
    const QStringList recent = fileLines(site("Recent.htm"));
    ASSERT_GE(recent.size(), 18);
    EXPECT_EQ(recent[8], "<CENTER>Mis à jour le 9.3.26 à 10:00 (réf 7.3.26)</CENTER><BR>");
    EXPECT_EQ(recent.mid(13, 5), (QStringList{"<TR>", "<TD><A HREF=\"Dom/Cat/1.htm\">1</A></TD>",
                                              "<TD>Récente</TD>", "<TD>07.03.26</TD>", "</TR>"}));
    // The home page written at the end links to the lists; the window's own site keeps its flag.
    EXPECT_TRUE(fileLines(site("Index.htm")).contains("<BR><A HREF=\"Recent.htm\">Nouveautés</A></TD>"));
    EXPECT_TRUE(fileLines(site("Index.htm"))
                    .contains("<TD ALIGN=\"LEFT\" WIDTH=\"50%\"><FONT SIZE=\"1\"><BR>Mis à "
                              "jour le 9.3.26 à 10:00 par " +
                              UtilisateurNom() + ".</FONT></TD>"));
    EXPECT_EQ(ParamètreLire("Indexer"), "Non");
    // Without the full text, the search files stay as they were.
    const QByteArray index = readFile(site("recherche/index.js"));
    page(site, "Dom/Cat/3.htm", "Nouvelle", monday.addDays(-1));
    const CliResult plain =
        runCli({"indexer", "--maintenant", "2026-03-09 10:00", "--sans-texte", site.path()});
    EXPECT_EQ(plain.out, "« Recent.htm » : 2 page(s)\n« Search.htm » : 3 page(s)\n");
    EXPECT_EQ(readFile(site("recherche/index.js")), index);
}

TEST(ImagesCommand, WritesTheCategorysImageIndexAndItsNavigation) {
    TempDir site;
    page(site, "Dom/Cat/1.htm", "Une page", QDateTime::currentDateTime());
    for (const char* name : {"b.GIF", "a.jpeg", "notes.txt"})
        writeFile(site(QString("Dom/Cat/") + name), "x");
    const CliResult r = runCli({"images", "--maintenant", "2026-12-05 09:07", site.path(), "Dom", "Cat"});
    ASSERT_EQ(r.code, 0) << r.err;
    // The window's closing message, then the command's own summary line.
    EXPECT_EQ(r.out, "Index des images de la catégorie « Cat » écrit (2 images) :\n" +
                         site("Dom/Cat/ImgIndex.htm") + "\n" + site("Dom/Cat/ImgIndex.htm") +
                         " : 2 image(s)\n");
    const QStringList lines = fileLines(site("Dom/Cat/ImgIndex.htm"));
    ASSERT_EQ(lines.size(), 28);
    EXPECT_EQ(lines[9], "<TD>a.jpeg</TD>");
    EXPECT_EQ(lines[13], "<TD>b.GIF</TD>");
    EXPECT_EQ(lines[21],
              "<TD><FONT SIZE=\"1\">Mis à jour le 5.12.26 à 9:07 par " + UtilisateurNom() + ".</FONT></TD>");
    EXPECT_EQ(lines[22], "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index Cat</A></TD>");
    // The category's navigation page, written at the end, lists the new page.
    EXPECT_TRUE(fileLines(site("Dom/Cat/IndexG.htm")).join('\n').contains("Index des images"));
}
