// Whole-file writes (whole or nothing, links replaced, failures named), bounded reads of any file, the
// title reader, a trash that cannot be written, and the one French sentence for a file error, whichever
// way the failure was seen: a system error number, a Qt file device, or the standard library's calls.
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"

#include "scripteddialogs.h"
#include "tablefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

using namespace qs;
using namespace qs::test;

namespace {

using Op = FileError::Operation;

struct FaultGuard {
    explicit FaultGuard(const WriteFault& f) { setWriteFault(f); }
    ~FaultGuard() { setWriteFault(std::nullopt); }
};

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

TEST(WriteFileWhole, AnyFailedStepKeepsThePreviousFileAndSaysWhy) {
    using S = WriteFault::Step;
    const std::pair<WriteFault, const char*> cases[] = {
        {{1, S::Create, 0, ENOSPC}, "disque plein"}, {{1, S::Write, 0, ENOSPC}, "disque plein"},
        {{1, S::Write, 5, EIO}, "erreur du disque"}, {{1, S::Finish, 0, EDQUOT}, "disque plein"},
        {{1, S::Commit, 0, EACCES}, "accès refusé"}, {{1, S::Write, 0, 4242}, "erreur système n° 4242"},
    };
    for (const auto& [step, cause] : cases) {
        TempDir dir;
        writeFile(dir("p.htm"), "ancien\r\n");
        QString error;
        {
            FaultGuard fault(step);
            EXPECT_FALSE(writeLines(dir("p.htm"), {"nouveau contenu"}, &error));
        }
        EXPECT_EQ(error, QStringLiteral("Je ne peux pas écrire le fichier \"%1\" : %2.")
                             .arg(dir("p.htm"), QString::fromUtf8(cause)));
        EXPECT_EQ(readFile(dir("p.htm")), "ancien\r\n") << int(step.step);
        EXPECT_EQ(folderEntries(dir.path()), QStringList{"p.htm"}) << int(step.step);
    }
}

TEST(WriteFileWhole, ALinkInThePlaceOfTheFileIsReplacedAndItsTargetNeverWritten) {
    for (const bool skipUnchanged : {false, true}) {
        TempDir dir;
        writeFile(dir("dehors/cible.htm"), "a\r\n");
        makeDir(dir("site"));
        ASSERT_TRUE(QFile::link(dir("dehors/cible.htm"), dir("site/Index.htm")));
        // Same bytes as the target: an unchanged-file check must not leave the link in place either.
        ASSERT_TRUE(writeLines(dir("site/Index.htm"), {"a"}, nullptr,
                               {.sync = false, .keepPermissions = true, .skipUnchanged = skipUnchanged}));
        EXPECT_FALSE(QFileInfo(dir("site/Index.htm")).isSymLink());
        EXPECT_EQ(readFile(dir("site/Index.htm")), "a\r\n");
        EXPECT_EQ(folderEntries(dir("site")), QStringList{"Index.htm"});
        EXPECT_EQ(readFile(dir("dehors/cible.htm")), "a\r\n");
        EXPECT_EQ(folderEntries(dir("dehors")), QStringList{"cible.htm"});
    }
}

// Devices, FIFOs, huge sparse files: refused or read only as far as needed, never waited on.
TEST(BoundedRead, SpecialAndHugeFilesCostNoMoreThanAPage) {
    TempDir dir;
    ASSERT_TRUE(QFile::link("/dev/zero", dir("zero.htm")));
    ASSERT_TRUE(QFile::link("/dev/urandom", dir("hasard.htm")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("tube.txt")).constData(), 0600), 0);
    writeFile(dir("enorme.htm"), "<HTML>\r\n");
    ASSERT_TRUE(QFile::resize(dir("enorme.htm"), qint64(2) << 30)); // sparse: no disk used
    writeFile(dir("gros.txt"), QByteArray(kMaxWholeFile + 1, 'x'));
    makeDir(dir("dossier.htm"));

