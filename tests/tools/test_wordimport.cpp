#include "scripteddialogs.h"
#include "testutil.h"
#include "tools/wordimport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

using namespace qs;
using namespace qs::test;

namespace {

const QString kId = QStringLiteral("(quillsite v9.8.7)");

// The viewer page as it must be written, byte for byte.
QByteArray expectedPage(const QString& base, const QString& src) {
    return crlf({
        "<HTML>",
        "<HEAD>",
        "<TITLE>" + base + "</TITLE>",
        "</HEAD>",
        "<BODY BGCOLOR=\"#C1FFE8\" TOPMARGIN=\"0\">",
        "<FONT SIZE=\"1\">(quillsite v9.8.7)</FONT><BR>",
        "<CENTER><FONT SIZE=\"5\" COLOR=\"#FF0000\">" + base + "</FONT></CENTER>",
        "<FONT COLOR=\"#000000\">",
        "<!-- BEGIN -->",
        "<EMBED height=\"85%\" Width=\"100%\" SRC=\"" + src + "\">",
        "<!-- END -->",
        "<BR>",
        "</FONT>",
        "<TABLE WIDTH=\"100%\">",
        "<TR>",
        "<TD><FONT SIZE=\"1\"> </FONT></TD>",
        QStringLiteral("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index Catégorie</A></TD>"),
        QStringLiteral("<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page "
                       "précédente</A></TD>"),
        "</TR>",
        "</TABLE>",
        "</BODY>",
        "</HTML>",
    });
}

} // namespace

TEST(WordImport, RelativePathFolderByFolder) {
    struct Case {
        QString destination, source;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"C:/Word/", "C:/Word/", QString("")},
        {"C:/Web/Docs/", "C:/Word/", QString("../../Word/")},
        {"C:/Word/Out/", "C:/Word/", QString("../")},
        {"C:/Word/", "C:/Word/Docs/2024/", QString("Docs/2024/")},
        {"c:/Web", "C:/Web/Docs", QString("Docs/")}, // drive letters without regard to case
        {"/a/b/", "/a/bc/", QString("../bc/")},      // a folder is not cut in the middle
        {"/a/bc/", "/a/b/", QString("../b/")},
        {"/srv/web/", "/home/w/", QString("../../home/w/")},
        {"/a/./b/../c/", "/a/c/d/", QString("d/")},
        {"/", "/docs/", QString("docs/")},
        {"C:/Web/", "D:/Word/", std::nullopt},
        {"//server/share/web/", "//server/other/web/", std::nullopt},
        {"//server/share/web/", "//Server/Share/doc/", QString("../doc/")},
        {"/web/", "D:/Word/", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.destination + QStringLiteral(" <- ") + c.source).toStdString());
        EXPECT_EQ(CheminRelatif(c.destination, c.source), c.expected);
    }
}

TEST(WordImport, NamesAndAbsoluteReferences) {
    EXPECT_EQ(NomDeBase(QStringLiteral("a.b.doc")), QStringLiteral("a.b"));
    EXPECT_EQ(NomDeBase(QStringLiteral("rapport.doc")), QStringLiteral("rapport"));
    EXPECT_EQ(NomDeBase(QStringLiteral("sans")), QStringLiteral("sans"));
    EXPECT_EQ(RéférenceAbsolue(QStringLiteral("D:/Word/")), QStringLiteral("file:///D:/Word/"));
    EXPECT_EQ(RéférenceAbsolue(QStringLiteral("/srv/doc")), QStringLiteral("file:///srv/doc/"));
    EXPECT_EQ(RéférenceAbsolue(QStringLiteral("//server/share/doc/")),
              QStringLiteral("file://server/share/doc/"));
}

