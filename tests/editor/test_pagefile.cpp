// The page file: what OK writes, byte for byte, as scenarios (tests/data/editor/pages.txt), and what the
// loader and the importer read back.
#include "editor/pagefile.h"

#include "scenario.h"
#include "tablefile.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST_P(Scenario, Runs) {
    PageSite s;
    ScenarioRunner(s).run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(PageFile, Scenario, scenarioCases("editor/pages.txt"), scenarioName);

TEST(PageLoader, TakesWhatLiesBetweenTheMarkersInAnyCase) {
    for (const auto& r : tableRows("editor/bodies.txt"))
        EXPECT_EQ(pageBody(str(r[0]).split(u'\n')), str(r[1])) << str(r[0]);
}

TEST(PageImport, TitleAndBodyOfAnHtmlOrTextFile) {
    for (const auto& r : tableRows("editor/imports.txt")) {
        const ImportedPage page = importedPage(str(r[0]).split(u'\n'));
        EXPECT_EQ(page.title, str(r[1])) << str(r[0]);
        EXPECT_EQ(page.body, str(r[2])) << str(r[0]);
    }
}

TEST(NewPageName, SmallestFreeNumberWhateverTheCase) {
    TempDir dir;
    EXPECT_EQ(freePageName(dir.path()), "1.htm");
    writeFile(dir("1.htm"), "x");
    writeFile(dir("3.htm"), "x");
    EXPECT_EQ(freePageName(dir.path()), "2.htm");
    writeFile(dir("2.HTM"), "x");
    makeDir(dir("4.htm"));
    EXPECT_EQ(freePageName(dir.path()), "5.htm");
}
