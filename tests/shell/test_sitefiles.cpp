// The site folder, the template copy, the stored geometry and the start-up
// update check.
#include "lib/settings.h"
#include "shellfixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

class SiteFiles : public ::testing::Test, public ShellFixture {};

} // namespace

TEST_F(SiteFiles, TheSiteFolderIsTheFolderOfTheHomePage) {
    // Without any separator the folder is empty, and the separator alone remains.
    for (const auto& [address, folder] : {std::pair{"/srv/sites/doc/Index.htm", "/srv/sites/doc/"},
                                          {"/Index.htm", "/"},
                                          {"index.htm", "/"}}) {
        shell->takerépertoire(address);
        EXPECT_EQ(state->values.Répertoire + '|' + setting("Répertoire"), folder + QString('|') + folder);
    }
}

TEST_F(SiteFiles, TemplatesGoOnlyIntoASiteWithoutItsHeaderAndNeverReplaceAFile) {
    const QStringList all{"images/logo.gif", "head_d.txt", "foot_d.txt",
                          "head_c.txt",      "foot_c.txt", "index.txt"};
    const auto copied = [&](const QString& site) {
        QStringList out;
        for (const QString& name : all) {
            const QString from = program + (name.startsWith("images/") ? name.mid(7) : name);
            if (QFile::exists(site + name) && readFile(site + name) == readFile(from))
                out.append(name);
        }
        return out;
    };
    const auto copy = [&](const QString& site, const QString& page) {
        shell->takerépertoire(site + page);
        shell->BaseCopy();
    };
    const QString fresh = makeSite("neuf", {});
    copy(fresh, "Index.htm");
    EXPECT_EQ(copied(fresh), all);
    // A site with its header receives nothing.
    const QString old = makeSite("ancien", {});
    writeFile(old + "head_d.txt", "<P>mon en-tête</P>\r\n");
    copy(old, "Index.htm");
    EXPECT_EQ(QDir(old).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"head_d.txt"});
    EXPECT_EQ(readFile(old + "head_d.txt"), QByteArray("<P>mon en-tête</P>\r\n"));
    // Any page can be opened as a site: its folder's own logo and index.txt must survive.
    const QString other = makeSite("autre", {});
    writeFile(other + "images/logo.gif", "GIF89a le logo de la maison");
    writeFile(other + "index.txt", "mes notes");
    copy(other, "page.html");
    EXPECT_EQ(copied(other), (QStringList{"head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt"}));
    EXPECT_EQ(readFile(other + "images/logo.gif") + readFile(other + "index.txt"),
              QByteArray("GIF89a le logo de la maisonmes notes"));
    // The program folder as site gets no images folder.
    copy(program, "Index.htm");
    EXPECT_FALSE(QFile::exists(program + "images"));
    EXPECT_EQ(QDir(program).entryList(QDir::Files).size(), 6);
    // A missing template ends the copying there.
    QFile::remove(program + "head_c.txt");
    const QString partial = makeSite("partiel", {});
    copy(partial, "Index.htm");
    EXPECT_EQ(QDir(partial).entryList(QDir::Files), (QStringList{"foot_d.txt", "head_d.txt"}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(SiteFiles, GeometryIsStoredAsTextAndRestoredOnlyWhereReachable) {
    EXPECT_FALSE(storedGeometry().has_value());
    storeGeometry({-8, 30, 1024, 700});
    EXPECT_EQ(setting("MainLeft") + ' ' + setting("MainHeight"), "-8 700");
    const auto g = storedGeometry();
    ASSERT_TRUE(g.has_value());
    const QList<QRect> screens{QRect(0, 0, 1920, 1080)};
    const QSize minimum(720, 460);
    EXPECT_EQ(geometryToRestore(g, minimum, screens), QRect(-8, 30, 1024, 700));
    // Too small, off every screen, or not numbers: the window opens at its layout size instead.
    for (const WindowGeometry& off :
         {WindowGeometry{0, 0, 300, 200}, {3000, 40, 800, 600}, {100, -500, 800, 600}})
        EXPECT_FALSE(geometryToRestore(off, minimum, screens).has_value());
    EXPECT_TRUE(geometryToRestore(WindowGeometry{2000, 40, 800, 600}, minimum,
                                  {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)})
                    .has_value());
    store("MainTop", "haut");
    EXPECT_FALSE(storedGeometry().has_value());
}

TEST_F(SiteFiles, TheUpdateRunsAtStartOnlyOnTheBuildMachine) {
    int runs = 0;
    const UpdateProcedure update = [&](Dialogs&) {
        ++runs;
        return false;
    };
    EXPECT_TRUE(startupUpdate(program, "quillsite", dialogs, update));
    EXPECT_TRUE(startupUpdate(program, "quillsite", dialogs, {}));
    EXPECT_EQ(runs, 0);
    writeFile(program + "quillsite.publish", "");
    EXPECT_EQ(publishMarker(program, "quillsite"), program + "quillsite.publish");
    // The update's answer decides whether the program goes on.
    EXPECT_FALSE(startupUpdate(program, "quillsite", dialogs, update));
    EXPECT_TRUE(startupUpdate(program, "autre", dialogs, update));
    EXPECT_EQ(runs, 1);
}
