#include "commands/mainstate.h"
#include "explorer/explorertab.h"
#include "explorertest.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QSignalSpy>

using namespace qs;
using namespace qs::test;

namespace {

class ExplorerTabTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 6), QTime(7, 8)), "marie"};
    MainState state{dialogs, clock, "/opt/quillsite/"};
    ExplorerTab tab{state};
    TempDir dir;
    void SetUp() override {
        QSettings("Vendrel", "quillsite").clear();
        tab.walker().setEventInterval(0);
        state.values.NiveauRep = "illimité";
    }
    void start(const QString& address) {
        tab.tFichier_Change(address);
        tab.bExplorer_Click();
    }
    LinkTreeModel::Node* node(const QString& relativeKey) { return tab.N().find(native(dir(relativeKey))); }
    QString selectedKey() {
        auto* n = tab.selectedNode();
        return n ? n->key : QString();
    }
    void select(const QString& relativeKey) {
        ASSERT_NE(node(relativeKey), nullptr) << relativeKey;
        tab.select(node(relativeKey));
    }
    // The button and the stop button as shown.
    static QString shown(const ExplorerControls& c) {
        return c.bExplorerCaption + QString::asprintf(" enabled=%d default=%d cancel=%d stop=%d",
                                                      c.bExplorerEnabled, c.bExplorerDefault,
                                                      c.bExplorerCancel, c.toolBarButton3Enabled);
    }
    // A site where shared.htm shows three times: under i.htm, a.htm and b.htm.
    void makeSharedSite() {
        writeFile(dir("i.htm"), "<A HREF=shared.htm><A HREF=a.htm><A HREF=b.htm><IMG SRC=pic.gif>");
        writeFile(dir("a.htm"), "<A HREF=shared.htm>");
        writeFile(dir("b.htm"), "<A HREF=shared.htm>");
        writeFile(dir("shared.htm"), "<IMG SRC=pic.gif><A HREF=leaf.htm>");
        writeFile(dir("leaf.htm"), "<A HREF=shared.htm><A HREF=deeper.htm>");
        writeFile(dir("pic.gif"), "GIF89a");
    }
};

} // namespace

TEST_F(ExplorerTabTest, StartAddressDecidesTheButton) {
    writeFile(dir("page.htm"), "");
    writeFile(dir("notes.txt"), "");
    for (const auto& row : tableRows("explorer/start-addresses.txt")) {
        const QString text = str(row[0]).replace("ROOT/", dir.path());
        tab.tFichier_Change(text);
        EXPECT_TRUE(shown(tab.controls()).contains(str(row[1]))) << text;
        EXPECT_EQ(state.controls.tFichier, text);
    }
    // Only existing files are remembered, the last one last.
    EXPECT_EQ(ParamètreLire("Dossier"), dir("notes.txt"));
}

TEST_F(ExplorerTabTest, AWalkRunsAndStopsWithTheButton) {
    for (int i = 0; i < 20; ++i)
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)),
                  QStringLiteral("<A HREF=p%1.htm><IMG SRC=a.gif><IMG SRC=b.gif>").arg(i + 1).toLatin1());
    QList<ExplorerControls> during;
    int depthSeen = 0;
    dialogs.onEvents = [&] {
        during.append(tab.controls());
        depthSeen = std::max(depthSeen, tab.walker().depth());
        if (dialogs.eventRuns() == 10) {
            EXPECT_TRUE(tab.running());
            tab.bExplorer_Click(); // "Arrêter"
            EXPECT_FALSE(tab.controls().bExplorerEnabled);
            EXPECT_EQ(tab.N().tag(), "STOP");
        }
    };
    start(dir("p0.htm"));
    ASSERT_GE(during.size(), 10);
    EXPECT_EQ(shown(during[0]), "Arrêter enabled=1 default=0 cancel=1 stop=1");
    EXPECT_GE(depthSeen, 2);
    EXPECT_FALSE(tab.running());
    EXPECT_EQ(tab.walker().depth(), 0);
    EXPECT_EQ(tab.N().size(), 11); // the root and the ten nodes added before the stop
    EXPECT_EQ(shown(tab.controls()), "Explorer enabled=1 default=1 cancel=0 stop=0");
    EXPECT_EQ(dialogs.beeps(), 1);
    EXPECT_EQ(selectedKey(), dir("p0.htm"));
    // The next walk starts afresh: the stop mark is cleared and the tree rebuilt.
    dialogs.onEvents = nullptr;
    tab.bExplorer_Click();
    EXPECT_EQ(tab.N().size(), 1 + 20 * 3); // each page shows its link and both images
    EXPECT_EQ(dialogs.beeps(), 2);
}

