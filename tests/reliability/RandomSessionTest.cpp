#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "harness/Harness.h"
#include "tests/reliability/RandomUser.h"
#include "tests/reliability/SelectionLines.h"

namespace {

// DALVERY_SESSION_SEED replays a session. DALVERY_SESSION_ACTIONS sets the
// number of actions and lifts the time budget, which otherwise ends the
// actions early on a slow machine so that the run stays bounded.
struct SessionSettings {
    unsigned seed;
    int actions = 3000;
    double budgetSeconds = 75;

    SessionSettings()
    {
        const char* seedText = std::getenv("DALVERY_SESSION_SEED");
        seed = seedText ? unsigned(std::strtoul(seedText, nullptr, 10)) : std::random_device()();
        if (const char* actionsText = std::getenv("DALVERY_SESSION_ACTIONS")) {
            actions = std::atoi(actionsText);
            budgetSeconds = 1e9;
        }
    }
};

constexpr int actionsPerCheck = 100;

} // namespace

TEST(RandomSession, ThousandsOfActionsLeaveTheProgramUpPrintingSelectionLinesAlone)
{
    const SessionSettings settings;
    const unsigned seed = settings.seed;
    std::cout << "Random session seed " << seed << " (replay: DALVERY_SESSION_SEED=" << seed << ")" << std::endl;
    RecordProperty("seed", std::to_string(seed));

    Harness dalvery(DALVERY_PROGRAM);
    ASSERT_EQ(dalvery.problem(), "");
    RandomUser user(dalvery, seed);
    std::mt19937 checkLines(seed + 1);
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

    int done = 0, checked = 0;
    std::string sinceCheck; // what the actions since the last check were
    while (done < settings.actions) {
        sinceCheck += "\n  " + user.act();
        ++done;
        if (done % actionsPerCheck != 0 && done != settings.actions)
            continue;
        // A list line clicked now is answered only once the program has read
        // every input before it: an answer means it is up and has kept pace.
        const ListedMachine& m = dalvery.list()[checkLines() % dalvery.list().size()];
        const std::string actionsSinceCheck = "actions " + std::to_string(checked + 1) + " to " +
                                              std::to_string(done) + " (seed " + std::to_string(seed) +
                                              "):" + sinceCheck;
        ASSERT_TRUE(dalvery.select(m))
            << (dalvery.running() ? "" : "the program has ended; ") << dalvery.problem() << "; after "
            << actionsSinceCheck;
        ASSERT_EQ(firstBadSelectionLine(dalvery.output()), "") << "after " << actionsSinceCheck;
        checked = done;
        sinceCheck.clear();
        if (elapsed() > settings.budgetSeconds)
            break;
    }
    std::cout << done << " actions in " << elapsed() << " s" << std::endl;

    dalvery.requestClose();
    const auto status = dalvery.waitForExit(60);
    ASSERT_TRUE(status.has_value()) << "still running, or ended by a signal; seed " << seed;
    // A sanitizer's report, leaks at exit included, ends the program with 1.
    EXPECT_EQ(*status, 0) << "seed " << seed;
    EXPECT_EQ(firstBadSelectionLine(dalvery.output()), "") << "seed " << seed;
}
