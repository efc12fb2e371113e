// The one French sentence for a file error, whichever way the failure was seen: a system error number,
// a Qt file device, or the standard library's file system calls.
#include "lib/fileio.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {
using Op = FileError::Operation;
} // namespace

TEST(FileErrorCause, EveryWayOfFailingGivesTheSameFrenchCause) {
    const struct {
        std::error_code code;
        Op op;
        std::string cause;
    } rows[] = {
        {std::make_error_code(std::errc::read_only_file_system), Op::Write, "disque protégé en écriture"},
        {std::make_error_code(std::errc::device_or_resource_busy), Op::Write, "fichier occupé"},
        {std::make_error_code(std::errc::no_space_on_device), Op::Write, "disque plein"},
        {std::make_error_code(std::errc::no_such_file_or_directory), Op::Read,
         "fichier ou dossier introuvable"},
        {std::error_code(ENOENT, std::system_category()), Op::Write, "dossier introuvable"},
        {std::make_error_code(std::errc::protocol_error), Op::Write,
         "erreur système n° " + std::to_string(EPROTO)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fileErrorCause(row.code, row.op), QString::fromStdString(row.cause)) << row.code.message();
        EXPECT_EQ(fileErrorCause(FileError::system(row.op, row.code.value())),
                  QString::fromStdString(row.cause));
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
