// The selection chain of the three lists: what each click lists, asks, regenerates and leaves current.
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "site/listing.h"

#include "sitefixture.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

// A site with two domains; Doc has two categories with a few pages.
struct TwoDomains : SiteFixture {
    TwoDomains() {
        page("Doc/Outils/1.htm", "zèbre");
        page("Doc/Outils/2.htm", "&LT;b&gt; &amp; Alpha");
        writeFile(at("Doc/Outils/3.htm"), pageBytes("<HEAD>sans titre")); // listed nowhere, but in the table
        page("Doc/Outils/index.htm", "index d'avant");
        page("Doc/Outils/IndexG.htm", "navigation d'avant");
        page("Doc/Outils/4.htm", "Zèbre");
        page("Doc/Pratique/1.htm", "Seul");
        page("Vide/Cat/1.htm", "Une");
        domainesInit(state);
    }
    QList<std::pair<QString, QString>> pages() const {
        QList<std::pair<QString, QString>> out;
        for (int row = 0; row < state.tListe.count(); ++row)
            out.append({state.tListe.text(row), state.pageNames.value(state.tListe.number(row))});
        return out;
    }
};

using Pages = QList<std::pair<QString, QString>>;

} // namespace

TEST(Selection, ACategoryListsItsTitledPagesByTitle) {
    TwoDomains s;
    s.clickDomain("Doc");
    EXPECT_EQ(s.state.cListe.texts(), (QStringList{"Outils", "Pratique"}));
    EXPECT_TRUE(s.state.controls.cAjouterEnabled);
    EXPECT_EQ(s.state.currentDomain, QStringLiteral("Doc"));

    s.clickCategory("Outils");
    // Titles show as typed (entities decoded); between titles equal but for case, lower case first.
    EXPECT_EQ(s.pages(), (Pages{{"<b> & Alpha", "2.htm"}, {"zèbre", "1.htm"}, {"Zèbre", "4.htm"}}));
    EXPECT_EQ(s.state.pageNames, (QStringList{"", "1.htm", "2.htm", "3.htm", "4.htm"}));
    EXPECT_EQ(s.state.currentCategory, QStringLiteral("Outils"));
    const ControlState& c = s.state.controls;
    EXPECT_TRUE(c.tAjouterEnabled && c.tImporterEnabled && c.ImgIndexEnabled);
    EXPECT_FALSE(c.tModifierEnabled || c.tSupprimerEnabled);
    EXPECT_EQ(c.ImgIndexCaption, QStringLiteral("Créer un index des images du répertoire : Outils"));
    EXPECT_TRUE(s.dialogs.calls().isEmpty());
}

TEST(Selection, LeavingACategoryRewritesItOnce) {
    TwoDomains s;
    s.clickDomain("Doc");
    s.clickCategory("Outils");
    EXPECT_FALSE(s.exists("Doc/Outils/Index.htm"));
    s.state.controls.tTitre = QStringLiteral("page montrée");

    s.clickCategory("Pratique");
    ASSERT_TRUE(s.exists("Doc/Outils/Index.htm"));
    EXPECT_EQ(s.lines("Doc/Outils/IndexG.htm").at(10),
              QStringLiteral("<A HREF=\"2.htm\" TARGET=\"Right\">- &lt;b&gt; &amp; Alpha</A><BR>"));
    EXPECT_EQ(s.state.controls.tTitre, QString()); // the page side was cleared
    EXPECT_EQ(s.pages(), (Pages{{"Seul", "1.htm"}}));

    // Outils is no longer current: nothing rewrites it until it is selected again.
    s.remove("Doc/Outils/Index.htm");
    s.remove("Doc/Outils/IndexG.htm");
    s.clickDomain("Vide");
    EXPECT_TRUE(s.exists("Doc/Pratique/Index.htm"));
    EXPECT_EQ(s.lines("Doc/Index.htm").mid(10, 3),
              (QStringList{"<FONT SIZE=\"5\">", "<A HREF=\"Outils/Index.htm\">Outils</A><BR>",
                           "<A HREF=\"Pratique/Index.htm\">Pratique</A><BR>"}));
    EXPECT_EQ(s.state.currentDomain, QStringLiteral("Vide"));
    EXPECT_EQ(s.state.cListe.texts(), QStringList{"Cat"});
    EXPECT_FALSE(s.exists("Doc/Outils/Index.htm"));
    EXPECT_FALSE(s.exists("Doc/Outils/IndexG.htm"));
    // The navigation page found there was not the program's: it went to the trash, and the user was told.
    EXPECT_EQ(
        s.dialogs.messages(),
        QStringList{"Ces fichiers n'avaient pas été écrits par Quillsite : ils ont été mis à la corbeille "
                    "et remplacés par les pages du site.\r\n\r\n" +
                    s.at("Doc/Outils/IndexG.htm")});
}

