// Inputs the fuzz targets found mishandled: each case failed before its fix (the colours that the
// settings target found are in test_options).
#include "tools/replace.h"

#include <gtest/gtest.h>

using namespace qs;

// The confirmation is told where the occurrence is in characters, whatever its bytes in the file.
TEST(HostileInput, ConfirmationLengthIsInCharacters) {
    ReplaceRequest request;
    request.find = "é😀";
    request.replacement = "x";
    const QByteArray content = QStringLiteral("<meta charset=utf-8>\r\nA É😀 B\r\n").toUtf8();
    QStringList offered;
    QByteArray out;
    const qint64 n =
        Replacer(request).apply(content, out, [&](const QString& line, qsizetype start, qsizetype length) {
            offered.append(line.mid(start, length));
            return true;
        });
    EXPECT_EQ(n, 1);
    EXPECT_EQ(offered, QStringList{"É😀"});
    EXPECT_EQ(out, QByteArray("<meta charset=utf-8>\r\nA x B\r\n"));
}
