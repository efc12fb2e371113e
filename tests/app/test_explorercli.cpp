// quillsite-cli explorer: the tree the window would hold, from the command line.
#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

using namespace qs;
using namespace qs::test;

TEST(ExplorerCli, PrintsTheTreeWithTheStoredSettingsOrItsOptions) {
    QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
    TempDir dir;
    writeFile(dir("index.htm"),
              "<BODY BACKGROUND=fond.jpg><FRAME SRC=\"left.htm\">\r\n"
              "<A HREF=\"d/p.htm\">p</A><IMG SRC=logo.gif><A HREF=\"http://x.org/a.htm\">\r\n"
              "<FORM ACTION=/cgi-bin/f><BGSOUND SRC=s.mid><A HREF=setup.exe>");
    writeFile(dir("left.htm"), "<A HREF=d/p.htm><A HREF=index.htm>");
    writeFile(dir("d/p.htm"), "<A HREF=../index.htm><IMG SRC=../logo.gif><A HREF=q.htm>");
    writeFile(dir("d/q.htm"), "<A HREF=r.htm>");
    writeFile(dir("logo.gif"), "");
    const QString root = QDir::toNativeSeparators(dir("index.htm"));
    auto expected = [&](const char* file) {
        return QString::fromUtf8(dataFile(QStringLiteral("app/%1.txt").arg(file), {{"ROOT", root}}));
    };
    // Nothing stored: depth 4, every type.
    CliResult r = runCli({"explorer", root});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, expected("explorer-stored-defaults"));

    // The window's settings: depth 1, no images nor programs; a page relative to the working folder.
    ParamètreEcrire(QStringLiteral("NiveauRep"), QStringLiteral("1"));
    for (const char* key : {"NivImg", "NivExe", "NivCgi"})
        ParamètreEcrire(QString::fromUtf8(key), QStringLiteral("0"));
    r = runCli({"explorer", "index.htm"}, {}, dir.path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, expected("explorer-depth1-no-images"));

    // Options override the settings.
    r = runCli({"explorer", "--profondeur", "illimite", "--types", "cgi,SONS", root});
    EXPECT_EQ(r.out, expected("explorer-unlimited-cgi-sounds")) << r.err;
    r = runCli({"explorer", "--profondeur=1", "--types=aucun", "--resume", root});
    EXPECT_EQ(r.out, QStringLiteral("8 nœuds, 3 pages lues, 1 introuvables.\n")) << r.err;
}
