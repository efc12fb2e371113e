#include "testutil.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>

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

TEST(ReplaceCommand, AnUnreadableFileDoesNotStopTheOthers) {
    TempDir dir;
    writeFile(dir("a.htm"), "x");
    const CliResult missing =
        runCli({"remplacer", "--chercher", "x", "--par", "y", dir("missing.htm"), dir("a.htm")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(dir("missing.htm"))) << missing.err;
    EXPECT_EQ(missing.out, QStringLiteral("1 chaîne(s) remplacée(s) dans 1 fichier(s)\n"));
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("y"));
}

TEST(ReplaceCommand, PreviewWritesNothingAndUndoPutsTheFilesBack) {
    TempDir dir;
    const QString a = dir("a.htm");
    writeFile(a, "one\r\nold two\r\n");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    setModified(a, old);
    const CliResult preview = runCli({"remplacer", "--chercher", "old", "--par", "new", "--apercu", a});
    EXPECT_EQ(preview.code, 0) << preview.err;
    EXPECT_EQ(preview.out,
              QStringLiteral("--- %1\n+++ %1\n@@ -2 +2 @@\n-old two\n+new two\nAperçu : 1 chaîne(s) à "
                             "remplacer dans 1 fichier(s) ; aucun fichier n'a été modifié.\n")
                  .arg(a));
    EXPECT_EQ(readFile(a), QByteArray("one\r\nold two\r\n"));
    EXPECT_EQ(QFileInfo(a).lastModified(), old);

    EXPECT_EQ(runCli({"remplacer", "--chercher", "old", "--par", "new", a}).code, 0);
    EXPECT_EQ(readFile(a), QByteArray("one\r\nnew two\r\n"));
    const CliResult undo = runCli({"remplacer", "--annuler"});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_TRUE(undo.out.endsWith(QStringLiteral(" annulé : 1 fichier(s) rétabli(s).\n"))) << undo.out;
    EXPECT_EQ(readFile(a), QByteArray("one\r\nold two\r\n"));
    EXPECT_EQ(QFileInfo(a).lastModified(), old);
    EXPECT_EQ(runCli({"remplacer", "--annuler", a}).code, 2);
}

TEST(ImportCommand, WritesViewerPages) {
    TempDir dir;
    writeFile(dir("Word/a.b.doc"), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    writeFile(dir("Word/1.htm"), "<HTML>page</HTML>");
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
    // A page of the user is never turned into a viewer page of itself.
    const CliResult self =
        runCli({"importer-word", "--source", dir("Word"), "--destination", dir("Word"), "1.htm"});
    EXPECT_EQ(self.code, 1);
    EXPECT_TRUE(self.err.contains(dir("Word/1.htm"))) << self.err;
    EXPECT_EQ(readFile(dir("Word/1.htm")), QByteArray("<HTML>page</HTML>"));
}
