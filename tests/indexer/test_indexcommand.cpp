// "Générer un fichier d'index" from the window, as scenarios (tests/data/indexer/command.txt).
#include "indexer/indexer.h"

#include "scenario.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

class ScriptedProgress : public IndexProgress {
public:
    explicit ScriptedProgress(bool stop) : stop_(stop) {}
    bool stopRequested() override { return stop_; }
    void written() override { ++writtenCalls; }
    int writtenCalls = 0;

private:
    bool stop_;
};

void skip() {
    GTEST_SKIP() << "no read-only folder here";
}

} // namespace

TEST_P(Scenario, Runs) {
    PageSite s;
    ScenarioRunner runner(s);
    std::unique_ptr<ReadOnlyFolder> lockedTrash;
    runner.more = [&](const QString& verb, const QStringList& a) {
        if (verb == u"index") {
            ScriptedProgress progress(a.value(1) == u"stop");
            const auto outcome = runIndexing(s.state, progress).outcome;
            const QStringList names{"written", "cancelled", "failed"};
            EXPECT_EQ(names.value(int(outcome)), a.value(0)) << runner.where;
            // Each run that writes the lists says so once.
            EXPECT_EQ(progress.writtenCalls, outcome == IndexResult::Outcome::Written ? 1 : 0)
                << runner.where;
        } else if (verb == u"lock-trash") {
            const QString trash = QFileInfo(trashFolder()).path();
            makeDir(trashFolder());
            makeDir(trash + "/info");
            lockedTrash = std::make_unique<ReadOnlyFolder>(trash + "/info");
            if (!lockedTrash->active()) {
                runner.skipped = true;
                skip();
            }
        } else
            return false;
        return true;
    };
    runner.run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(IndexCommand, Scenario, scenarioCases("indexer/command.txt"), scenarioName);
