#include "scripteddialogs.h"
#include "tablefile.h"
#include "testutil.h"
#include "tools/wordimport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

const QString kId = QStringLiteral("(quillsite v9.8.7)");
const QByteArray kOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest of a Word document");

// The viewer page as it must be written, byte for byte.
QByteArray expectedPage(const QString& base, const QString& src) {
    return dataFile(QStringLiteral("tools/viewer.htm"), {{"BASE", base}, {"SRC", src}});
}

} // namespace

TEST(WordImport, RelativePathsNamesAndReferences) {
    for (const DataRow& r : tableRows(QStringLiteral("tools/word-paths.txt"))) {
        SCOPED_TRACE(r.where);
        if (r.text(0) == u"relative") {
            const std::optional<QString> got = CheminRelatif(r.text(1), r.text(2));
            EXPECT_EQ(got.value_or(QStringLiteral("-")), r.text(3));
        } else {
            EXPECT_EQ(r.text(0) == u"base" ? NomDeBase(r.text(1)) : RéférenceAbsolue(r.text(1)), r.text(2));
        }
    }
}

TEST(WordImport, PagesAreWrittenByteForByteAndOtherFilesGoToTheTrash) {
    TempDir dir;
    writeFile(dir("Word/rapport.doc"), kOle);
    writeFile(dir("Word/a.b.docx"), "PK\x03\x04zip");
    writeFile(dir("Word/Été.RTF"), "{\\rtf1 text}");
    makeDir(dir("Web/Docs"));
    writeFile(dir("Web/Docs/rapport.htm"), expectedPage("old", "elsewhere.doc")); // ours: replaced
    writeFile(dir("Web/Docs/a.b.htm"), "the user's own page");
    ScriptedDialogs d;
    const ImportOutcome o = ImporterWord(dir("Word"), dir("Web/Docs"),
                                         {"a.b.docx", "rapport.doc", QStringLiteral("Été.RTF")}, kId, d);
    EXPECT_EQ(o.written, 3);
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(readFile(dir("Web/Docs/rapport.htm")), expectedPage("rapport", "../../Word/rapport.doc"));
    EXPECT_EQ(readFile(dir("Web/Docs/a.b.htm")), expectedPage("a.b", "../../Word/a.b.docx"));
    // The document keeps its own name in the link, so that it is found on a case-sensitive disk.
    EXPECT_EQ(readFile(dir(QStringLiteral("Web/Docs/Été.htm"))),
              expectedPage(QStringLiteral("Été"), QStringLiteral("../../Word/Été.RTF")));
    EXPECT_EQ(readFile(trashFolder() + "/a.b.htm"), QByteArray("the user's own page"));
    EXPECT_EQ(d.messages(),
              QStringList{QStringLiteral("3 page(s) écrite(s) dans \"%1\".\r\n\r\nCes fichiers portaient "
                                         "déjà le nom d'une page sans être des pages visionneuses : ils "
                                         "sont dans la corbeille.\r\n%2")
                              .arg(dir("Web/Docs"), dir("Web/Docs/a.b.htm"))});
    EXPECT_EQ(d.statuses(), (QStringList{"a.b", "rapport", QStringLiteral("Été"), ""}));
    EXPECT_EQ(d.busyEntries(), 1);
    EXPECT_EQ(d.busyDepth(), 0);
}

TEST(WordImport, OnlyWordDocumentsGetAPage) {
    TempDir dir;
    writeFile(dir("s/1.htm"), "<HTML>the user's page</HTML>");
    writeFile(dir("s/fake.doc"), "MZ not a document");
    writeFile(dir("s/zip.doc"), "PK\x03\x04");
    writeFile(dir("s/a.doc"), kOle);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("s/fifo.doc")).constData(), 0600), 0);
    ScriptedDialogs d;
    const ImportOutcome o =
        ImporterWord(dir("s"), dir("s"), {"1.htm", "fake.doc", "zip.doc", "fifo.doc", "a.doc"}, kId, d);
    EXPECT_EQ(o.written, 1);
    EXPECT_EQ(readFile(dir("s/1.htm")), QByteArray("<HTML>the user's page</HTML>"));
    EXPECT_EQ(readFile(dir("s/a.htm")), expectedPage("a", "a.doc"));
    ASSERT_EQ(d.log().size(), 2);
    EXPECT_EQ(d.log()[0],
              QStringLiteral("message(!): Ces fichiers ne sont pas des documents Word (.doc, .docx ou "
                             ".rtf) : aucune page n'est faite pour eux.\r\n%1\r\n%2\r\n%3\r\n%4")
                  .arg(dir("s/1.htm"), dir("s/fake.doc"), dir("s/zip.doc"), dir("s/fifo.doc")));
}

TEST(WordImport, RelativePathsBetweenTheRealFolders) {
    TempDir dir;
    writeFile(dir("Word/a.doc"), kOle);
    makeDir(dir("Word/Out"));
    makeDir(dir("site/docs"));
    // The destination is reached through a link that lives elsewhere.
    ASSERT_TRUE(QFile::link(dir("site/docs"), dir("Word/Out/lien")));
    ScriptedDialogs d;
    ImporterWord(dir("Word/"), dir("Word/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/a.htm")), expectedPage("a", "a.doc"));
    ImporterWord(dir("Word/"), dir("Word/Out/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/Out/a.htm")), expectedPage("a", "../a.doc"));
    ImporterWord(dir("Word/"), dir("Word/Out/lien"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("site/docs/a.htm")), expectedPage("a", "../../Word/a.doc"));
}