TEST_F(ExplorerTabTest, WalkUsesTheWindowsSwitchesAndDepth) {
    writeFile(dir("i.htm"), "<A HREF=a.htm><IMG SRC=x.gif>");
    writeFile(dir("a.htm"), "<A HREF=b.htm>");
    writeFile(dir("b.htm"), "<A HREF=c.htm>");
    state.controls.cType = {false, true, true, false, true};
    state.values.NiveauRep = "1";
    start(dir("i.htm"));
    EXPECT_EQ(tab.N().printout(), QString("[htm] %1\n  [htm] a.htm\n    [htm] b.htm\n").arg(dir("i.htm")));
}

TEST_F(ExplorerTabTest, DoubleClickShowsPagesInTheBrowserPane) {
    makeSharedSite();
    start(dir("i.htm"));
    QSignalSpy browse(&state, &MainState::browse);
    select("shared.htm<2>");
    tab.N_DblClick();
    ASSERT_EQ(browse.count(), 1);
    EXPECT_EQ(browse.at(0).at(0).toString(), native(dir("shared.htm")));
    EXPECT_EQ(state.controls.currentTab, qs::Tab::Explorer);
    state.controls.currentTab = qs::Tab::Catalogue;
    select("pic.gif");
    tab.N_DblClick();
    EXPECT_EQ(browse.count(), 1);
    EXPECT_EQ(state.controls.currentTab, qs::Tab::Catalogue);
    EXPECT_EQ(tab.controls().bExplorerCaption, "Explorer");
    // During a walk the button stays the stop button.
    dialogs.resetEventRuns();
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 3) {
            tab.select(tab.N().find(dir("i.htm")));
            tab.N_DblClick();
            EXPECT_EQ(tab.controls().bExplorerCaption, "Arrêter");
            EXPECT_TRUE(tab.controls().toolBarButton3Enabled);
        }
    };
    tab.bExplorer_Click();
    EXPECT_EQ(browse.count(), 2);
}

TEST_F(ExplorerTabTest, PopUpMenuEnabling) {
    makeSharedSite();
    writeFile(dir("i.htm"),
              "<A HREF=shared.htm><A HREF=a.htm><A HREF=b.htm><IMG SRC=pic.gif><A HREF=deeper.htm>");
    state.values.NiveauRep = "1"; // leaf.htm shows but is not read
    start(dir("i.htm"));
    EXPECT_EQ(NoeudsMenu::texts(),
              (QStringList{"Précédent", "Origine", "Suivant", "-", "Déployer", NoeudsMenu::editCaption()}));
    // The entries a node's menu offers: "P O N D E" for Previous, Origin, Next, Deploy and Edit, "-" where
    // one is greyed.
    auto menuAt = [&](const QString& relativeKey) {
        const auto menu = tab.N_MouseUp(tab.N().indexOf(node(relativeKey)));
        EXPECT_EQ(selectedKey(), native(dir(relativeKey)));
        QString shown;
        for (const int item : {NoeudsMenu::Previous, NoeudsMenu::Origin, NoeudsMenu::Next, NoeudsMenu::Deploy,
                               NoeudsMenu::Edit})
            shown += menu && menu->enabled[item] ? u"PON-DE"[item] : u'-';
        return shown;
    };
    const std::pair<const char*, const char*> menus[] = {
        {"i.htm", "-ON-E"},         // an explored page: expanded, so nothing to deploy
        {"leaf.htm", "-ONDE"},      // a page shown but not read
        {"shared.htm<1>", "PONDE"}, // an occurrence: its file is its first node's
        {"pic.gif", "-OND-"},       // a picture: deployable (a file, collapsed), not editable
        {"deeper.htm", "-ON--"},    // a missing page: neither
    };
    for (const auto& [key, shown] : menus)
        EXPECT_EQ(menuAt(QString::fromUtf8(key)), QString::fromLatin1(shown)) << key;
    // A collapsed explored page is deployable again.
    tab.N().setExpanded(node("shared.htm"), false);
    EXPECT_EQ(menuAt("shared.htm").at(3), u'D');
    // Nothing under the pointer: no menu.
    EXPECT_FALSE(tab.N_MouseUp(QModelIndex()).has_value());
}