TEST(Selection, ADomainWithoutCategoriesAsksForAFirstOne) {
    SiteFixture s;
    s.folder("Neuf");
    s.folder("Autre/C");
    domainesInit(s.state);

    s.dialogs.answer("Première");
    s.clickDomain("Neuf");
    EXPECT_EQ(s.dialogs.texts(), QStringList{"Nom de la nouvelle catégorie :"});
    EXPECT_TRUE(DossierExiste(s.at("Neuf/Première")));
    EXPECT_EQ(s.state.cListe.texts(), QStringList{"Première"});
    EXPECT_EQ(s.state.cListe.selectedText(), QStringLiteral("Première"));
    EXPECT_EQ(s.state.currentDomain, QStringLiteral("Neuf"));
    EXPECT_EQ(s.state.currentCategory, QStringLiteral("Première"));
    EXPECT_TRUE(s.state.controls.tAjouterEnabled);

    // Leaving writes the new category's empty frameset and the domain's index.
    s.clickDomain("Autre");
    EXPECT_EQ(
        s.lines("Neuf/Première/Index.htm").at(7),
        QStringLiteral("<frame NAME=\"Right\" src=\"IndexG.htm\" marginheight = \"0\" marginwidth = \"0\">"));
    EXPECT_EQ(s.lines("Neuf/Index.htm").at(11),
              QStringLiteral("<A HREF=\"Première/Index.htm\">Première</A><BR>"));
}

TEST(Selection, RefusingTheFirstCategoryDeselectsTheDomain) {
    SiteFixture s;
    s.folder("Neuf");
    s.folder("Doc/C");
    domainesInit(s.state);
    s.clickDomain("Doc");

    s.dialogs.answer("Doc/../../ailleurs").answer("");
    s.clickDomain("Neuf");
    EXPECT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_EQ(s.state.dListe.selectedRow(), -1);
    EXPECT_EQ(s.state.currentDomain, QString());
    EXPECT_TRUE(s.state.cListe.texts().isEmpty());
    EXPECT_FALSE(s.exists("Neuf/Index.htm"));
    EXPECT_TRUE(s.exists("Doc/Index.htm")); // the domain left was still written
    EXPECT_FALSE(QFile::exists(s.dir("ailleurs")));
}

TEST(Selection, AddingACategoryTakesItsSortedPlaceAndBecomesCurrent) {
    TwoDomains s;
    s.clickDomain("Doc");
    s.clickCategory("Pratique");
    s.dialogs.answer("pratique").answer("Montage");
    cAjouter_Click(s.state);
    EXPECT_EQ(s.dialogs.messages(), QStringList{"Cette catégorie existe déjà ! Saisissez un autre nom."});
    EXPECT_EQ(s.state.cListe.texts(), (QStringList{"Montage", "Outils", "Pratique"}));
    EXPECT_EQ(s.state.cListe.selectedText(), QStringLiteral("Montage"));
    EXPECT_EQ(s.state.currentCategory, QStringLiteral("Montage"));
    EXPECT_TRUE(s.exists("Doc/Pratique/IndexG.htm")); // the category left first
}

TEST(Selection, InitRelistsWithoutCarryingTheOldSiteAlong) {
    TwoDomains s;
    s.folder("ReadOnly/C");
    s.clickDomain("Doc");
    s.clickCategory("Outils");
    domainesInit(s.state);
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"Doc", "Vide"}));
    EXPECT_TRUE(s.state.cListe.texts().isEmpty());
    EXPECT_TRUE(s.state.currentDomain.isEmpty() && s.state.currentCategory.isEmpty());
    Enregistrer(s.state);
    EXPECT_FALSE(s.exists("Doc/Index.htm"));
    EXPECT_FALSE(s.exists("Doc/Outils/Index.htm"));
}

