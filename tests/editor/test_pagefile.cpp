// The page file: what OK writes for a page of a category and for an independent file, byte for byte, and
// what the loader and the importer read back.
#include "commands/commands.h"
#include "commands/pageeditor.h"
#include "editor/pagefile.h"

#include "pagesite.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

// The foot shared by both kinds of page, from the end marker on; `link` is the middle cell.
QStringList foot(const QString& link) {
    return {"<!-- END -->",
            "</P><BR>",
            "</FONT>",
            "<HR>",
            "<TABLE WIDTH=\"100%\">",
            "<TR>",
            "<TD><FONT SIZE=\"1\">Mis à jour le 5.12.26 à 9:07 par marie.</FONT></TD>",
            link,
            "<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page précédente</A></TD>",
            "</TR>",
            "</TABLE>",
            "</BODY>",
            "</HTML>"};
}

void type(MainState& state, const QString& title, const QString& body) {
    state.controls.tTitre = title;
    state.controls.tTexte = body;
    tTexte_Change(state);
}

} // namespace

TEST(PageFileFormat, PageOfACategoryByteForByte) {
    PageSite s;
    s.folder("Doc/Guide");
    s.open();
    s.clickDomain("Doc");
    s.clickCategory("Guide");
    tAjouter_Click(s.state);
    type(s.state, "  Mode d'emploi ", "<B>Café</B> & co\r\nsuite → fin");
    ASSERT_TRUE(s.state.controls.tOkEnabled);
    EXPECT_EQ(tOk_Click(s.state), s.at("Doc/Guide/1.htm"));

    QStringList expected = {
        "<HTML>",
        "<HEAD>",
        "<TITLE>Mode d'emploi</TITLE>",
        "</HEAD>",
        "<BODY BGCOLOR=\"#F0F0FF\" TOPMARGIN=\"0\">",
        "<FONT SIZE=\"1\">" + ProgrammeID() + "</FONT><BR>",
        "<CENTER><FONT SIZE=\"5\" COLOR=\"#509000\">  Mode d'emploi </FONT></CENTER>",
        "<HR>",
        "<BR><P ALIGN=\"JUSTIFY\">",
        "<!-- BEGIN -->",
        "<B>Café</B> & co",
        "suite → fin",
    };
    expected += foot("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index Guide</A></TD>");
    EXPECT_EQ(readFile(s.at("Doc/Guide/1.htm")), crlf(expected))
        << s.lines("Doc/Guide/1.htm").join("\n").toStdString();
    // The arrow has no byte of its own in Windows-1252: it is written as a character reference.
    EXPECT_TRUE(readFile(s.at("Doc/Guide/1.htm")).contains("suite &#8594; fin\r\n"));
}

TEST(PageFileFormat, IndependentFilesByteForByteAndWhereTheyGo) {
    PageSite s;
    s.folder("Doc/Guide");
    s.page("Doc/1.htm", "déjà là");
    s.open();
    s.clickDomain("Doc");
    s.clickCategory("Guide");
    s.state.values.CouleurFond = "112233";
    s.state.values.CouleurTitre = "445566";
    s.state.values.CouleurTexte = "778899";

    // From the domain menu: a new file in the site folder.
    ASSERT_TRUE(dListe_MouseUp(s.state, Qt::RightButton, s.state.dListe.find("Doc")));
    mmod_Click(s.state, 3);
    EXPECT_EQ(s.state.editTarget, "dom");
    EXPECT_EQ(s.state.controls.tTitre, "Nouveau chapitre");
    type(s.state, "Accueil", "Bonjour");
    EXPECT_EQ(tOk_Click(s.state), s.at("1.htm"));
    QStringList expected = {
        "<HTML>",
        "<HEAD>",
        "<TITLE>Accueil</TITLE>",
        "<BODY BGCOLOR=\"#112233\" TOPMARGIN=\"0\">",
        "<FONT SIZE=\"1\">" + ProgrammeID() + "</FONT><BR>",
        "<CENTER><FONT SIZE=\"5\" COLOR=\"#445566\">Accueil</FONT></CENTER>",
        "</HEAD>",
        "<HR>",
        "<FONT COLOR=\"#778899\">",
        "<BR><P ALIGN=\"JUSTIFY\">",
        "<!-- BEGIN -->",
        "Bonjour",
    };
    expected += foot("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Page d'accueil</A></TD>");
    EXPECT_EQ(readFile(s.at("1.htm")), crlf(expected)) << s.lines("1.htm").join("\n").toStdString();
    EXPECT_EQ(s.state.editTarget, "");

    // From the category menu: a new file in the domain's folder, after the one already there.
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, s.state.cListe.find("Guide")));
    mod2_Click(s.state, 3);
    EXPECT_EQ(s.state.editTarget, "cat");
    type(s.state, "Annexe", "Texte");
    EXPECT_EQ(tOk_Click(s.state), s.at("Doc/2.htm"));
    EXPECT_EQ(s.lines("Doc/2.htm").value(2), "<TITLE>Annexe</TITLE>");
    // Neither file is a page of the category.
    EXPECT_EQ(s.state.tListe.count(), 0);
    EXPECT_FALSE(s.exists("Doc/Guide/1.htm"));
}