TEST_F(ExplorerTabTest, MenuMovesBetweenOccurrences) {
    makeSharedSite();
    start(dir("i.htm"));
    ASSERT_NE(node("shared.htm<3>"), nullptr) << "read before a.htm and b.htm, leaf.htm has the first";
    ASSERT_EQ(node("shared.htm<4>"), nullptr);
    dialogs.clear();
    // The commands of `letters` (P previous, N next, O origin) from the node `from`: where each one leaves
    // the selection, or "beep" when there is nowhere to go.
    auto moves = [&](const QString& from, const char* letters) {
        select(from);
        QStringList out;
        for (const char* l = letters; *l; ++l) {
            const int beeps = dialogs.beeps();
            tab.mN_Click(*l == 'P'   ? NoeudsMenu::Previous
                         : *l == 'N' ? NoeudsMenu::Next
                                     : NoeudsMenu::Origin);
            out.append(dialogs.beeps() > beeps ? "beep" : selectedKey().mid(dir.path().size()));
        }
        return out.join(u' ');
    };
    EXPECT_EQ(moves("shared.htm<2>", "PPPNNNNO"), "shared.htm<1> shared.htm beep shared.htm<1> shared.htm<2> "
                                                  "shared.htm<3> beep shared.htm");
    EXPECT_TRUE(dialogs.messages().isEmpty());
    tab.mN_Click(NoeudsMenu::Origin); // on the first node: its address is shown
    EXPECT_EQ(dialogs.messages(), QStringList{native(dir("shared.htm"))});
    // Any file has occurrences: the picture shows under i.htm and shared.htm.
    EXPECT_EQ(moves("pic.gif", "NN"), "pic.gif<1> beep");
}

TEST_F(ExplorerTabTest, DeployReadsANodeInPlace) {
    makeSharedSite();
    writeFile(dir("deeper.htm"), "<IMG SRC=deep.gif>");
    state.values.NiveauRep = "1";
    start(dir("i.htm"));
    // leaf.htm is shown under shared.htm, unread; deploying it reads it to the depth limit.
    select("leaf.htm");
    tab.mN_Click(NoeudsMenu::Deploy);
    EXPECT_EQ(node("leaf.htm")->children.size(), 2u);
    EXPECT_NE(node("shared.htm<3>"), nullptr);
    ASSERT_NE(node("deeper.htm"), nullptr);
    EXPECT_EQ(node("deeper.htm")->children.size(), 1u);
    EXPECT_EQ(tab.controls().bExplorerCaption, "Explorer");
    EXPECT_EQ(dialogs.beeps(), 1) << "only the walk beeps";
    // Deploying an occurrence reads its page again, with the links under the occurrence.
    select("shared.htm<1>");
    tab.mN_Click(NoeudsMenu::Deploy);
    QStringList under;
    for (const auto& child : node("shared.htm<1>")->children)
        under << child->text;
    EXPECT_EQ(under, (QStringList{"leaf.htm<1>", "pic.gif<2>"}));
    EXPECT_TRUE(node("shared.htm<1>")->expanded);
}

TEST_F(ExplorerTabTest, DeployAfterAStoppedWalkStillWorks) {
    makeSharedSite();
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 2)
            tab.bExplorer_Click();
    };
    start(dir("i.htm"));
    dialogs.onEvents = nullptr;
    ASSERT_EQ(tab.N().size(), 3);
    select("shared.htm");
    tab.mN_Click(NoeudsMenu::Deploy);
    EXPECT_EQ(node("shared.htm")->children.size(), 2u);
    // Stopping a deployment gives the button back.
    state.values.NiveauRep = "1";
    start(dir("i.htm"));
    ASSERT_TRUE(node("leaf.htm")->children.empty());
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 1)
            tab.bExplorer_Click();
    };
    dialogs.resetEventRuns();
    select("leaf.htm");
    tab.mN_Click(NoeudsMenu::Deploy);
    EXPECT_EQ(node("leaf.htm")->children.size(), 1u);
    EXPECT_TRUE(tab.controls().bExplorerEnabled);
    EXPECT_EQ(tab.controls().bExplorerCaption, "Explorer");
    EXPECT_EQ(tab.walker().depth(), 0);
}

