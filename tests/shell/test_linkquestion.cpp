// After a page move or a rename, the window offers to rewrite the links that led to the old address.
#include "commands/commands.h"
#include "commands/pagemove.h"
#include "commands/selection.h"
#include "shell/relocation.h"
#include "shellfixture.h"
#include "tablefile.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

// Does `action` on the page "Cible" of Alpha/C, answering the link question with `yes`.
void act(ShellFixture& f, const QByteArray& action, bool yes) {
    MainState& s = *f.state;
    s.dListe.select(s.dListe.find("Alpha"));
    dListe_Click(s);
    s.cListe.select(s.cListe.find("C"));
    cListe_Click(s);
    const auto page = tListe_MouseDown(s, s.tListe.find("Cible"));
    ASSERT_TRUE(page);
    if (action.startsWith("rename"))
        f.dialogs.answer(action == "rename-domain" ? "Gamma" : "Guides");
    yes ? f.dialogs.yes() : f.dialogs.no();
    if (action == "drag") {
        dListe_DragDrop(s, *page, s.dListe.find("Beta"));
    } else if (action == "move") {
        movePage(s, *page, "Alpha", "D");
    } else if (action == "rename-category") {
        ASSERT_TRUE(cListe_MouseUp(s, Qt::RightButton, s.cListe.find("C")));
        mod2_Click(s, FolderCommand::Rename);
    } else {
        ASSERT_TRUE(dListe_MouseUp(s, Qt::RightButton, s.dListe.find("Alpha")));
        mmod_Click(s, FolderCommand::Rename);
    }
}

} // namespace

TEST(LinkQuestion, AfterMovesAndRenames) {
    const QString question = "Mettre à jour 2 lien(s) dans 2 page(s) ?";
    int n = 0;
    for (const auto& row : tableRows("shell/linkquestion.txt")) {
        SCOPED_TRACE(n);
        ShellFixture f;
        const QString site = f.makeSite(QStringLiteral("S%1").arg(n++), {"Alpha", "Beta"});
        makeDir(site + "Alpha/D");
        writeFile(site + "Alpha/C/1.htm", "<TITLE>Cible</TITLE>\r\n");
        writeFile(site + "Beta/C/1.htm", "<TITLE>B</TITLE><A HREF=\"../../Alpha/C/1.htm#haut\">x</A>\r\n");
        writeFile(site + "Liens.htm", "<a href='Alpha/C/1.htm?q=1'>x</a>\r\n");
        ParamètreEcrire("Adresse", site + "Index.htm");
        f.shell->Form_Load();
        followRelocations(*f.state);
        f.dialogs.clear();
        act(f, row[0], row[1] == "yes");
        const auto asked = std::find_if(f.dialogs.calls().begin(), f.dialogs.calls().end(),
                                        [&](const auto& c) { return c.text == question; });
        ASSERT_NE(asked, f.dialogs.calls().end()) << f.dialogs.texts().join(u'|').toStdString();
        EXPECT_EQ(asked->extra, "Liens.htm\nBeta/C/1.htm"); // the pages, on request
        EXPECT_EQ(asked->title, "Mise à jour des liens");
        EXPECT_EQ(f.dialogs.pending(), 0);
        EXPECT_EQ(readFile(site + "Beta/C/1.htm"), "<TITLE>B</TITLE><A HREF=\"" + row[2] + "\">x</A>\r\n");
        EXPECT_EQ(readFile(site + "Liens.htm"), "<a href='" + row[3] + "'>x</a>\r\n");
    }
}
