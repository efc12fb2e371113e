// Moving a page by dropping it on a category or a domain.
#include "commands/pageeditor.h"
#include "commands/pagemove.h"

#include "pagesite.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

// Domain D with categories Source (pages "Premier" 1.htm, "Second" 2.htm) and Cible (1.htm, 3.htm),
// domain E with categories Zeta and alpha; Source selected.
void site(PageSite& s) {
    s.page("D/Source/1.htm", "Premier", "<P>un</P>");
    s.page("D/Source/2.htm", "Second", "<P>deux</P>");
    s.page("D/Cible/1.htm", "Ancien");
    s.page("D/Cible/3.htm", "Autre");
    s.folder("E/Zeta");
    s.folder("E/alpha");
    s.folder("F/.cache");
    s.openCategory("D", "Source");
}

// Presses the mouse on a page as the window does: the row is selected and shown, the drag takes it.
DraggedPage drag(PageSite& s, const QString& title) {
    s.state.tListe.select(s.pageRow(title));
    tListe_Click(s.state);
    const auto page = tListe_MouseDown(s.state, s.pageRow(title));
    EXPECT_TRUE(page.has_value());
    return page.value_or(DraggedPage{});
}

} // namespace

TEST(PageMove, OnACategoryFillsTheFirstGapAndRegeneratesBoth) {
    PageSite s;
    site(s);
    const DraggedPage page = drag(s, "Second");
    EXPECT_EQ(page.file, "2.htm");
    const QByteArray bytes = readFile(s.at("D/Source/2.htm"));

    EXPECT_EQ(cListe_DragDrop(s.state, page, s.state.cListe.find("Cible")), s.at("D/Cible/2.htm"));
    EXPECT_EQ(readFile(s.at("D/Cible/2.htm")), bytes);
    EXPECT_FALSE(s.exists("D/Source/2.htm"));
    EXPECT_TRUE(QDir(trashFolder()).entryList().contains("2.htm"));
    EXPECT_EQ(s.dialogs.messages(), QStringList{"\"Second\" a été déplacé dans la catégorie \"Cible\"."});
    EXPECT_EQ(s.dialogs.calls().back().icon, Icon::Information);
    EXPECT_EQ(s.dialogs.calls().back().title, "Ok");

    // The source is selected again and lists what is left; both navigations follow.
    EXPECT_EQ(s.state.dListe.selectedText(), "D");
    EXPECT_EQ(s.state.cListe.selectedText(), "Source");
    EXPECT_EQ(s.listing(), QStringList{"Premier=1.htm"});
    EXPECT_EQ(s.navigation("D/Source/"), QStringList{"1.htm|Premier"});
    EXPECT_EQ(s.navigation("D/Cible/"), (QStringList{"1.htm|Ancien", "3.htm|Autre", "2.htm|Second"}));

    // Once the gap is filled, the next one goes after the last.
    const DraggedPage first = drag(s, "Premier");
    EXPECT_EQ(cListe_DragDrop(s.state, first, s.state.cListe.find("Cible")), s.at("D/Cible/4.htm"));
    EXPECT_EQ(s.state.tListe.count(), 0);
    EXPECT_EQ(s.navigation("D/Source/"), QStringList{});
}

TEST(PageMove, DropsThatMeanNothingAreIgnored) {
    PageSite s;
    site(s);
    const DraggedPage page = drag(s, "Premier");
    const int own = s.state.cListe.find("Source");
    EXPECT_FALSE(cListe_DragOver(s.state, page, own));
    EXPECT_EQ(cListe_DragDrop(s.state, page, own), "");
    EXPECT_EQ(cListe_DragDrop(s.state, page, s.state.cListe.count()), "");
    EXPECT_EQ(cListe_DragDrop(s.state, page, -1), "");
    EXPECT_EQ(dListe_DragDrop(s.state, page, s.state.dListe.find("D")), "");
    // A page that is no longer the listed one (another category shows now) is not moved.
    DraggedPage stale = page;
    stale.category = "Cible";
    EXPECT_FALSE(cListe_DragOver(s.state, stale, s.state.cListe.find("Cible")));
    EXPECT_EQ(decodeDraggedPage(encodeDraggedPage(page))->file, "1.htm");
    EXPECT_FALSE(decodeDraggedPage("n'importe quoi").has_value());

    EXPECT_TRUE(s.dialogs.messages().isEmpty());
    EXPECT_EQ(s.listing(), (QStringList{"Premier=1.htm", "Second=2.htm"}));
    EXPECT_TRUE(s.exists("D/Source/1.htm"));
}

