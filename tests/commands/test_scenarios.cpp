// The window's commands as scripted scenarios (tests/data/commands/*.txt), one test each, and what a
// script cannot say: the menus' captions and the drag data.
#include "scenario.h"

using namespace qs;
using namespace qs::test;

TEST_P(Scenario, Runs) {
    PageSite s;
    ScenarioRunner(s).run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Pages, Scenario, scenarioCases("commands/pages.txt"), scenarioName);
INSTANTIATE_TEST_SUITE_P(Folders, Scenario, scenarioCases("commands/folders.txt"), scenarioName);
INSTANTIATE_TEST_SUITE_P(Moves, Scenario, scenarioCases("commands/moves.txt"), scenarioName);
INSTANTIATE_TEST_SUITE_P(Lists, Scenario, scenarioCases("commands/lists.txt"), scenarioName);
INSTANTIATE_TEST_SUITE_P(Fragments, Scenario, scenarioCases("commands/fragments.txt"), scenarioName);

TEST(Commands, MenuCaptionAndDragData) {
    EXPECT_EQ(folderMenu()[3].caption, "Ajouter un fichier indépendant");
    EXPECT_EQ(decodeDraggedPage(encodeDraggedPage({"D", "C", "1.htm"}))->file, "1.htm");
    EXPECT_FALSE(decodeDraggedPage("n'importe quoi").has_value());
}
