#include "commands/mainstate.h"
#include "explorer/explorertab.h"
#include "explorertest.h"
#include "lib/clock.h"
#include "lib/settings.h"

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
    FixedClock clock{QDateTime(QDate(2024, 5, 6), QTime(7, 8)), QStringLiteral("marie")};
    MainState state{dialogs, clock, QStringLiteral("/opt/quillsite/")};
    ExplorerTab tab{state};
    TempDir dir;

    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        tab.walker().setEventInterval(0);
        state.values.NiveauRep = QStringLiteral("illimité");
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
    struct Case {
        QString text;
        bool enabled;
        bool isDefault; // the file exists
    } cases[] = {
        {"", false, false},
        {"   ", false, false},
        {dir("page.htm"), true, true},
        {dir("new.html"), true, false}, // may be explored before it exists
        {dir("new.SHTM"), true, false},
        {dir("new.shtml"), true, false},
        {dir("notes.txt"), false, true}, // remembered and default, yet not explorable
        {dir("noext"), false, false},
        {"HTTP://host/", true, false},
        {"http:x", true, false},
        {"shttp://host", true, false},
        {"HTTPS://host/", true, false},
        {"ftp://host/file.zip", true, false},
        {"mailto:x@y.fr", false, false},
        {"C:\\site\\file", false, false},
        {"C:\\site\\file.htm", true, false},
        {dir("page.htm "), false, false},
    };
    for (const Case& c : cases) {
        tab.tFichier_Change(c.text);
        EXPECT_EQ(tab.controls().bExplorerEnabled, c.enabled) << c.text;
        EXPECT_EQ(tab.controls().bExplorerDefault, c.isDefault) << c.text;
        EXPECT_EQ(state.controls.tFichier, c.text);
    }
    // Only existing files are remembered, the last one last.
    EXPECT_EQ(ParamètreLire(QStringLiteral("Dossier")), dir("notes.txt"));
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
            EXPECT_EQ(tab.N().tag(), QStringLiteral("STOP"));
        }
    };
    start(dir("p0.htm"));

    ASSERT_GE(during.size(), 10);
    EXPECT_EQ(during[0].bExplorerCaption, QStringLiteral("Arrêter"));
    EXPECT_TRUE(during[0].bExplorerEnabled);
    EXPECT_TRUE(during[0].bExplorerCancel);
    EXPECT_FALSE(during[0].bExplorerDefault);
    EXPECT_TRUE(during[0].toolBarButton3Enabled);
    EXPECT_GE(depthSeen, 2);

    EXPECT_FALSE(tab.running());
    EXPECT_EQ(tab.walker().depth(), 0);
    EXPECT_EQ(tab.N().size(), 11); // the root and the ten nodes added before the stop
    const ExplorerControls& after = tab.controls();
    EXPECT_EQ(after.bExplorerCaption, QStringLiteral("Explorer"));
    EXPECT_TRUE(after.bExplorerEnabled);
    EXPECT_TRUE(after.bExplorerDefault);
    EXPECT_FALSE(after.bExplorerCancel);
    EXPECT_FALSE(after.toolBarButton3Enabled);
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
    state.values.NiveauRep = QStringLiteral("1");
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
    EXPECT_EQ(tab.controls().bExplorerCaption, QStringLiteral("Explorer"));

    // During a walk the button stays the stop button.
    dialogs.resetEventRuns();
    dialogs.onEvents = [&] {
        if (dialogs.eventRuns() == 3) {
            tab.select(tab.N().find(dir("i.htm")));
            tab.N_DblClick();
            EXPECT_EQ(tab.controls().bExplorerCaption, QStringLiteral("Arrêter"));
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
    state.values.NiveauRep = QStringLiteral("1"); // leaf.htm shows but is not read
    start(dir("i.htm"));
    EXPECT_EQ(NoeudsMenu::texts(),
              (QStringList{"Précédent", "Origine", "Suivant", "-", "Déployer", NoeudsMenu::editCaption()}));

    // The entries a node's menu offers: "P O N D E" for Previous, Origin, Next, Deploy and Edit, "-" where
    // one is greyed.
    auto menuAt = [&](const QString& relativeKey) {
        const auto menu = tab.N_MouseUp(tab.N().indexOf(node(relativeKey)));
        EXPECT_TRUE(menu.has_value()) << relativeKey;
        EXPECT_EQ(selectedKey(), native(dir(relativeKey)));
        const std::pair<NoeudsMenu::Item, char> letters[] = {{NoeudsMenu::Previous, 'P'},
                                                             {NoeudsMenu::Origin, 'O'},
                                                             {NoeudsMenu::Next, 'N'},
                                                             {NoeudsMenu::Deploy, 'D'},
                                                             {NoeudsMenu::Edit, 'E'}};
        QString shown;
        for (const auto& [item, letter] : letters)
            shown += QChar::fromLatin1(menu && menu->enabled[item] ? letter : '-');
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
    ASSERT_NE(node("shared.htm<2>"), nullptr);
    ASSERT_NE(node("shared.htm<3>"), nullptr) << "read before a.htm and b.htm, leaf.htm has the first";
    ASSERT_EQ(node("shared.htm<4>"), nullptr);
    dialogs.clear();

    select("shared.htm<2>");
    tab.mN_Click(NoeudsMenu::Previous);
    EXPECT_EQ(selectedKey(), native(dir("shared.htm<1>")));
    tab.mN_Click(NoeudsMenu::Previous);
    EXPECT_EQ(selectedKey(), native(dir("shared.htm")));
    tab.mN_Click(NoeudsMenu::Previous);
    EXPECT_EQ(dialogs.beeps(), 1) << "no occurrence before the first";
    EXPECT_EQ(selectedKey(), native(dir("shared.htm")));

    tab.mN_Click(NoeudsMenu::Next);
    EXPECT_EQ(selectedKey(), native(dir("shared.htm<1>")));
    tab.mN_Click(NoeudsMenu::Next);
    tab.mN_Click(NoeudsMenu::Next);
    EXPECT_EQ(selectedKey(), native(dir("shared.htm<3>")));
    tab.mN_Click(NoeudsMenu::Next);
    EXPECT_EQ(dialogs.beeps(), 2) << "no occurrence after the last";

    tab.mN_Click(NoeudsMenu::Origin);
    EXPECT_EQ(selectedKey(), native(dir("shared.htm")));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    tab.mN_Click(NoeudsMenu::Origin);
    EXPECT_EQ(dialogs.messages(), QStringList{native(dir("shared.htm"))});

    // Any file has occurrences: the picture shows under i.htm and shared.htm.
    select("pic.gif");
    tab.mN_Click(NoeudsMenu::Next);
    EXPECT_EQ(selectedKey(), native(dir("pic.gif<1>")));
    tab.mN_Click(NoeudsMenu::Next);
    EXPECT_EQ(dialogs.beeps(), 3);
}

TEST_F(ExplorerTabTest, DeployReadsANodeInPlace) {
    makeSharedSite();
    writeFile(dir("deeper.htm"), "<IMG SRC=deep.gif>");
    state.values.NiveauRep = QStringLiteral("1");
    start(dir("i.htm"));
    // leaf.htm is shown under shared.htm, unread; deploying it reads it to the depth limit.
    select("leaf.htm");
    tab.mN_Click(NoeudsMenu::Deploy);
    EXPECT_EQ(node("leaf.htm")->children.size(), 2u);
    EXPECT_NE(node("shared.htm<3>"), nullptr);
    ASSERT_NE(node("deeper.htm"), nullptr);
    EXPECT_EQ(node("deeper.htm")->children.size(), 1u);
    EXPECT_EQ(tab.controls().bExplorerCaption, QStringLiteral("Explorer"));
    EXPECT_EQ(dialogs.beeps(), 1) << "only the walk beeps";

    // Deploying an occurrence reads its page again, with the links under the occurrence.
    select("shared.htm<1>");
    tab.mN_Click(NoeudsMenu::Deploy);
    const auto* occurrence = node("shared.htm<1>");
    ASSERT_EQ(occurrence->children.size(), 2u);
    EXPECT_EQ(occurrence->children[0]->text, QStringLiteral("leaf.htm<1>"));
    EXPECT_EQ(occurrence->children[1]->text, QStringLiteral("pic.gif<2>"));
    EXPECT_TRUE(occurrence->expanded);
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
    state.values.NiveauRep = QStringLiteral("1");
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
    EXPECT_EQ(tab.controls().bExplorerCaption, QStringLiteral("Explorer"));
    EXPECT_EQ(tab.walker().depth(), 0);
}

TEST_F(ExplorerTabTest, EditOpensTheFirstNodesFile) {
    makeSharedSite();
    start(dir("i.htm"));
    QStringList launched;
    bool succeed = true;
    tab.setLauncher([&](const QString& program, const QStringList& arguments) {
        launched = QStringList{program} + arguments;
        return succeed;
    });
    ParamètreEcrire(QStringLiteral("EditeurTexte"), QStringLiteral("mon-editeur --nouvelle-fenetre"));
    EXPECT_EQ(NoeudsMenu::texts().last(), QStringLiteral("Éditer avec mon-editeur"));
    select("shared.htm<2>");
    tab.mN_Click(NoeudsMenu::Edit);
    EXPECT_EQ(launched, (QStringList{"mon-editeur", "--nouvelle-fenetre", native(dir("shared.htm"))}));
    EXPECT_TRUE(dialogs.messages().isEmpty());

    succeed = false;
    tab.mN_Click(NoeudsMenu::Edit);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Je ne peux pas lancer l'éditeur de texte "
                                                             "\"mon-editeur\" pour le fichier \"%1\".")
                                                  .arg(native(dir("shared.htm")))});
}

