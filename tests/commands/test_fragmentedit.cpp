// The header and footer fragments: how they are read into the pages, edited and saved.
#include "commands/fragmentedit.h"
#include "commands/regenerate.h"
#include "generate/fragments.h"

#include "sitefixture.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(Fragments, EachLineIsPrecededByALineBreak) {
    SiteFixture s;
    writeFile(s.at("a.txt"), "A\r\nB\r\n");
    writeFile(s.at("b.txt"), "A\nB");
    writeFile(s.at("c.txt"), "\r\n\r\nx");
    writeFile(s.at("e.txt"), "");
    EXPECT_EQ(readFragment(s.at("a.txt")), QStringLiteral("\r\nA\r\nB"));
    EXPECT_EQ(readFragment(s.at("b.txt")), QStringLiteral("\r\nA\r\nB"));
    EXPECT_EQ(readFragment(s.at("c.txt")), QStringLiteral("\r\n\r\n\r\nx"));
    EXPECT_EQ(readFragment(s.at("e.txt")), QString());
    EXPECT_EQ(readFragment(s.at("absent.txt")), QString());
    s.folder("dossier.txt");
    QString error;
    EXPECT_FALSE(readFragment(s.at("dossier.txt"), &error).has_value());
    EXPECT_TRUE(error.contains(s.at("dossier.txt")));
}

TEST(Fragments, TheReadersFillTheStateFromTheSiteFolder) {
    SiteFixture s;
    writeFile(s.at("head_d.txt"), "hd");
    writeFile(s.at("foot_d.txt"), "fd");
    writeFile(s.at("head_c.txt"), "hc");
    writeFile(s.at("foot_c.txt"), "fc");
    EXPECT_TRUE(sendheaderd(s.state) && sendfooterd(s.state) && sendheaderc(s.state) && sendfooterc(s.state));
    EXPECT_EQ(s.state.homeHeader, QStringLiteral("\r\nhd"));
    EXPECT_EQ(s.state.homeFooter, QStringLiteral("\r\nfd"));
    EXPECT_EQ(s.state.categoryListHeader, QStringLiteral("\r\nhc"));
    EXPECT_EQ(s.state.categoryListFooter, QStringLiteral("\r\nfc"));
}

TEST(FragmentEditing, TheHeaderBoxTakesTheTextAndTheRestIsLocked) {
    SiteFixture s;
    writeFile(s.at("head_d.txt"), "A\r\nB\r\n");
    ASSERT_TRUE(fragmentEdit(s.state, Fragment::HeadD));
    const ControlState& c = s.state.controls;
    EXPECT_EQ(c.tTexteHead, QStringLiteral("\r\nA\r\nB"));
    EXPECT_EQ(c.tTexteFoot, QStringLiteral("C'est en haut qu'il faut écrire !"));
    EXPECT_EQ(c.tTexte, QStringLiteral("C'est en haut qu'il faut écrire !"));
    EXPECT_TRUE(c.tTexteHeadEnabled);
    EXPECT_FALSE(c.tTexteFootEnabled || c.tTexteEnabled || c.catalogueTabEnabled);
    EXPECT_TRUE(c.HFOKVisible && c.tAnnulerVisible);
    EXPECT_EQ(c.currentTab, Tab::Editor);
    EXPECT_EQ(s.state.fragmentPath, s.at("head_d.txt"));

    // Saved unchanged, the file gains an empty first line each time.
    ASSERT_TRUE(HFOK_Click(s.state));
    EXPECT_EQ(readFile(s.at("head_d.txt")), QByteArray("\r\nA\r\nB\r\n"));
    EXPECT_FALSE(c.HFOKVisible || c.tAnnulerVisible);
    EXPECT_TRUE(c.tTexteHeadEnabled && c.tTexteFootEnabled && c.tTexteEnabled && c.catalogueTabEnabled);
    EXPECT_TRUE(s.state.fragmentPath.isEmpty());
}

TEST(FragmentEditing, SavingTheCategoryListFooterWritesOnlyThatFile) {
    SiteFixture s;
    writeFile(s.at("head_c.txt"), "t\xEAte\r\n");
    writeFile(s.at("foot_c.txt"), "ancien\r\n");
    ASSERT_TRUE(fragmentEdit(s.state, Fragment::FootC));
    EXPECT_EQ(s.state.controls.tTexteHead, QStringLiteral("C'est en bas qu'il faut écrire !"));
    EXPECT_FALSE(s.state.controls.tTexteHeadEnabled);
    EXPECT_EQ(s.state.controls.tTexteFoot, QStringLiteral("\r\nancien"));

    // A regeneration while the fragment is open reads the fragments but keeps the one being edited.
    s.folder("D/C");
    s.state.currentDomain = QStringLiteral("D");
    Enregistrer(s.state);
    EXPECT_EQ(s.state.fragmentPath, s.at("foot_c.txt"));

    // The box's own line ends (LF from the window) become CR LF.
    s.state.controls.tTexteFoot = QStringLiteral("<P>Pied é</P>\n\nfin\n");
    ASSERT_TRUE(HFOK_Click(s.state));
    EXPECT_EQ(readFile(s.at("foot_c.txt")), QByteArray("<P>Pied \xE9</P>\r\n\r\nfin\r\n\r\n"));
    EXPECT_EQ(readFile(s.at("head_c.txt")), QByteArray("t\xEAte\r\n"));

    // The next domain page carries the new footer.
    s.state.currentDomain = QStringLiteral("D");
    dEnregistrer(s.state);
    const QStringList index = s.lines("D/Index.htm");
    EXPECT_EQ(index.mid(13, 6), (QStringList{"<!-- END -->", "", "<P>Pied é</P>", "", "fin", ""}));
    EXPECT_EQ(index.mid(8, 2), (QStringList{"", "tête"}));
}

TEST(FragmentEditing, AFailedSaveKeepsTheEditingState) {
    SiteFixture s;
    writeFile(s.at("foot_d.txt"), "x\r\n");
    ASSERT_TRUE(fragmentEdit(s.state, Fragment::FootD));
    s.state.controls.tTexteFoot = QStringLiteral("nouveau");
    ReadOnlyFolder locked(s.root());
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    EXPECT_FALSE(HFOK_Click(s.state));
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(s.dialogs.messages()[0].contains(s.at("foot_d.txt")));
    EXPECT_TRUE(s.state.controls.HFOKVisible);
    EXPECT_EQ(s.state.controls.tTexteFoot, QStringLiteral("nouveau"));
    EXPECT_EQ(readFile(s.at("foot_d.txt")), QByteArray("x\r\n"));
}

TEST(FragmentEditing, TheSaveGoesToTheFragmentOpened) {
    SiteFixture s;
    EXPECT_FALSE(HFOK_Click(s.state)); // nothing being edited: nothing written
    EXPECT_FALSE(s.exists("head_d.txt"));

    writeFile(s.at("head_c.txt"), "avant\r\n");
    ASSERT_TRUE(fragmentEdit(s.state, Fragment::HeadC));
    s.state.controls.tTexteHead = QStringLiteral("après");
    // Another site is opened meanwhile.
    s.state.values.Répertoire = s.dir("autre/");
    ASSERT_TRUE(HFOK_Click(s.state));
    EXPECT_EQ(readFile(s.at("head_c.txt")), QByteArray("apr\xE8s\r\n"));
    EXPECT_FALSE(QFile::exists(s.dir("autre/head_c.txt")));
}