TEST(PageLoader, TakesWhatLiesBetweenTheMarkersInAnyCase) {
    EXPECT_EQ(pageBody({"x<!-- begin -->a", "b<!-- End -->y"}), "a\r\nb");
    EXPECT_EQ(pageBody({"<HTML>", "<P>rien</P>"}), "");
    EXPECT_EQ(pageBody({"<!-- BEGIN -->debut", "milieu", "fin"}), "debut\r\nmilieu\r\nfin");
    EXPECT_EQ(pageBody({"<!-- BEGIN -->&LT;B&gt;<!-- END -->"}), "<B>");
    // Only "&lt;" and "&gt;" are decoded; a later start marker opens a further piece.
    EXPECT_EQ(pageBody({"<!-- BEGIN -->A &amp; B<!-- END -->", "dehors", "<!-- BEGIN -->C<!-- END -->x"}),
              "A &amp; B\r\nC");
    // What the editor writes for a body comes back with a line break on either side.
    EXPECT_EQ(pageBody({"<P>", "<!-- BEGIN -->", "T", "<!-- END -->", "</P>"}), "\r\nT\r\n");
}

TEST(PageLoader, EachSaveAndLoadAddsOneLineBreakPairAroundTheBody) {
    PageSite s;
    s.folder("D/C");
    s.openCategory("D", "C");
    tAjouter_Click(s.state);
    type(s.state, "Titre", "&lt;B&gt;");
    tOk_Click(s.state);
    // The saved page is reloaded through the list: the entity came back as the character.
    EXPECT_EQ(s.state.controls.tTexte, "\r\n<B>\r\n");
    EXPECT_EQ(s.lines("D/C/1.htm").mid(9, 3), (QStringList{"<!-- BEGIN -->", "&lt;B&gt;", "<!-- END -->"}));

    // Saved as loaded, the body is written back unchanged, "<B>" included, between its line breaks.
    tModifier_Click(s.state);
    tTexte_Change(s.state);
    tOk_Click(s.state);
    EXPECT_EQ(s.lines("D/C/1.htm").mid(9, 5), (QStringList{"<!-- BEGIN -->", "", "<B>", "", "<!-- END -->"}));
    EXPECT_EQ(s.state.controls.tTexte, "\r\n\r\n<B>\r\n\r\n");
    EXPECT_EQ(s.listing(), QStringList{"Titre=1.htm"});
}

TEST(PageImport, TitleAndBodyOfAnHtmlFile) {
    const ImportedPage notes = importedPage(
        {"<HTML><HEAD><TITLE>Notes</TITLE></HEAD>", "<BODY BGCOLOR=\"#FFFFFF\">", "Hello", "</BODY>"});
    EXPECT_EQ(notes.title, "Notes");
    EXPECT_EQ(notes.body, "\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\nHello\r\n");

    // A title over two lines is joined without a blank; blank lines before it are skipped.
    EXPECT_EQ(importedPage({"   ", "<html><head><title>  Mode", "  Notice </title></head>"}).title,
              "ModeNotice");
    // A text file has neither head nor title.
    const ImportedPage text = importedPage({"Bonjour", "", "la suite"});
    EXPECT_EQ(text.title, "");
    EXPECT_EQ(text.body, "");
    // Entities of the body in any case; what follows "</BODY>" is dropped.
    EXPECT_EQ(importedPage({"</head>&lt;P&GT;x</body>apres", "encore"}).body, "<P>x");
}

TEST(NewPageName, SmallestFreeNumberWhateverTheCase) {
    TempDir dir;
    EXPECT_EQ(freePageName(dir.path()), "1.htm");
    writeFile(dir("1.htm"), "x");
    writeFile(dir("3.htm"), "x");
    EXPECT_EQ(freePageName(dir.path()), "2.htm");
    writeFile(dir("2.HTM"), "x");
    makeDir(dir("4.htm"));
    EXPECT_EQ(freePageName(dir.path()), "5.htm");
}
