// The regeneration chain over a site on disk: which files each step writes, with what, and what it empties.
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "lib/helpers.h"
#include "site/listing.h"

#include "sitefixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

using namespace qs;
using namespace qs::test;

TEST(Enregistrer, WritesTheTwoHomePagesByteForByte) {
    SiteFixture s;
    s.folder("Aéro & <Co>/C"); // names go into the page as they are
    s.folder("beta/C");
    writeFile(s.at("head_d.txt"), "<P>A</P>\r\nB"); // no final line end: read the same
    writeFile(s.at("foot_d.txt"), "");
    ParamètreEcrire(QStringLiteral("Indexer"), QStringLiteral("Oui"));
    s.state.values.CouleurFond = QStringLiteral("123456");
    s.state.values.CouleurTitre = QStringLiteral("ABCDEF");
    domainesInit(s.state);
    Enregistrer(s.state);

    const QByteArray expected = dataFile("commands/home.htm", {{"ID", ProgrammeID()}});
    EXPECT_EQ(readFile(s.at("Index.html")), expected);
    EXPECT_EQ(readFile(s.at("Index.htm")), expected);
    EXPECT_TRUE(readFile(s.at("Index.htm")).contains("A\xE9ro & <Co>/Index.htm")); // Windows-1252
    EXPECT_TRUE(s.dialogs.messages().isEmpty());
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

TEST(DEnregistrer, WritesTheCategoryThenTheDomainOnceAndEmptiesBoth) {
    SiteFixture s;
    s.page("D/C/1.htm", "Un");
    s.folder("D/B");
    domainesInit(s.state);
    s.clickDomain("D");
    s.clickCategory("C");
    dEnregistrer(s.state);
    EXPECT_TRUE(s.state.currentDomain.isEmpty());
    EXPECT_TRUE(s.state.currentCategory.isEmpty());
    EXPECT_TRUE(s.exists("D/C/Index.htm"));
    EXPECT_TRUE(s.exists("D/C/IndexG.htm"));
    const QStringList index = s.lines("D/Index.htm");
    EXPECT_EQ(index.mid(11, 2),
              (QStringList{"<A HREF=\"B/Index.htm\">B</A><BR>", "<A HREF=\"C/Index.htm\">C</A><BR>"}));
    // Without fragment files the fragment lines are empty.
    EXPECT_EQ(index[8], QString());
    EXPECT_EQ(index[15], QString());

    s.remove("D/Index.htm");
    s.remove("D/C/Index.htm");
    dEnregistrer(s.state);
    EXPECT_FALSE(s.exists("D/Index.htm"));
    EXPECT_FALSE(s.exists("D/C/Index.htm"));
}

TEST(CEnregistrer, TheRightFrameOpensTheIntroductionOrTheFirstPage) {
    SiteFixture s;
    s.page("D/Avec/1.htm", "Zoo");
    s.page("D/Avec/2.htm", "abeille");
    writeFile(s.at("D/Avec/index.HTML"), "intro");
    s.page("D/Sans/1.htm", "Zoo");
    s.page("D/Sans/2.htm", "abeille");
    writeFile(s.at("D/Vide/Index.html"), "intro");
    s.state.values.CouleurTexte = QStringLiteral("0000FF");
    domainesInit(s.state);
    s.clickDomain("D");
    for (const char* c : {"Avec", "Sans", "Vide"}) {
        s.clickCategory(QString::fromUtf8(c));
        cEnregistrer(s.state);
    }
    auto right = [&](const QString& c) { return s.lines("D/" + c + "/Index.htm").at(7); };
    EXPECT_EQ(
        right("Avec"),
        QStringLiteral("<frame NAME=\"Right\" src=\"index.HTML\" marginheight = \"0\" marginwidth = \"0\">"));
    EXPECT_EQ(
        right("Sans"),
        QStringLiteral("<frame NAME=\"Right\" src=\"2.htm\" marginheight = \"0\" marginwidth = \"0\">"));
    EXPECT_EQ(
        right("Vide"),
        QStringLiteral("<frame NAME=\"Right\" src=\"IndexG.htm\" marginheight = \"0\" marginwidth = \"0\">"));
    EXPECT_EQ(
        s.lines("D/Sans/IndexG.htm").mid(5, 1),
        QStringList{"<BODY BACKGROUND=\"../../images/chapitre.gif\" BGCOLOR=\"#0000FF\" TEXT=\"#FFFFFF\" "
                    "LINK=\"#FFFF99\" VLINK=\"#FFCCFF\" TOPMARGIN=\"0\">"});
    EXPECT_EQ(s.lines("D/Sans/IndexG.htm").mid(10, 2),
              (QStringList{"<A HREF=\"2.htm\" TARGET=\"Right\">- abeille</A><BR>",
                           "<A HREF=\"1.htm\" TARGET=\"Right\">- Zoo</A><BR>"}));
    EXPECT_EQ(introductionPage(s.at("D/Sans/")), QString());
}

TEST(CEnregistrer, AFileThatCannotBeWrittenIsReportedAndKeepsThePreviousPage) {
    SiteFixture s;
    s.page("D/C/1.htm", "Un");
    const QByteArray previous = "<FONT SIZE=\"1\">(quillsite v0.0.1)</FONT><BR>";
    writeFile(s.at("D/C/Index.htm"), previous);
    domainesInit(s.state);
    s.clickDomain("D");
    s.clickCategory("C");
    ReadOnlyFolder locked(s.at("D/C"));
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    cEnregistrer(s.state);
    // Each page is tried, and each failure names its file.
    const QStringList messages = s.dialogs.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith("Je ne peux pas écrire le fichier \"" + s.at("D/C/Index.htm") + "\""))
        << messages[0];
    EXPECT_TRUE(
        messages[1].startsWith("Je ne peux pas écrire le fichier \"" + s.at("D/C/IndexG.htm") + "\""));
    EXPECT_EQ(s.dialogs.calls().last().icon, Icon::Exclamation);
    EXPECT_EQ(readFile(s.at("D/C/Index.htm")), previous);
    EXPECT_TRUE(s.state.currentCategory.isEmpty());
}

