// The window's commands as scripted scenarios (tests/data/commands/*.txt), one test each.
#include "scenario.h"

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
