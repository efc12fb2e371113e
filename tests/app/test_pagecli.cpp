// quillsite-cli ajouter-page against the editor's own code path.
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
}
