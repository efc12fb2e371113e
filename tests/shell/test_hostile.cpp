// Inputs the fuzz targets found mishandled: each case failed before its fix.
#include "shell/options.h"
#include "tools/replace.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace qs;

// A colour is six hexadecimal digits: a sign or a blank inside (which a number reader takes) is no
// colour, neither typed nor stored, and never reaches the bars or a page.
TEST(HostileInput, ColoursWithSignsOrBlanksAreRefused) {
    QSettings("Vendrel", "quillsite").clear();
    for (const char* text : {"-1-1-1", "+f+f+f", "1 2 34", "#-0-0-0"}) {
        SCOPED_TRACE(text);
        ParamètreEcrire("CouleurFond(rrggbb)", QString::fromUtf8(text));
        ProgramValues values;
        Options o(values);
        o.Form_Load();
        EXPECT_EQ(o.form.bars[Options::CF], (std::array<int, 3>{0, 0, 0}));
        EXPECT_EQ(o.hexText(Options::CF), "#000000");
        EXPECT_FALSE(o.hexEdited(Options::CL, QString::fromUtf8(text)));
        EXPECT_EQ(values.CouleurTitre, "509000");
    }
}

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
