#include "lib/files.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

using namespace qs;
using namespace qs::test;

TEST(FileTests, FilesFoldersPathsAndLineBreaks) {
    TempDir dir;
    writeFile(dir("a.htm"), "x");
    EXPECT_TRUE(FichierExiste(dir("a.htm")));
    for (const QString& notAFile : {dir.path(), dir("missing.htm"), QString()})
        EXPECT_FALSE(FichierExiste(notAFile)) << notAFile;
    EXPECT_TRUE(DossierExiste(dir.path()) && DossierExiste(withoutSeparator(dir.path())));
    EXPECT_FALSE(DossierExiste(dir("a.htm")) || DossierExiste(dir("nope/")));
    DossierCréer(QStringLiteral("  ") + dir("x/y/z/") + QStringLiteral(" ")); // every missing parent
    EXPECT_TRUE(DossierExiste(dir("x/y/z")));
    DossierCréer(QString()); // nothing to do, no crash

    // Line-break counts are clamped.
    EXPECT_EQ(CrLf() + CrLf(0) + CrLf(-3) + CrLf(QStringLiteral("abc")), QStringLiteral("\r\n").repeated(4));
    EXPECT_EQ(CrLf(2), QStringLiteral("\r\n\r\n"));
    EXPECT_EQ(CrLf(250).size(), 200);

    const std::pair<QString, QString> splits[] = {
        {FichierRépertoire(QStringLiteral("/site/Index.htm")), "/site"},
        {FichierRépertoire(QStringLiteral("Index.htm")), ""},
        {FichierNom(QStringLiteral("/site/Index.htm")), "Index.htm"},
        {FichierNom(QStringLiteral("Index.htm")), "Index.htm"},
        {FichierNom(QStringLiteral("/site/")), ""},
        {FichierExtension(QStringLiteral("/a.b/page")), ""},
        {FichierExtension(QStringLiteral("page.old.htm")), ".htm"},
        {withSeparator(QStringLiteral("/a")), "/a/"},
        {withSeparator(QStringLiteral("/a/")), "/a/"},
    };
    for (const auto& [got, expected] : splits)
        EXPECT_EQ(got, expected);
}

namespace {
QStringList treeOf(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(QDir(root).relativeFilePath(it.next()));
    out.sort();
    return out;
}
} // namespace

TEST(FolderCopy, ToAMissingFolderTheCopyIsItToAnExistingOneItGoesUnderTheSourceName) {
    TempDir dir;
    writeFile(dir("A/1.htm"), "un");
    writeFile(dir("A/.hidden"), "h");
    writeFile(dir("A/sub/2.htm"), "deux");
    writeFile(dir("A/.svn/x"), "hidden folders go along");
    ScriptedDialogs d;
    EXPECT_EQ(DossierCopier(dir("A"), dir("B"), d), 4);
    EXPECT_EQ(treeOf(dir("B")), (QStringList{".hidden", ".svn", ".svn/x", "1.htm", "sub", "sub/2.htm"}));
    EXPECT_EQ(readFile(dir("B/sub/2.htm")), QByteArray("deux"));
    EXPECT_TRUE(d.calls().isEmpty());
    EXPECT_EQ(d.busyDepth(), 0);

    EXPECT_EQ(DossierCopier(dir("A/"), dir("B/"), d), 4);
    EXPECT_TRUE(FichierExiste(dir("B/A/sub/2.htm")));
    // Again: the sub-folder exists now, so the user is asked.
    d.no();
    EXPECT_EQ(DossierCopier(dir("A"), dir("B"), d), 0);
    EXPECT_EQ(d.log(), QStringList{"question(?): Le dossier \"" + dir("B/A/") +
                                   "\" existe déjà !\r\n\r\nSouhaitez-vous tout de même faire la copie ?"});
    d.yes();
    EXPECT_EQ(DossierCopier(dir("A"), dir("B"), d), 4);
}

TEST(FolderCopy, AMissingSourceOrItsOwnSubFolderIsRefusedAndLinksAreNotFollowed) {
    TempDir dir;
    writeFile(dir("A/1.htm"), "un");
    makeDir(dir("A/sub"));
    ScriptedDialogs d;
    EXPECT_EQ(DossierCopier(dir("nope"), dir("B"), d), 0);
    EXPECT_FALSE(DossierExiste(dir("B")));
    for (const char* into : {"A/sub", "A/new/deeper", "A"})
        EXPECT_EQ(DossierCopier(dir("A"), dir(into), d), 0) << into;
    ASSERT_EQ(d.messages().size(), 4);
    EXPECT_EQ(d.messages()[0], QStringLiteral("Je ne trouve pas le dossier \"%1\" !").arg(dir("nope")));
    EXPECT_TRUE(
        d.messages()[1].startsWith(QStringLiteral("Je ne peux pas copier le dossier \"%1\"").arg(dir("A/"))));
    EXPECT_EQ(treeOf(dir("A")), (QStringList{"1.htm", "sub"}));

    QDir(dir("A/sub")).removeRecursively();
    ASSERT_TRUE(QFile::link(dir("A"), dir("A/loop")));
    EXPECT_EQ(DossierCopier(dir("A"), dir("B"), d), 1);
    EXPECT_EQ(treeOf(dir("B")), QStringList{"1.htm"});
}

TEST(FolderCopy, AFileThatCannotBeCopiedIsReportedAndSkipped) {
    TempDir dir;
    writeFile(dir("A/1.htm"), "un");
    writeFile(dir("A/2.htm"), "deux");
    writeFile(dir("A/3.htm"), "trois");
    makeDir(dir("B/2.htm/inner")); // a folder in the way of one file
    writeFile(dir("B/2.htm/inner/x"), "x");
    ScriptedDialogs d;
    EXPECT_EQ(ArborescenceCopier(dir("A"), dir("B"), d), 2);
    ASSERT_EQ(d.log().size(), 1);
    EXPECT_TRUE(d.log()[0].startsWith(
        QStringLiteral("message(!) Erreur de copie: Copie de\r\n%1\r\nvers\r\n%2\r\n\r\n=> ")
            .arg(dir("A/2.htm"), dir("B/2.htm"))))
        << d.log()[0];
    EXPECT_EQ(readFile(dir("B/3.htm")), QByteArray("trois"));
}

TEST(FolderRemoval, FilesGoToTheTrashDotEntriesStayAndTheParentWithThem) {
    TempDir dir;
    writeFile(dir("A/1.htm"), "un");
    writeFile(dir("A/sub/2.htm"), "deux");
    QFile::setPermissions(dir("A/1.htm"), QFile::ReadOwner);
    EXPECT_TRUE(DossierSupprimer(dir("A")));
    EXPECT_FALSE(DossierExiste(dir("A")));
    const QString trash = trashFolder();
    EXPECT_TRUE(QDir(trash).entryList().contains(QStringLiteral("1.htm"))) << trash.toStdString();
    EXPECT_TRUE(trash.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));

    writeFile(dir("K/1.htm"), "un");
    writeFile(dir("K/.keep"), "k");
    EXPECT_FALSE(DossierSupprimer(dir("K")));
    EXPECT_EQ(treeOf(dir("K")), QStringList{".keep"});
    EXPECT_FALSE(DossierSupprimer(dir("missing")));
}
