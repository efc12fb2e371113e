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

    EXPECT_EQ(readFile(s.at("Doc/Guide/1.htm")),
              dataFile("editor/category-page.htm", {{"ID", ProgrammeID()}}))
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
    mmod_Click(s.state, FolderCommand::NewIndependentFile);
    EXPECT_EQ(s.state.editTarget, EditTarget::SiteFolder);
    EXPECT_EQ(s.state.controls.tTitre, "Nouveau chapitre");
    type(s.state, "Accueil", "Bonjour");
    EXPECT_EQ(tOk_Click(s.state), s.at("1.htm"));
    EXPECT_EQ(readFile(s.at("1.htm")), dataFile("editor/independent-page.htm", {{"ID", ProgrammeID()}}))
        << s.lines("1.htm").join("\n").toStdString();
    EXPECT_EQ(s.state.editTarget, EditTarget::CategoryPage);

    // From the category menu: a new file in the domain's folder, after the one already there.
    ASSERT_TRUE(cListe_MouseUp(s.state, Qt::RightButton, s.state.cListe.find("Guide")));
    mod2_Click(s.state, FolderCommand::NewIndependentFile);
    EXPECT_EQ(s.state.editTarget, EditTarget::DomainFolder);
    type(s.state, "Annexe", "Texte");
    EXPECT_EQ(tOk_Click(s.state), s.at("Doc/2.htm"));
    EXPECT_EQ(s.lines("Doc/2.htm").value(2), "<TITLE>Annexe</TITLE>");
    // Neither file is a page of the category.
    EXPECT_EQ(s.state.tListe.count(), 0);
    EXPECT_FALSE(s.exists("Doc/Guide/1.htm"));
}

TEST(PageLoader, TakesWhatLiesBetweenTheMarkersInAnyCase) {
    const struct {
        QStringList lines;
        QString body;
    } cases[] = {
        {{"x<!-- begin -->a", "b<!-- End -->y"}, "a\r\nb"},
        {{"<HTML>", "<P>rien</P>"}, ""},
        {{"<!-- BEGIN -->debut", "milieu", "fin"}, "debut\r\nmilieu\r\nfin"},
        // Entities are the author's: documentation stays documentation. A later marker opens a piece.
        {{"<!-- BEGIN -->&LT;B&gt; &amp;<!-- END -->", "dehors", "<!-- BEGIN -->C<!-- END -->x"},
         "&LT;B&gt; &amp;\r\nC"},
        // A marker alone on its line adds no line break; the body's own empty lines stay.
        {{"<P>", "<!-- BEGIN -->", "T", "<!-- END -->", "</P>"}, "T"},
        {{"<!-- BEGIN -->", "", "T", "", "<!-- END -->"}, "\r\nT\r\n"},
        {{"<!-- BEGIN -->", "<!-- END -->"}, ""},
        // Only the references written for characters outside the code page become characters.
        {{"<!-- BEGIN -->x&#8594;y &#128512; &#233; &#08594; &#x2192;<!-- END -->"},
         "x\u2192y \U0001F600 &#233; &#08594; &#x2192;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pageBody(c.lines), c.body) << c.lines.join("|");
}

TEST(PageLoader, LoadingThenSavingWritesTheSameBytes) {
    PageSite s;
    s.folder("D/C");
    s.openCategory("D", "C");
    // What the user types comes back as typed, in the boxes and the list; the file holds entities and
    // references.
    const QString title = "A <b> & C \u2192 \U0001F600";
    const QString body = "\r\n&lt;B&gt; <B>gras</B>\r\nfl\u00e8che \u2192\r\n";
    tAjouter_Click(s.state);
    type(s.state, title, body);
    ASSERT_EQ(tOk_Click(s.state), s.at("D/C/1.htm"));
    const QByteArray first = readFile(s.at("D/C/1.htm"));
    EXPECT_TRUE(first.contains("<TITLE>A &lt;b&gt; &amp; C &#8594; &#128512;</TITLE>"))
        << first.toStdString();
    EXPECT_TRUE(first.contains("<!-- BEGIN -->\r\n\r\n&lt;B&gt; <B>gras</B>\r\nfl\xe8"
                               "che &#8594;\r\n\r\n<!-- END -->"));
    EXPECT_EQ(s.state.tListe.texts(), QStringList{title});
    EXPECT_EQ(s.state.controls.tTitre, title);
    EXPECT_EQ(s.state.controls.tTexte, body);

    for (int save = 0; save < 2; ++save) {
        tModifier_Click(s.state);
        tTexte_Change(s.state);
        ASSERT_EQ(tOk_Click(s.state), s.at("D/C/1.htm"));
        EXPECT_EQ(readFile(s.at("D/C/1.htm")), first) << save;
    }
    // The navigation shows the title escaped.
    EXPECT_EQ(s.navigation("D/C/"), QStringList{"1.htm|A &lt;b&gt; &amp; C &#8594; &#128512;"});
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
    // The body keeps its entities, the title is decoded; what follows "</BODY>" is dropped.
    const ImportedPage escaped =
        importedPage({"<title>A &amp; B &#8594;</title></head>&lt;P&GT;x</body>apres", "encore"});
    EXPECT_EQ(escaped.body, "&lt;P&GT;x");
    EXPECT_EQ(escaped.title, "A & B \u2192");
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