TEST_F(ExplorerTabTest, TextEditorIsFoundOnThePath) {
    const QByteArray savedPath = qgetenv("PATH");
    TempDir bin;
    writeFile(bin("mousepad"), "#!/bin/sh\n");
    QFile::setPermissions(bin("mousepad"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    writeFile(bin("xdg-open"), "#!/bin/sh\n");
    QFile::setPermissions(bin("xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin.path()));

    EXPECT_EQ(textEditorCommand(QStringLiteral("/s/a b.htm")),
              (QStringList{bin("mousepad"), QStringLiteral("/s/a b.htm")}));
    QFile::remove(bin("mousepad"));
    EXPECT_EQ(textEditorCommand(QStringLiteral("/s/a.htm")),
              (QStringList{bin("xdg-open"), QStringLiteral("/s/a.htm")}));
    QFile::remove(bin("xdg-open"));
    EXPECT_TRUE(textEditorCommand(QStringLiteral("/s/a.htm")).isEmpty());
    // Nothing at all: the user is told what to do.
    makeSharedSite();
    start(dir("i.htm"));
    select("shared.htm");
    tab.mN_Click(NoeudsMenu::Edit);
    EXPECT_EQ(dialogs.messages(),
              QStringList{
                  QStringLiteral("Je ne trouve aucun éditeur de texte pour ouvrir le fichier \"%1\".\r\n\r\n"
                                 "Indiquez-en un dans le paramètre \"EditeurTexte\".")
                      .arg(native(dir("shared.htm")))});
    ParamètreEcrire(QStringLiteral("EditeurTexte"), QStringLiteral("\"/opt/mon éditeur/bin/ed\""));
    EXPECT_EQ(textEditorCommand(QStringLiteral("/s/a.htm")),
              (QStringList{QStringLiteral("/opt/mon éditeur/bin/ed"), QStringLiteral("/s/a.htm")}));
    qputenv("PATH", savedPath);
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
    EXPECT_EQ(ParamètreLire(QStringLiteral("Dossier")), dir("other/home.htm"));
}
