// quillsite-cli explorer: the tree the window would hold, from the command line.
#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

using namespace qs;
using namespace qs::test;

namespace {

class ExplorerCli : public ::testing::Test {
protected:
    TempDir dir;
    QString root;

    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        writeFile(dir("index.htm"),
                  "<BODY BACKGROUND=fond.jpg><FRAME SRC=\"left.htm\">\r\n"
                  "<A HREF=\"d/p.htm\">p</A><IMG SRC=logo.gif><A HREF=\"http://x.org/a.htm\">\r\n"
                  "<FORM ACTION=/cgi-bin/f><BGSOUND SRC=s.mid><A HREF=setup.exe>");
        writeFile(dir("left.htm"), "<A HREF=d/p.htm><A HREF=index.htm>");
        writeFile(dir("d/p.htm"), "<A HREF=../index.htm><IMG SRC=../logo.gif><A HREF=q.htm>");
        writeFile(dir("d/q.htm"), "<A HREF=r.htm>");
        writeFile(dir("logo.gif"), "");
        root = QDir::toNativeSeparators(dir("index.htm"));
    }
};

} // namespace

TEST_F(ExplorerCli, PrintsTheTreeWithTheStoredSettings) {
    // Nothing stored: depth 4, every type.
    CliResult r = runCli({QStringLiteral("explorer"), root});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, QString("[htm] %1\n"
                             "  [cgi] ???   /cgi-bin/f\n"
                             "  [jpg] ???   fond.jpg\n"
                             "  [htm] ???   http://x.org/a.htm\n"
                             "  [mid] ???   s.mid\n"
                             "  [exe] ???   setup.exe\n"
                             "  [htm] d/p.htm\n"
                             "    [htm] ../index.htm<2>\n"
                             "    [gif] ../logo.gif<1>\n"
                             "    [htm] q.htm\n"
                             "      [htm] ???   r.htm\n"
                             "  [htm] left.htm\n"
                             "    [htm] d/p.htm<1>\n"
                             "    [htm] index.htm<1>\n"
                             "  [gif] logo.gif\n")
                         .arg(root));

    // The window's settings: depth 1, no images nor programs.
    ParamètreEcrire(QStringLiteral("NiveauRep"), QStringLiteral("1"));
    ParamètreEcrire(QStringLiteral("NivImg"), QStringLiteral("0"));
    ParamètreEcrire(QStringLiteral("NivExe"), QStringLiteral("0"));
    ParamètreEcrire(QStringLiteral("NivCgi"), QStringLiteral("0"));
    r = runCli({QStringLiteral("explorer"), QStringLiteral("index.htm")}, {}, dir.path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, QString("[htm] %1\n"
                             "  [htm] ???   http://x.org/a.htm\n"
                             "  [mid] ???   s.mid\n"
                             "  [htm] d/p.htm\n"
                             "    [htm] ../index.htm<2>\n"
                             "    [htm] q.htm\n"
                             "  [htm] left.htm\n"
                             "    [htm] d/p.htm<1>\n"
                             "    [htm] index.htm<1>\n")
                         .arg(root));
}

TEST_F(ExplorerCli, OptionsOverrideTheSettings) {
    ParamètreEcrire(QStringLiteral("NiveauRep"), QStringLiteral("1"));
    CliResult r =
        runCli({QStringLiteral("explorer"), QStringLiteral("--profondeur"), QStringLiteral("illimite"),
                QStringLiteral("--types"), QStringLiteral("cgi,SONS"), root});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, QString("[htm] %1\n"
                             "  [cgi] ???   /cgi-bin/f\n"
                             "  [htm] ???   http://x.org/a.htm\n"
                             "  [mid] ???   s.mid\n"
                             "  [htm] d/p.htm\n"
                             "    [htm] ../index.htm<2>\n"
                             "    [gif] ../logo.gif<1>\n"
                             "    [htm] q.htm\n"
                             "      [htm] ???   r.htm\n"
                             "  [htm] left.htm\n"
                             "    [htm] d/p.htm<1>\n"
                             "    [htm] index.htm<1>\n"
                             "  [gif] logo.gif\n")
                         .arg(root));

    r = runCli({QStringLiteral("explorer"), QStringLiteral("--profondeur=1"), QStringLiteral("--types=aucun"),
                QStringLiteral("--resume"), root});
    EXPECT_EQ(r.out, QStringLiteral("8 nœuds, 3 pages lues, 1 introuvables.\n")) << r.err;
}

TEST_F(ExplorerCli, RefusesWhatItCannotDo) {
    struct Case {
        QStringList arguments;
        int code;
        QString error;
    } cases[] = {
        {{}, 2, "Donnez une page, et une seule."},
        {{root, root}, 2, "Donnez une page, et une seule."},
        {{"--profondeur", "0", root},
         2,
         "Profondeur non valable : « 0 ». Donnez un nombre de 1 à 19, ou « illimite »."},
        {{"--profondeur", "21", root}, 2, "Profondeur non valable : « 21 »."},
        {{"--profondeur", "beaucoup", root}, 2, "Profondeur non valable : « beaucoup »."},
        {{"--types", "images,films", root}, 2, "Type de lien inconnu : « films »."},
        {{"--inconnue", root}, 2, "inconnue"},
        {{dir("absente.htm")}, 1, "Je ne trouve pas la page « " + dir("absente.htm") + " »."},
        {{dir("d")}, 1, "Je ne trouve pas la page"},
    };
    for (const Case& c : cases) {
        const CliResult r = runCli(QStringList{QStringLiteral("explorer")} + c.arguments);
        EXPECT_EQ(r.code, c.code) << c.arguments.join(u' ');
        EXPECT_TRUE(r.err.contains(c.error)) << r.err;
        EXPECT_TRUE(r.out.isEmpty()) << r.out;
    }
    const CliResult help = runCli({QStringLiteral("explorer"), QStringLiteral("--aide")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage : quillsite-cli explorer")));
}
