// The site folder, the template copy, the previous-site entry, the stored geometry and the start-up
// update check.
#include "lib/settings.h"
#include "shellfixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

const char* const kTextTemplates[] = {"head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt"};

class SiteFiles : public ::testing::Test, public ShellFixture {};

} // namespace

TEST_F(SiteFiles, TheSiteFolderIsTheFolderOfTheHomePage) {
    shell->takerépertoire(QStringLiteral("/srv/sites/doc/Index.htm"));
    EXPECT_EQ(state->values.Répertoire, QStringLiteral("/srv/sites/doc/"));
    EXPECT_EQ(setting("Répertoire"), QStringLiteral("/srv/sites/doc/"));

    shell->takerépertoire(QStringLiteral("/Index.htm"));
    EXPECT_EQ(state->values.Répertoire, QStringLiteral("/"));
    // No separator at all: the folder is empty, and the separator alone remains.
    shell->takerépertoire(QStringLiteral("index.htm"));
    EXPECT_EQ(state->values.Répertoire, QStringLiteral("/"));
    EXPECT_EQ(setting("Répertoire"), QStringLiteral("/"));
}

TEST_F(SiteFiles, ANewSiteReceivesTheTemplates) {
    const QString site = makeSite(QStringLiteral("neuf"), {});
    shell->takerépertoire(site + QStringLiteral("Index.htm"));
    shell->BaseCopy();
    EXPECT_EQ(readFile(site + QStringLiteral("images/logo.gif")),
              readFile(program + QStringLiteral("logo.gif")));
    for (const char* name : kTextTemplates)
        EXPECT_EQ(readFile(site + QLatin1String(name)), readFile(program + QLatin1String(name))) << name;
}

TEST_F(SiteFiles, ASiteWithItsHeaderReceivesNothing) {
    const QString site = makeSite(QStringLiteral("ancien"), {});
    writeFile(site + QStringLiteral("head_d.txt"), "<P>mon en-tête</P>\r\n");
    shell->takerépertoire(site + QStringLiteral("Index.htm"));
    shell->BaseCopy();
    EXPECT_EQ(readFile(site + QStringLiteral("head_d.txt")), QByteArray("<P>mon en-tête</P>\r\n"));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("foot_d.txt")));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("images")));
}

TEST_F(SiteFiles, FilesOfAnOpenedFolderAreNeverReplaced) {
    // Any page can be opened as a site: its folder's own logo and index.txt must survive.
    const QString site = makeSite(QStringLiteral("autre"), {});
    writeFile(site + QStringLiteral("images/logo.gif"), "GIF89a le logo de la maison");
    writeFile(site + QStringLiteral("index.txt"), "mes notes");
    shell->takerépertoire(site + QStringLiteral("page.html"));
    shell->BaseCopy();
    EXPECT_EQ(readFile(site + QStringLiteral("images/logo.gif")), QByteArray("GIF89a le logo de la maison"));
    EXPECT_EQ(readFile(site + QStringLiteral("index.txt")), QByteArray("mes notes"));
    EXPECT_EQ(readFile(site + QStringLiteral("head_c.txt")),
              readFile(program + QStringLiteral("head_c.txt")));
}

TEST_F(SiteFiles, AMissingTemplateEndsTheCopyingThere) {
    QFile::remove(program + QStringLiteral("head_c.txt"));
    const QString site = makeSite(QStringLiteral("partiel"), {});
    shell->takerépertoire(site + QStringLiteral("Index.htm"));
    shell->BaseCopy();
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("head_d.txt")));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("foot_d.txt")));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("head_c.txt")));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("foot_c.txt")));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("index.txt")));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(SiteFiles, TheProgramFolderAsSiteGetsNoImagesFolder) {
    shell->takerépertoire(program + QStringLiteral("Index.htm"));
    shell->BaseCopy();
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("images")));
    EXPECT_EQ(QDir(program).entryList(QDir::Files).size(), 6);
}

TEST_F(SiteFiles, ThePreviousSiteEntryFollowsLastOpen) {
    int shown = 0;
    QObject::connect(state.get(), &MainState::changed, [&] { ++shown; });
    shell->Mru();
    EXPECT_FALSE(shell->mnuFileMRU.visible);

    store("LastOpen", QStringLiteral("/srv/a & b/Index.htm"));
    shell->Mru();
    EXPECT_TRUE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shell->mnuFileMRU.caption, QStringLiteral("&1  /srv/a & b/Index.htm"));
    EXPECT_EQ(shell->mnuFileMRU.tag, QStringLiteral("/srv/a & b/Index.htm"));

    store("LastOpen", QString());
    shell->Mru();
    EXPECT_FALSE(shell->mnuFileMRU.visible);
    EXPECT_EQ(shown, 3);
}

TEST_F(SiteFiles, GeometryIsStoredAsTextAndRestoredOnlyWhereReachable) {
    EXPECT_FALSE(storedGeometry().has_value());
    storeGeometry({-8, 30, 1024, 700});
    EXPECT_EQ(setting("MainLeft"), QStringLiteral("-8"));
    EXPECT_EQ(setting("MainHeight"), QStringLiteral("700"));
    const auto g = storedGeometry();
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->left, -8);
    EXPECT_EQ(g->width, 1024);

    const QList<QRect> screens{QRect(0, 0, 1920, 1080)};
    const QSize minimum(720, 460);
    EXPECT_EQ(geometryToRestore(g, minimum, screens), QRect(-8, 30, 1024, 700));
    // Too small, off every screen, or not numbers: the window opens at its layout size instead.
    EXPECT_FALSE(geometryToRestore(WindowGeometry{0, 0, 300, 200}, minimum, screens).has_value());
    EXPECT_FALSE(geometryToRestore(WindowGeometry{3000, 40, 800, 600}, minimum, screens).has_value());
    EXPECT_FALSE(geometryToRestore(WindowGeometry{100, -500, 800, 600}, minimum, screens).has_value());
    EXPECT_TRUE(geometryToRestore(WindowGeometry{2000, 40, 800, 600}, minimum,
                                  {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)})
                    .has_value());
    store("MainTop", QStringLiteral("haut"));
    EXPECT_FALSE(storedGeometry().has_value());
}

TEST_F(SiteFiles, TheUpdateRunsAtStartOnlyOnTheBuildMachine) {
    int runs = 0;
    const UpdateProcedure update = [&](Dialogs&) {
        ++runs;
        return false;
    };
    EXPECT_TRUE(startupUpdate(program, QStringLiteral("quillsite"), dialogs, update));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(startupUpdate(program, QStringLiteral("quillsite"), dialogs, {}));

    writeFile(program + QStringLiteral("quillsite.publish"), "");
    EXPECT_EQ(publishMarker(program, QStringLiteral("quillsite")),
              program + QStringLiteral("quillsite.publish"));
    // The update's answer decides whether the program goes on.
    EXPECT_FALSE(startupUpdate(program, QStringLiteral("quillsite"), dialogs, update));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(startupUpdate(program, QStringLiteral("autre"), dialogs, update));
    EXPECT_EQ(runs, 1);
}