TEST(DEnregistrer, AnUnreadableFragmentKeepsThePreviousDomainPage) {
    SiteFixture s;
    s.folder("D/C");
    s.folder("head_c.txt"); // exists, cannot be read as a file
    writeFile(s.at("D/Index.htm"), "ancien");
    domainesInit(s.state);
    s.clickDomain("D");
    dEnregistrer(s.state);
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(s.dialogs.messages()[0].contains(s.at("head_c.txt"))) << s.dialogs.messages()[0];
    EXPECT_EQ(readFile(s.at("D/Index.htm")), QByteArray("ancien"));
    EXPECT_TRUE(s.state.currentDomain.isEmpty());
}

TEST(Enregistrer, OnlyPagesTheProgramWroteAreReplacedTheOthersGoToTheTrashFirst) {
    const QString trashRoot =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    QDir(trashRoot).removeRecursively(); // names already there would be given a suffix
    SiteFixture s;
    s.folder("D/C");
    writeFile(s.at("Index.html"), "<HTML>la page du propriétaire</HTML>");
    writeFile(s.at("Index.htm"), "<FONT SIZE=\"1\">(quillsite v0.0.1)</FONT><BR>");
    writeFile(s.at("D/Index.htm"), "<HTML>perso</HTML>");
    domainesInit(s.state);
    s.clickDomain("D");
    s.clickCategory("C");
    Enregistrer(s.state);
    // One message for the whole regeneration, naming every file put in the trash, and those only.
    EXPECT_EQ(s.dialogs.messages(),
              QStringList{"Ces fichiers n'avaient pas été écrits par Quillsite : ils ont été mis à la "
                          "corbeille et remplacés par les pages du site.\r\n\r\n" +
                          s.at("D/Index.htm") + "\r\n" + s.at("Index.html")});
    const QString trash = trashRoot + "/files/";
    EXPECT_EQ(readFile(trash + "Index.html"), "<HTML>la page du propriétaire</HTML>");
    EXPECT_EQ(readFile(trash + "Index.htm"), "<HTML>perso</HTML>");
    EXPECT_EQ(readFile(s.at("Index.html")), readFile(s.at("Index.htm")));
    s.dialogs.clear();
    s.clickDomain("D");
    Enregistrer(s.state);
    EXPECT_EQ(s.dialogs.messages(), QStringList{});
}
