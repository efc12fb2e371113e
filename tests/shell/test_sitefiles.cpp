// The stored geometry and the start-up update check.
#include "shellfixture.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

class SiteFiles : public ::testing::Test, public ShellFixture {};

} // namespace

TEST_F(SiteFiles, GeometryIsStoredAsTextAndRestoredOnlyWhereReachable) {
    EXPECT_FALSE(storedGeometry().has_value());
    storeGeometry({-8, 30, 1024, 700});
    EXPECT_EQ(settings("MainLeft MainHeight"), "MainLeft=-8 MainHeight=700");
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
    ParamètreEcrire("MainTop", "haut");
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
