// quillsite-cli ajouter-page and deplacer-page against the window's own code path.
#include "commands/pageeditor.h"

#include "pagesite.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

// The file's lines without the one that carries the date and the user.
QStringList undated(const QString& path) {
    QStringList lines = fileLines(path);
    lines.removeIf([](const QString& l) { return l.contains(QStringLiteral("Mis à jour le ")); });
    return lines;
}

} // namespace

TEST(CliAjouterPage, WritesWhatTheEditorWrites) {
    PageSite s;
    ParamètreEcrire("CouleurFond(rrggbb)", "ABCDEF");
    s.state.values.CouleurFond = "ABCDEF";
    s.page("Doc/Guide/1.htm", "Existante");
    s.folder("Doc/Copie");

    // The editor: "Ajouter", a title and a body, OK.
    s.openCategory("Doc", "Copie");
    tAjouter_Click(s.state);
    s.state.controls.tTitre = "Été → hiver";
    s.state.controls.tTexte = "<P>Première</P>\r\nligne 2";
    tTexte_Change(s.state);
    ASSERT_EQ(tOk_Click(s.state), s.at("Doc/Copie/1.htm"));

    // The command, with the body on standard input in UTF-8 and a final line end.
    const CliResult r = runCli({"ajouter-page", s.root(), "doc", "GUIDE", "--titre", "Été → hiver"},
                               QByteArray("<P>Premi\xC3\xA8re</P>\nligne 2\n"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "2.htm\n");
    EXPECT_EQ(undated(s.at("Doc/Guide/2.htm")).replaceInStrings("Index Guide", "Index Copie"),
              undated(s.at("Doc/Copie/1.htm")));
    // The category was regenerated with the new page.
    // In French order: "Été" before "Existante".
    EXPECT_EQ(s.navigation("Doc/Guide/"), (QStringList{"2.htm|Été &#8594; hiver", "1.htm|Existante"}));

    // A body file that is not UTF-8 is read as Windows-1252.
    writeFile(s.at("corps.txt"), "caf\xE9\r\n");
    const CliResult r2 =
        runCli({"ajouter-page", s.root(), "Doc", "Guide", "--titre", "Café", "--corps", s.at("corps.txt")});
    ASSERT_EQ(r2.code, 0) << r2.err.toStdString();
    EXPECT_EQ(r2.out, "3.htm\n");
    EXPECT_EQ(s.lines("Doc/Guide/3.htm").mid(9, 3), (QStringList{"<!-- BEGIN -->", "café", "<!-- END -->"}));
}

TEST(CliModifierPage, RewritesThePageAsModifierAndOkDo) {
    PageSite s;
    s.page("Doc/Guide/1.htm", "Ancien", "&lt;B&gt; reste");
    s.page("Doc/Guide/1.HTM", "Voisin");
    const QByteArray neighbour = readFile(s.at("Doc/Guide/1.HTM"));
    // The exact one of two names differing in case; the body is kept, entities included.
    CliResult r = runCli({"modifier-page", s.root(), "Doc", "Guide", "1.htm", "--titre", "A & <b>"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1.htm\n");
    const QStringList once = undated(s.at("Doc/Guide/1.htm"));
    EXPECT_EQ(once.value(2), "<TITLE>A &amp; &lt;b&gt;</TITLE>");
    EXPECT_EQ(once.mid(9, 3), (QStringList{"<!-- BEGIN -->", "&lt;B&gt; reste", "<!-- END -->"}));
    EXPECT_EQ(readFile(s.at("Doc/Guide/1.HTM")), neighbour);
    EXPECT_TRUE(s.navigation("Doc/Guide/").contains("1.htm|A &amp; &lt;b&gt;"));
    // With nothing given the page keeps its lines; a new body replaces its own.
    r = runCli({"modifier-page", s.root(), "Doc", "Guide", "1.htm"});
    EXPECT_EQ(undated(s.at("Doc/Guide/1.htm")), once);
    r = runCli({"modifier-page", s.root(), "Doc", "Guide", "1.HTM", "--corps", "-"}, "nouveau\n");
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(s.lines("Doc/Guide/1.HTM").mid(9, 3),
              (QStringList{"<!-- BEGIN -->", "nouveau", "<!-- END -->"}));

    // Refusals write nothing.
    const QByteArray before = readFile(s.at("Doc/Guide/1.htm"));
    const struct {
        QString argument;
        QString title;
        int code;
        QString error;
    } refusals[] = {
        {"1.htm", "deux\r\nlignes", 2, "Le titre ne doit pas contenir de saut de ligne.\n"},
        {"1.htm", " ", 2, "Le titre et le texte de la page ne doivent pas être vides.\n"},
        {"9.htm", "T", 1,
         "La catégorie « Guide » n'a pas de page « 9.htm » (une page sans titre n'est pas listée).\n"},
    };
    for (const auto& c : refusals) {
        r = runCli({"modifier-page", s.root(), "Doc", "Guide", c.argument, "--titre", c.title});
        EXPECT_EQ(r.code, c.code) << c.title.toStdString();
        EXPECT_EQ(r.err, c.error);
    }
    EXPECT_EQ(readFile(s.at("Doc/Guide/1.htm")), before);
}

TEST(CliDeplacerPage, MovesAsADropDoes) {
    PageSite s;
    s.page("D/Source/1.htm", "Premier");
    s.page("D/Source/2.htm", "Second");
    s.page("D/Source/3.htm", "Troisième");
    s.page("D/Cible/1.htm", "Ancien");
    s.folder("E/Zeta");
    s.folder("E/alpha");

    // To another category of the domain.
    CliResult r = runCli({"deplacer-page", s.root(), "D", "Source", "2.htm", "--vers", "d/cible"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "\"Second\" a été déplacé dans la catégorie \"Cible\".\n2.htm\n");
    EXPECT_FALSE(s.exists("D/Source/2.htm"));
    EXPECT_EQ(s.navigation("D/Cible/"), (QStringList{"1.htm|Ancien", "2.htm|Second"}));
    EXPECT_EQ(s.navigation("D/Source/"), (QStringList{"1.htm|Premier", "3.htm|Troisième"}));

    // To another domain: its first category, or the one named.
    r = runCli({"deplacer-page", s.root(), "D", "Source", "1.htm", "--vers", "E"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "\"Premier\" a été déplacé dans la catégorie \"alpha\" du domaine \"E\".\n1.htm\n");
    r = runCli({"deplacer-page", s.root(), "D", "Source", "3.htm", "--vers", "E/zeta"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(s.navigation("E/Zeta/"), QStringList{"1.htm|Troisième"});
    EXPECT_EQ(s.navigation("D/Source/"), QStringList{});

    // What cannot be moved.
    r = runCli({"deplacer-page", s.root(), "D", "Cible", "9.htm", "--vers", "E"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("n'a pas de page « 9.htm »")) << r.err.toStdString();
    r = runCli({"deplacer-page", s.root(), "D", "Cible", "1.htm", "--vers", "D/Cible"});
    EXPECT_EQ(r.code, 1);
    r = runCli({"deplacer-page", s.root(), "D", "Cible", "1.htm", "--vers", "D"});
    EXPECT_EQ(r.code, 2);
    r = runCli({"deplacer-page", s.root(), "D", "Cible", "1.htm"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(s.exists("D/Cible/1.htm"));
}