    for (const DataRow& r : tableRows("lib/unreadable.txt")) {
        QString error;
        EXPECT_FALSE(readText(dir(r.text(0)), &error)) << r.where;
        EXPECT_EQ(
            error,
            QStringLiteral("Je ne peux pas lire le fichier \"%1\" : %2.").arg(dir(r.text(0)), r.text(1)));
        for (const TitleRules rules : {TitleRules::Listing, TitleRules::Index})
            EXPECT_EQ(readTitle(dir(r.text(0)), rules), QString()) << r.where;
    }
    // A title beyond the first 64 KiB is not looked for; one within them is found.
    writeFile(dir("loin.htm"), QByteArray(kTitlePrefix, ' ') + "<TITLE>Trop loin</TITLE>");
    writeFile(dir("pres.htm"), QByteArray(kTitlePrefix - 20, ' ') + "<TITLE>Juste</TITLE>");
    EXPECT_EQ(readTitle(dir("loin.htm"), TitleRules::Listing), QString());
    EXPECT_EQ(readTitle(dir("pres.htm"), TitleRules::Index), QStringLiteral("Juste"));
}

// Qt's own trash retries names without end when its info folder cannot be written.
TEST(Trash, AnUnwritableTrashKeepsTheFileAndSaysSo) {
    TempDir dir;
    writeFile(dir("1.htm"), "page");
    const QString trash = QFileInfo(trashFolder()).path();
    makeDir(trash + "/files");
    makeDir(trash + "/info");
    ReadOnlyFolder locked(trash + "/info");
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    FileError error;
    EXPECT_FALSE(moveToTrash(dir("1.htm"), {}, &error));
    EXPECT_FALSE(FichierCorbeille(dir("1.htm")));
    EXPECT_EQ(readFile(dir("1.htm")), "page");
    EXPECT_EQ(trashFailureMessage(dir("1.htm"), error),
              "Je ne peux pas mettre le fichier \"" + dir("1.htm") +
                  "\" à la corbeille (accès refusé) : il est conservé.");
}

TEST(FileErrorCause, EveryWayOfFailingGivesTheSameFrenchCause) {
    const std::tuple<std::error_code, Op, std::string> rows[] = {
        {std::make_error_code(std::errc::read_only_file_system), Op::Write, "disque protégé en écriture"},
        {std::make_error_code(std::errc::device_or_resource_busy), Op::Write, "fichier occupé"},
        {std::make_error_code(std::errc::no_space_on_device), Op::Write, "disque plein"},
        {std::make_error_code(std::errc::no_such_file_or_directory), Op::Read,
         "fichier ou dossier introuvable"},
        {std::error_code(ENOENT, std::system_category()), Op::Write, "dossier introuvable"},
        {std::make_error_code(std::errc::protocol_error), Op::Write,
         "erreur système n° " + std::to_string(EPROTO)},
    };
    for (const auto& [code, op, cause] : rows) {
        EXPECT_EQ(fileErrorCause(code, op), QString::fromStdString(cause)) << code.message();
        EXPECT_EQ(fileErrorCause(FileError::system(op, code.value())), QString::fromStdString(cause));
    }
    // No error number: a general cause, never "erreur système n° 0".
    EXPECT_EQ(fileErrorCause(FileError::system(Op::Read, 0)), "erreur de lecture");
}

TEST(FileErrorCause, AFailedQtFileIsNamedInFrench) {
    TempDir dir;
    QFile missing(dir.path() + "absent.htm");
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(fileErrorCause(missing, Op::Read), "fichier ou dossier introuvable");
    // The error number taken right after the call wins over the device's own error.
    EXPECT_EQ(fileErrorCause(missing, Op::Read, ENOSPC), "disque plein");

    QFile folder(dir.path() + "dossier.htm");
    ASSERT_TRUE(QDir(dir.path()).mkdir("dossier.htm"));
    ASSERT_FALSE(folder.open(QIODevice::WriteOnly));
    EXPECT_EQ(fileErrorMessage(folder.fileName(), fileErrorOf(folder, Op::Write)),
              "Je ne peux pas écrire le fichier \"" + folder.fileName() + "\" : ouverture impossible.");
}

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