TEST(Selection, DomainesListerSelectsTheNamedDomainAndSavesTheSite) {
    TwoDomains s;
    s.folder("ReadOnly");
    s.clickDomain("Doc");
    s.clickCategory("Outils");
    s.state.controls.tTexte = QStringLiteral("texte");

    DomainesLister(s.state, QStringLiteral("VIDE"));
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"Doc", "ReadOnly", "Vide"}));
    EXPECT_EQ(s.state.dListe.selectedText(), QStringLiteral("Vide"));
    EXPECT_EQ(s.state.cListe.texts(), QStringList{"Cat"});
    EXPECT_TRUE(s.state.controls.cAjouterEnabled);
    EXPECT_FALSE(s.state.controls.tAjouterEnabled);
    EXPECT_EQ(s.state.controls.tTexte, QString());
    // The domain and category that were current are written with their lists, not emptied ones.
    EXPECT_EQ(s.lines("Doc/Index.htm").at(11), QStringLiteral("<A HREF=\"Outils/Index.htm\">Outils</A><BR>"));
    EXPECT_EQ(s.lines("Doc/Outils/Index.htm").at(14),
              QStringLiteral("<A HREF=\"2.htm\">- &lt;b&gt; &amp; Alpha</A><BR>"));
    // The home page lists every domain; the selected one was saved too (Enregistrer) and is no longer
    // current.
    EXPECT_EQ(s.lines("Index.html").mid(10, 4),
              (QStringList{"<FONT SIZE=\"4\"><CENTER>", "<A HREF=\"Doc/Index.htm\" TARGET=\"_top\">Doc</A>",
                           "<A HREF=\"ReadOnly/Index.htm\" TARGET=\"_top\">ReadOnly</A>",
                           "<A HREF=\"Vide/Index.htm\" TARGET=\"_top\">Vide</A>"}));
    EXPECT_TRUE(s.exists("Vide/Index.htm"));
    EXPECT_EQ(s.state.currentDomain, QString());

    DomainesLister(s.state);
    EXPECT_EQ(s.state.dListe.selectedRow(), -1);
    EXPECT_FALSE(s.state.controls.cAjouterEnabled);
}

TEST(Selection, TrickyNamesListAndGenerateUnchanged) {
    SiteFixture s;
    s.page("Été & Cie/<b>/1.htm", "Première page");
    s.page("Été & Cie/<b>/index.htm", "ancienne");
    s.page("Été & Cie/<b>/IndexG.htm", "ancienne");
    s.page("Été & Cie/a  b/1.htm", "x");
    s.folder("doc/C");
    s.folder("Doc/C");
    s.folder("images/C");
    domainesInit(s.state);
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"doc", "Doc", "Été & Cie"}));

    s.clickDomain("Été & Cie");
    EXPECT_EQ(s.state.cListe.texts(), (QStringList{"<b>", "a  b"}));
    s.clickCategory("<b>");
    EXPECT_EQ(s.state.tListe.texts(), QStringList{"Première page"});
    Enregistrer(s.state);

    EXPECT_EQ(s.lines("Index.htm").at(13),
              QStringLiteral("<A HREF=\"Été & Cie/Index.htm\" TARGET=\"_top\">Été & Cie</A>"));
    EXPECT_EQ(s.lines("Été & Cie/Index.htm").at(11), QStringLiteral("<A HREF=\"<b>/Index.htm\"><b></A><BR>"));
    EXPECT_EQ(s.lines("Été & Cie/<b>/Index.htm").at(2), QStringLiteral("<TITLE>Été & Cie / <b></TITLE>"));
    EXPECT_EQ(
        s.lines("Été & Cie/<b>/Index.htm").at(7),
        QStringLiteral("<frame NAME=\"Right\" src=\"1.htm\" marginheight = \"0\" marginwidth = \"0\">"));
    // Names are written in Windows-1252.
    EXPECT_TRUE(readFile(s.at("Index.htm")).contains("\xC9t\xE9 & Cie/Index.htm"));
    // On a case-sensitive disk the user's "index.htm" stays beside the written "Index.htm".
    EXPECT_EQ(s.lines("Été & Cie/<b>/index.htm").at(2), QStringLiteral("<TITLE>ancienne</TITLE>"));
}