TEST(WordImport, PagesAreWrittenByteForByte) {
    TempDir dir;
    writeFile(dir("Word/rapport.doc"), "doc");
    writeFile(dir("Word/a.b.doc"), "doc");
    writeFile(dir("Word/Été.DOC"), "doc");
    makeDir(dir("Web/Docs"));
    writeFile(dir("Web/Docs/a.b.htm"), "an older page, replaced without a question");
    ScriptedDialogs d;
    const ImportOutcome o = ImporterWord(dir("Word"), dir("Web/Docs"),
                                         {"a.b.doc", "rapport.doc", QStringLiteral("Été.DOC")}, kId, d);
    EXPECT_EQ(o.written, 3);
    EXPECT_FALSE(o.absolute);
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_TRUE(d.calls().isEmpty());
    EXPECT_EQ(readFile(dir("Web/Docs/rapport.htm")), expectedPage("rapport", "../../Word/rapport.doc"));
    EXPECT_EQ(readFile(dir("Web/Docs/a.b.htm")), expectedPage("a.b", "../../Word/a.b.doc"));
    // The document keeps its own name in the link, so that it is found on a case-sensitive disk.
    EXPECT_EQ(readFile(dir(QStringLiteral("Web/Docs/Été.htm"))),
              expectedPage(QStringLiteral("Été"), QStringLiteral("../../Word/Été.DOC")));
    EXPECT_EQ(d.statuses(), (QStringList{"a.b", "rapport", QStringLiteral("Été"),
                                         QStringLiteral("Import terminé : 3 pages écrites dans %1.")
                                             .arg(QDir::toNativeSeparators(dir("Web/Docs")))}));
    EXPECT_EQ(d.busyEntries(), 1);
    EXPECT_EQ(d.busyDepth(), 0);
}

TEST(WordImport, SameFolderAndSubFolder) {
    TempDir dir;
    writeFile(dir("Word/a.doc"), "doc");
    makeDir(dir("Word/Out"));
    ScriptedDialogs d;
    ImporterWord(dir("Word/"), dir("Word/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/a.htm")), expectedPage("a", "a.doc"));
    ImporterWord(dir("Word/"), dir("Word/Out/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/Out/a.htm")), expectedPage("a", "../a.doc"));
    EXPECT_TRUE(d.calls().isEmpty());
}

TEST(WordImport, NoCommonRootGivesFullAddressesAndOneNotice) {
    TempDir dir;
    ScriptedDialogs d;
    makeDir(dir("out"));
    const ImportOutcome again =
        ImporterWord(QStringLiteral("Z:/Docs"), dir("out"), {"a.doc", "b.doc"}, kId, d);
    EXPECT_EQ(again.written, 2);
    EXPECT_TRUE(again.absolute);
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_EQ(d.messages()[0],
              QStringLiteral("Le dossier des documents \"Z:/Docs\" et le dossier de destination \"%1\" n'ont "
                             "pas de racine commune : les pages désigneront les documents par leur adresse "
                             "complète (file:///Z:/Docs/).")
                  .arg(dir("out")));
    EXPECT_EQ(d.calls()[0].icon, Icon::Information);
    EXPECT_EQ(readFile(dir("out/b.htm")), expectedPage("b", "file:///Z:/Docs/b.doc"));
}

TEST(WordImport, APageThatCannotBeWrittenStopsAndTheOthersStay) {
    TempDir dir;
    makeDir(dir("out/b.htm")); // a folder where the second page should go
    ScriptedDialogs d;
    const ImportOutcome o = ImporterWord(dir("in"), dir("out"), {"a.doc", "b.doc", "c.doc"}, kId, d);
    EXPECT_EQ(o.written, 1);
    ASSERT_EQ(d.messages().size(), 1);
    const QString message = d.messages()[0];
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : ").arg(dir("out/b.htm"))))
        << message;
    EXPECT_TRUE(message.endsWith(QStringLiteral("\r\n\r\nImport arrêté : 1 page(s) écrite(s) sur 3.")))
        << message;
    EXPECT_EQ(d.calls()[0].icon, Icon::Critical);
    EXPECT_EQ(readFile(dir("out/a.htm")), expectedPage("a", "../in/a.doc"));
    EXPECT_FALSE(QFileInfo::exists(dir("out/c.htm")));
    EXPECT_EQ(d.statuses().last(), QString());
}