TEST(PageMove, OnADomainGoesToItsFirstCategoryByUpperCasedName) {
    PageSite s;
    site(s);
    EXPECT_EQ(receivingCategory(s.at("E/")), "alpha");
    const DraggedPage page = drag(s, "Premier");
    EXPECT_EQ(dListe_DragDrop(s.state, page, s.state.dListe.find("E")), s.at("E/alpha/1.htm"));
    EXPECT_EQ(s.dialogs.messages(),
              QStringList{"\"Premier\" a été déplacé dans la catégorie \"alpha\" du domaine \"E\"."});
    EXPECT_EQ(s.navigation("E/alpha/"), QStringList{"1.htm|Premier"});
    EXPECT_EQ(s.navigation("D/Source/"), QStringList{"2.htm|Second"});
    EXPECT_EQ(s.state.dListe.selectedText(), "D");
    EXPECT_EQ(s.state.cListe.selectedText(), "Source");
    EXPECT_EQ(s.listing(), QStringList{"Second=2.htm"});
    // Both domains' index pages were written on the way.
    EXPECT_TRUE(s.exists("E/Index.htm"));
    EXPECT_TRUE(s.exists("D/Index.htm"));
}

TEST(PageMove, ADomainWithoutCategoriesIsRefused) {
    PageSite s;
    site(s);
    const DraggedPage page = drag(s, "Premier");
    EXPECT_EQ(dListe_DragDrop(s.state, page, s.state.dListe.find("F")), "");
    EXPECT_EQ(s.dialogs.messages(), QStringList{"Le domaine \"F\" n'a pas de catégories définies.\r\n\r\n"
                                                "Définissez-en une avant de faire le transfert svp."});
    EXPECT_EQ(s.dialogs.calls().back().title, "Erreur");
    EXPECT_EQ(s.listing(), (QStringList{"Premier=1.htm", "Second=2.htm"}));
}

TEST(PageMove, ACopyThatFailsOrASourceThatStaysMovesNothing) {
    PageSite s;
    site(s);
    const DraggedPage page = drag(s, "Premier");
    {
        ReadOnlyFolder locked(s.at("D/Cible"));
        if (!locked.active())
            GTEST_SKIP() << "no read-only folder here";
        EXPECT_EQ(cListe_DragDrop(s.state, page, s.state.cListe.find("Cible")), "");
    }
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_EQ(s.dialogs.messages()[0], "Je ne peux pas déplacer ce fichier (impossible d'écrire \"" +
                                           s.at("D/Cible/2.htm") + "\" : accès refusé)");
    EXPECT_EQ(s.listing(), (QStringList{"Premier=1.htm", "Second=2.htm"}));

    // The copy arrives but the source cannot go to the trash: the copy is taken back.
    s.dialogs.clear();
    {
        ReadOnlyFolder locked(s.at("D/Source"));
        EXPECT_EQ(cListe_DragDrop(s.state, page, s.state.cListe.find("Cible")), "");
    }
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(s.dialogs.messages()[0].contains("la page \"Premier\" est conservée"));
    EXPECT_FALSE(s.exists("D/Cible/2.htm"));
    EXPECT_TRUE(s.exists("D/Source/1.htm"));
    EXPECT_EQ(s.listing(), (QStringList{"Premier=1.htm", "Second=2.htm"}));
}