TEST_F(ExplorerTabTest, EditOpensTheFirstNodesFileInTheTextEditor) {
    makeSharedSite();
    start(dir("i.htm"));
    QStringList launched;
    bool succeed = true;
    tab.setLauncher([&](const QString& program, const QStringList& arguments) {
        launched = QStringList{program} + arguments;
        return succeed;
    });
    ParamètreEcrire("EditeurTexte", "mon-editeur --nouvelle-fenetre");
    EXPECT_EQ(NoeudsMenu::texts().last(), "Éditer avec mon-editeur");
    select("shared.htm<2>");
    tab.mN_Click(NoeudsMenu::Edit);
    EXPECT_EQ(launched, (QStringList{"mon-editeur", "--nouvelle-fenetre", native(dir("shared.htm"))}));
    succeed = false;
    tab.mN_Click(NoeudsMenu::Edit);
    ParamètreEcrire("EditeurTexte", "\"/opt/mon éditeur/bin/ed\"");
    EXPECT_EQ(textEditorCommand("/s/a.htm"), (QStringList{"/opt/mon éditeur/bin/ed", "/s/a.htm"}));
    // Without a setting the editor is found on the path; with none there, the user is told what to do.
    ParamètreEcrire("EditeurTexte", "");
    const QByteArray savedPath = qgetenv("PATH");
    TempDir bin;
    for (const char* program : {"mousepad", "xdg-open"}) {
        writeFile(bin(program), "#!/bin/sh\n");
        QFile::setPermissions(bin(program), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    qputenv("PATH", QFile::encodeName(bin.path()));
    EXPECT_EQ(textEditorCommand("/s/a b.htm"), (QStringList{bin("mousepad"), "/s/a b.htm"}));
    QFile::remove(bin("mousepad"));
    EXPECT_EQ(textEditorCommand("/s/a.htm"), (QStringList{bin("xdg-open"), "/s/a.htm"}));
    QFile::remove(bin("xdg-open"));
    tab.mN_Click(NoeudsMenu::Edit);
    qputenv("PATH", savedPath);
    const QString file = native(dir("shared.htm"));
    EXPECT_EQ(dialogs.messages(),
              (QStringList{"Je ne peux pas lancer l'éditeur de texte \"mon-editeur\" pour le fichier \"" +
                               file + "\".",
                           "Je ne trouve aucun éditeur de texte pour ouvrir le fichier \"" + file +
                               "\".\r\n\r\nIndiquez-en un dans le paramètre \"EditeurTexte\"."}));
}

TEST_F(ExplorerTabTest, OpeningAnotherSiteDuringAWalkRestartsIt) {
    makeSharedSite();
    writeFile(dir("other/home.htm"), "<A HREF=one.htm><A HREF=two.htm>");
    QSignalSpy browse(&state, &MainState::browse);
    tab.exploreHome(); // no site: nothing
    EXPECT_EQ(tab.N().size(), 0);
    EXPECT_EQ(browse.count(), 0);
    state.values.Adresse = dir("i.htm");
    bool reopened = false;
    dialogs.onEvents = [&] {
        if (!reopened) {
            reopened = true;
            state.values.Adresse = dir("other/home.htm");
            tab.exploreHome(); // as the window would from within the walk's events
            EXPECT_TRUE(tab.running());
        }
    };
    tab.exploreHome();
    EXPECT_FALSE(tab.running());
    EXPECT_EQ(tab.N().printout(),
              QString("[htm] %1\n  [htm] ???   one.htm\n  [htm] ???   two.htm\n").arg(dir("other/home.htm")));
    EXPECT_EQ(tab.walker().depth(), 0);
    EXPECT_EQ(dialogs.beeps(), 2);
    // Each opening shows its home page; the address is remembered.
    ASSERT_EQ(browse.count(), 2);
    EXPECT_EQ(browse.at(1).at(0).toString(), dir("other/home.htm"));
    EXPECT_EQ(state.controls.tFichier, dir("other/home.htm"));
    EXPECT_EQ(ParamètreLire("Dossier"), dir("other/home.htm"));
}
