// Writing a generated page: whole or not at all, Windows-1252, and unchanged pages left alone.
#include "generate/pagewriter.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qs;
using namespace qs::test;

TEST(WritePage, LinesInWindows1252WithCrLf) {
    TempDir dir;
    // ASCII, Latin-1, the bytes where Windows-1252 differs from Latin-1, and beyond it.
    const QStringList lines = {"<HTML>", "Été à Noël", "€ Œuvre “guillemets”", "→", ""};
    ASSERT_TRUE(writePage(dir("p.htm"), lines));
    EXPECT_EQ(readFile(dir("p.htm")), QByteArray("<HTML>\r\n\xC9t\xE9 \xE0 No\xEBl\r\n\x80 \x8C"
                                                 "uvre \x93guillemets\x94\r\n&#8594;\r\n\r\n"));
}

TEST(WritePage, AnUnchangedPageIsNotRewritten) {
    TempDir dir;
    const QStringList lines = {"a", "b"};
    ASSERT_TRUE(writePage(dir("p.htm"), lines));
    const QDateTime past(QDate(2020, 1, 2), QTime(3, 4));
    setModified(dir("p.htm"), past);
    ASSERT_TRUE(writePage(dir("p.htm"), lines));
    EXPECT_EQ(QFileInfo(dir("p.htm")).lastModified(), past);
    ASSERT_TRUE(writePage(dir("p.htm"), {"a", "c"}));
    EXPECT_NE(QFileInfo(dir("p.htm")).lastModified(), past);
    EXPECT_EQ(readFile(dir("p.htm")), QByteArray("a\r\nc\r\n"));
}

TEST(WritePage, KeepsThePermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    writeFile(dir("p.htm"), "<FONT SIZE=\"1\">(quillsite v0.0.1)</FONT><BR>");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(dir("p.htm"), perms);
    ASSERT_TRUE(writePage(dir("p.htm"), {"new"}));
    EXPECT_EQ(QFile::permissions(dir("p.htm")) & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                  QFile::WriteGroup | QFile::ReadOther),
              perms);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"p.htm"});
}

TEST(WritePage, FailuresNameThePageAndKeepThePreviousOne) {
    TempDir dir;
    QString error;
    EXPECT_FALSE(writePage(dir("absent/p.htm"), {"x"}, &error));
    EXPECT_EQ(error,
              "Je ne peux pas écrire le fichier \"" + dir("absent/p.htm") + "\" : dossier introuvable.");

    makeDir(dir("dossier.htm"));
    EXPECT_FALSE(writePage(dir("dossier.htm"), {"x"}, &error));
    EXPECT_EQ(error,
              "Je ne peux pas écrire le fichier \"" + dir("dossier.htm") + "\" : un dossier porte ce nom.");
    EXPECT_TRUE(QFileInfo(dir("dossier.htm")).isDir());

    makeDir(dir("ro"));
    const QByteArray previous = "(quillsite v0.0.1) ancien";
    writeFile(dir("ro/p.htm"), previous);
    {
        ReadOnlyFolder locked(dir("ro"));
        if (!locked.active())
            GTEST_SKIP() << "no read-only folder here";
        EXPECT_FALSE(writePage(dir("ro/p.htm"), {"nouveau"}, &error));
        EXPECT_EQ(error, "Je ne peux pas écrire le fichier \"" + dir("ro/p.htm") + "\" : accès refusé.");
    }
    EXPECT_EQ(readFile(dir("ro/p.htm")), previous);
    EXPECT_EQ(QDir(dir("ro")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"p.htm"});
}
