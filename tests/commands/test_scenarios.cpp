// The window's commands as scripted scenarios (tests/data/commands/*.txt), one test each.
#include "scenario.h"

using namespace qs;
using namespace qs::test;

namespace {

class Scenario : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(Scenario, Runs) {
    PageSite s;
    ScenarioRunner(s).run(GetParam());
}

std::string testName(const ::testing::TestParamInfo<ScenarioCase>& info) {
    std::string name = info.param.name.toStdString();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(uchar(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Pages, Scenario, ::testing::ValuesIn(scenarios("commands/pages.txt")), testName);
INSTANTIATE_TEST_SUITE_P(Folders, Scenario, ::testing::ValuesIn(scenarios("commands/folders.txt")), testName);
INSTANTIATE_TEST_SUITE_P(Moves, Scenario, ::testing::ValuesIn(scenarios("commands/moves.txt")), testName);
INSTANTIATE_TEST_SUITE_P(Lists, Scenario, ::testing::ValuesIn(scenarios("commands/lists.txt")), testName);

} // namespace
