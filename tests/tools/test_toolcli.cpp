#include "testutil.h"

#include <gtest/gtest.h>

using namespace qs::test;

TEST(ReplaceCommand, ReplacesAndPrintsTheWindowsMessage) {
    TempDir dir;
    writeFile(dir("a.htm"), "Old old\r\n");
    writeFile(dir("b.htm"), "nothing\r\n");
    const CliResult r =
        runCli({"remplacer", "--chercher", "OLD", "--par", "new", dir("a.htm"), dir("b.htm")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, QStringLiteral("2 chaîne(s) remplacée(s) dans 1 fichier(s)\n"));
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("new new\r\n"));

    const CliResult exact = runCli({"remplacer", "--chercher", "NEW", "--par", "", "--casse", dir("a.htm")});
    EXPECT_EQ(exact.code, 0) << exact.err;
    EXPECT_EQ(exact.out, QStringLiteral("Aucun remplacement effectué.\n"));
}

TEST(ReplaceCommand, UsageErrorsAndUnreadableFiles) {
    TempDir dir;
    writeFile(dir("a.htm"), "x");
    EXPECT_EQ(runCli({"remplacer", "--par", "y", dir("a.htm")}).code, 2);
    EXPECT_EQ(runCli({"remplacer", "--chercher", "", "--par", "y", dir("a.htm")}).code, 2);
    EXPECT_EQ(runCli({"remplacer", "--chercher", "x", "--par", "y"}).code, 2);
    const CliResult missing =
        runCli({"remplacer", "--chercher", "x", "--par", "y", dir("missing.htm"), dir("a.htm")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(dir("missing.htm"))) << missing.err;
    EXPECT_EQ(missing.out, QStringLiteral("1 chaîne(s) remplacée(s) dans 1 fichier(s)\n"));
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("y"));
}

TEST(ImportCommand, WritesViewerPages) {
    TempDir dir;
    writeFile(dir("Word/a.b.doc"), "doc");
    makeDir(dir("Web/Docs"));
    const CliResult r =
        runCli({"importer-word", "--source", dir("Word"), "--destination", dir("Web/Docs"), "a.b.doc"});
    EXPECT_EQ(r.code, 0) << r.err;
    const QByteArray page = readFile(dir("Web/Docs/a.b.htm"));
    EXPECT_TRUE(page.contains("<TITLE>a.b</TITLE>\r\n"));
    EXPECT_TRUE(page.contains("SRC=\"../../Word/a.b.doc\">\r\n"));

    const CliResult elsewhere =
        runCli({"importer-word", "--source", dir("Word"), "--destination", dir("Web"), dir("Web/x.doc")});
    EXPECT_EQ(elsewhere.code, 1);
    EXPECT_EQ(runCli({"importer-word", "--source", dir("Word"), "a.b.doc"}).code, 2);
}
