// quillsite-cli verifier: exit codes, reports on standard output or in a file, the case fix.
#include "checksite.h"

#include <gtest/gtest.h>

using namespace qs::test;

namespace {
QStringList verifier(const QStringList& rest) {
    return QStringList{QStringLiteral("verifier")} + rest;
}
} // namespace

TEST(VerifierCli, ExitCodesAndReports) {
    TempDir dir;
    writeCheckedSite(dir);
    CliResult r = runCli(verifier({dir.path()}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.toUtf8(), expectedReport(QStringLiteral("report.txt"), dir));
    EXPECT_EQ(r.err,
              QStringLiteral("9 pages, 19 liens locaux, 2 liens externes (non vérifiés) : 10 problèmes.\n"));

    r = runCli(verifier({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--sortie"),
                         dir("rapport.json"), dir("Index.htm")}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(readFile(dir("rapport.json")), expectedReport(QStringLiteral("report.json"), dir));

    for (const QStringList& wrong :
         {QStringList{}, QStringList{dir.path(), dir.path()},
          QStringList{QStringLiteral("--format"), QStringLiteral("xml"), dir.path()},
          QStringList{dir("absent")}}) {
        r = runCli(verifier(wrong));
        EXPECT_EQ(r.code, 2) << wrong.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(VerifierCli, FixesCaseAndSaysWhat) {
    TempDir dir;
    writeCheckedSite(dir);
    const CliResult r = runCli(verifier({QStringLiteral("--corriger-casse"), dir.path()}));
    EXPECT_EQ(r.code, 1); // the other problems are left
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("D/Index.htm:4: ../index.htm -> ../Index.htm\n"
                                                "Index.htm:4: images/Logo.GIF -> images/logo.gif\n")))
        << r.out;
    EXPECT_FALSE(r.out.contains(QStringLiteral(": casse:")));
    EXPECT_TRUE(readFile(dir("Index.htm")).contains("<IMG SRC=\"images/logo.gif\">"));
}

// A site made with the program's own commands, as a new site holds the templates, checks clean.
TEST(VerifierCli, AGeneratedSiteChecksClean) {
    TempDir dir;
    writeFile(dir("images/logo.gif"), readFile(QStringLiteral(QUILLSITE_SOURCE_DIR "/templates/logo.gif")));
    makeDir(dir("Outils/Scies"));
    for (const char* title : {"Première page", "Suite"})
        ASSERT_EQ(runCli({QStringLiteral("ajouter-page"), dir.path(), QStringLiteral("Outils"),
                          QStringLiteral("Scies"), QStringLiteral("--titre"), QString::fromUtf8(title)},
                         "<P>Voir <A HREF=\"2.htm\">la suite</A>.</P>")
                      .code,
                  0);
    writeFile(dir("Outils/Scies/photo.gif"), "GIF89a");
    ASSERT_EQ(
        runCli({QStringLiteral("images"), dir.path(), QStringLiteral("Outils"), QStringLiteral("Scies")})
            .code,
        0);
    ASSERT_EQ(runCli({QStringLiteral("indexer"), dir.path()}).code, 0);
    const CliResult r = runCli(verifier({QStringLiteral("--format"), QStringLiteral("html"), dir.path()}));
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(r.out.contains(QStringLiteral("<p class=\"ok\">Aucun problème.</p>")));
}
