// After a page move or a rename, the window offers to rewrite the links that led to the old address.
#include "commands/commands.h"
#include "commands/pagemove.h"
#include "commands/selection.h"
#include "shell/relocation.h"
#include "shellfixture.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

enum class Action { DragToDomain, MoveTo, RenameCategory, RenameDomain };

// Does `action` on the page "Cible" of Alpha/C, answering the link question with `yes`.
void act(ShellFixture& f, Action action, bool yes) {
    MainState& s = *f.state;
    s.dListe.select(s.dListe.find("Alpha"));
    dListe_Click(s);
    s.cListe.select(s.cListe.find("C"));
    cListe_Click(s);
    const auto page = tListe_MouseDown(s, s.tListe.find("Cible"));
    ASSERT_TRUE(page);
    if (action == Action::RenameCategory || action == Action::RenameDomain)
        f.dialogs.answer(action == Action::RenameDomain ? "Gamma" : "Guides");
    yes ? f.dialogs.yes() : f.dialogs.no();
    switch (action) {
    case Action::DragToDomain:
        dListe_DragDrop(s, *page, s.dListe.find("Beta"));
        break;
    case Action::MoveTo: // "Déplacer vers..."
        movePage(s, *page, "Alpha", "D");
        break;
    case Action::RenameCategory:
        ASSERT_TRUE(cListe_MouseUp(s, Qt::RightButton, s.cListe.find("C")));
        mod2_Click(s, FolderCommand::Rename);
        break;
    case Action::RenameDomain:
        ASSERT_TRUE(dListe_MouseUp(s, Qt::RightButton, s.dListe.find("Alpha")));
        mmod_Click(s, FolderCommand::Rename);
        break;
    }
}

} // namespace

TEST(LinkQuestion, AfterMovesAndRenames) {
    const QString question = "Mettre à jour 2 lien(s) dans 2 page(s) ?";
    const struct Row {
        Action action;
        bool yes;
        const char* fromBeta; // the links of Beta/C/1.htm and of the site's Liens.htm afterwards
        const char* fromRoot;
    } rows[] = {
        {Action::DragToDomain, true, "2.htm#haut", "Beta/C/2.htm?q=1"},
        {Action::DragToDomain, false, "../../Alpha/C/1.htm#haut", "Alpha/C/1.htm?q=1"},
        {Action::MoveTo, true, "../../Alpha/D/1.htm#haut", "Alpha/D/1.htm?q=1"},
        {Action::RenameCategory, true, "../../Alpha/Guides/1.htm#haut", "Alpha/Guides/1.htm?q=1"},
        {Action::RenameDomain, true, "../../Gamma/C/1.htm#haut", "Gamma/C/1.htm?q=1"},
        {Action::RenameDomain, false, "../../Alpha/C/1.htm#haut", "Alpha/C/1.htm?q=1"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(n);
        ShellFixture f;
        const QString site = f.makeSite(QStringLiteral("S%1").arg(n++), {"Alpha", "Beta"});
        makeDir(site + "Alpha/D");
        writeFile(site + "Alpha/C/1.htm", "<TITLE>Cible</TITLE>\r\n");
        writeFile(site + "Beta/C/1.htm", "<TITLE>B</TITLE><A HREF=\"../../Alpha/C/1.htm#haut\">x</A>\r\n");
        writeFile(site + "Liens.htm", "<a href='Alpha/C/1.htm?q=1'>x</a>\r\n");
        f.storeSite(site + "Index.htm");
        f.shell->Form_Load();
        followRelocations(*f.state);
        f.dialogs.clear();
        act(f, row.action, row.yes);
        const auto asked = std::find_if(f.dialogs.calls().begin(), f.dialogs.calls().end(),
                                        [&](const auto& c) { return c.text == question; });
        ASSERT_NE(asked, f.dialogs.calls().end()) << f.dialogs.texts().join(u'|').toStdString();
        EXPECT_EQ(asked->extra, "Liens.htm\nBeta/C/1.htm"); // the pages, on request
        EXPECT_EQ(asked->title, "Mise à jour des liens");
        EXPECT_EQ(f.dialogs.pending(), 0);
        EXPECT_EQ(readFile(site + "Beta/C/1.htm"),
                  "<TITLE>B</TITLE><A HREF=\"" + QByteArray(row.fromBeta) + "\">x</A>\r\n");
        EXPECT_EQ(readFile(site + "Liens.htm"), "<a href='" + QByteArray(row.fromRoot) + "'>x</a>\r\n");
    }
}
