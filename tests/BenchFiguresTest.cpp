#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>

#include "bench/Median.h"
#include "bench/Results.h"
#include "bench/RockGrid.h"
#include "bench/Targets.h"

namespace {

TEST(Median, MiddleOfOddCountsMeanOfTheTwoMiddlesOfEvenCountsZeroOfNone)
{
    EXPECT_DOUBLE_EQ(median({5, 1, 9}), 5);
    EXPECT_DOUBLE_EQ(median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(median({7, 7, 1, 100}), 7);
    EXPECT_DOUBLE_EQ(median({}), 0);
    const std::vector<double> frames{3, 1, 2};
    median(frames);
    EXPECT_EQ(frames, (std::vector<double>{3, 1, 2})) << "the caller's samples keep their order";
}

class ResultsFile : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    std::string path = "bench-figures-test-" + std::to_string(getpid()) + ".txt";
};

TEST_F(ResultsFile, FiguresFromSeveralWritersAddUpAndALaterOneReplacesAnEarlier)
{
    EXPECT_TRUE(readResults(path).empty()) << "no file yet";
    ASSERT_TRUE(appendResult(path, "frame.startup.ms", 1.25));
    ASSERT_TRUE(appendResult(path, "memory.least.kb", 70388));
    ASSERT_TRUE(appendResult(path, "frame.startup.ms", 0.123456789));
    const Results r = readResults(path);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(r.at("frame.startup.ms"), 0.123456789, 1e-12) << "written to nine digits";
    EXPECT_DOUBLE_EQ(r.at("memory.least.kb"), 70388);
}

TEST_F(ResultsFile, AnUnreadableLineIsSkippedAndHidesNothingAfterIt)
{
    {
        std::ofstream out(path);
        out << "frame.startup.ms 1.5\n"
            << "frame.startup.floor_ms nan\n"
            << "frame.rocks100.m\n" // cut short
            << "\n"
            << "memory.least.kb 70388\n";
    }
    const Results r = readResults(path);
    EXPECT_EQ(r.size(), 2u);
    EXPECT_EQ(r.count("frame.startup.floor_ms"), 0u);
    EXPECT_DOUBLE_EQ(r.at("memory.least.kb"), 70388);
}

TEST(RockGrid, EveryCountSpreadsOverTheSameGroundWithNoTwoRocksTogether)
{
    EXPECT_TRUE(rockGrid(0).empty());
    const std::vector<Rock> rocks = rockGrid(10000);
    ASSERT_EQ(rocks.size(), 10000u);
    // Smaller counts are the first rocks of larger ones.
    const std::vector<Rock> hundred = rockGrid(100);
    for (size_t i = 0; i < hundred.size(); ++i)
        EXPECT_EQ(std::tie(hundred[i].x, hundred[i].y, hundred[i].z), std::tie(rocks[i].x, rocks[i].y, rocks[i].z));

    std::set<std::tuple<float, float, float>> places;
    float minX = 1e9f, maxX = -1e9f;
    for (const Rock& rock : rocks) {
        places.insert({rock.x, rock.y, rock.z});
        minX = std::min(minX, rock.x);
        maxX = std::max(maxX, rock.x);
        EXPECT_LE(std::fabs(rock.x), 100) << "on the ground";
        EXPECT_LE(std::fabs(rock.z), 100) << "on the ground";
        // Each rock rests on the ground or on a layer of rocks.
        const float layer = (rock.y - rockGridRockSize / 2) / rockGridRockSize;
        EXPECT_FLOAT_EQ(layer, std::round(layer)) << rock.y;
        EXPECT_GE(layer, 0);
    }
    EXPECT_EQ(places.size(), rocks.size()) << "no two rocks in one place";
    EXPECT_FLOAT_EQ(minX, -maxX) << "centred on the origin";

    // A full first layer covers the same square as 10,000 rocks do.
    const std::vector<Rock> layer = rockGrid(rockGridSide * rockGridSide);
    for (const Rock& rock : layer)
        EXPECT_FLOAT_EQ(rock.y, rockGridRockSize / 2);
    EXPECT_FLOAT_EQ(layer.back().x, maxX);
    EXPECT_FLOAT_EQ(layer.back().z, maxX);
}

// Every figure the summary needs, each target held with room to spare.
Results allHeld()
{
    return {
        {"frame.startup.ms", 1.0},       {"frame.startup.floor_ms", 0.8},
        {"frame.startup_again.ms", 1.1}, {"frame.startup_again.floor_ms", 0.9},
        {"frame.rocks0.ms", 1.0},        {"frame.rocks0.floor_ms", 1.0},
        {"frame.rocks1000.ms", 5.0},     {"frame.rocks1000.floor_ms", 1.0},
        {"frame.rocks10000.ms", 41.0},   {"frame.rocks10000.floor_ms", 1.0},
        {"startup.dalvery.ms", 110},     {"startup.least.ms", 100},
        {"memory.dalvery.kb", 80000},    {"memory.least.kb", 70000},
        {"event.ms", 1.5},               {"event.frame_ms", 1.2},
    };
}

std::vector<std::string> missed(const std::vector<Verdict>& verdicts)
{
    std::vector<std::string> names;
    for (const Verdict& v : verdicts)
        if (!v.held)
            names.push_back(v.target);
    return names;
}

TEST(Targets, EveryTargetHoldsUpToAndIncludingItsBound)
{
    EXPECT_TRUE(missed(judge(allHeld())).empty());

    Results atBounds = allHeld();
    atBounds["frame.startup.ms"] = 1.5;            // 1.5 times the floor
    atBounds["frame.startup.floor_ms"] = 1.0;
    atBounds["frame.rocks1000.ms"] = 16.7;
    atBounds["frame.rocks10000.ms"] = 16.7 + 9 * 15.7; // the same cost a rock as below 1,000
    atBounds["startup.dalvery.ms"] = 130;
    atBounds["memory.dalvery.kb"] = 91000;
    atBounds["event.ms"] = 2.2;
    atBounds["frame.startup_again.ms"] = 1.8; // 1.2 times the first, floor for floor
    atBounds["frame.startup_again.floor_ms"] = 1.0;
    const std::vector<Verdict> verdicts = judge(atBounds);
    EXPECT_TRUE(missed(verdicts).empty());
    EXPECT_NE(summaryLine(verdicts).find("7 of 7 targets held"), std::string::npos) << summaryLine(verdicts);
}

TEST(Targets, EachFigureJustPastItsBoundMissesItsOwnTargetOnly)
{
    const struct {
        const char* figure;
        double value;
        const char* target;
    } cases[] = {
        {"frame.startup.ms", 1.21, "start-up scene frame / ground-only floor"},
        {"frame.rocks1000.ms", 16.8, "frame with 1,000 rocks"},
        {"startup.dalvery.ms", 131, "start-up to first frame / least FLTK program"},
        {"memory.dalvery.kb", 91100, "peak memory / least FLTK program"},
        {"event.ms", 2.21, "slider event to end of frame"},
        {"frame.startup_again.ms", 1.25 * 1.21 * 0.9, "same frame after all the others / at first"},
    };
    for (const auto& c : cases) {
        Results r = allHeld();
        r[c.figure] = c.value;
        if (std::string(c.figure) == "frame.rocks1000.ms")
            r["frame.rocks10000.ms"] = 16.8 + 9 * 15.8; // keep the growth straight
        const std::vector<Verdict> verdicts = judge(r);
        EXPECT_EQ(missed(verdicts), std::vector<std::string>{c.target}) << c.figure;
        EXPECT_NE(summaryLine(verdicts).find("MISSED"), std::string::npos) << c.figure;
    }
}

TEST(Targets, RockCostMustGrowAlongAStraightLine)
{
    Results r = allHeld();
    const std::string linear = "cost linear in rocks";
    // A cost of n squared: from 1,000 to 10,000 each rock costs 11 times more.
    r["frame.rocks1000.ms"] = 1.0 + 1.0;
    r["frame.rocks10000.ms"] = 1.0 + 100.0;
    EXPECT_EQ(missed(judge(r)), std::vector<std::string>{linear});
    // A cost that stops growing past 1,000 rocks is no straight line either.
    r["frame.rocks10000.ms"] = 2.1;
    EXPECT_EQ(missed(judge(r)), std::vector<std::string>{linear});
    // Nor one that does not grow at all: no slope to compare against.
    r["frame.rocks1000.ms"] = 1.0;
    r["frame.rocks10000.ms"] = 1.0;
    EXPECT_EQ(missed(judge(r)), std::vector<std::string>{linear});
}

TEST(Targets, RockCostIsJudgedInFloorsSoThatLoadBetweenCasesDoesNotBendIt)
{
    // The 10,000-rock case ran while the machine was twice as slow: its frame
    // and its floor both doubled.
    Results r = allHeld();
    r["frame.rocks10000.ms"] = 2 * 41.0;
    r["frame.rocks10000.floor_ms"] = 2 * 1.0;
    EXPECT_TRUE(missed(judge(r)).empty());
    // The same frame with an unmoved floor is a cost that really bent.
    r["frame.rocks10000.floor_ms"] = 1.0;
    EXPECT_EQ(missed(judge(r)), std::vector<std::string>{"cost linear in rocks"});
}

TEST(Targets, AMissingFigureIsReportedAsNotMeasuredNeverAsHeld)
{
    const std::string frame = "start-up scene frame / ground-only floor",
                      rocks = "frame with 1,000 rocks", linear = "cost linear in rocks",
                      again = "same frame after all the others / at first",
                      startup = "start-up to first frame / least FLTK program",
                      memory = "peak memory / least FLTK program", event = "slider event to end of frame";
    const struct {
        const char* figure;
        std::vector<std::string> targets;
    } cases[] = {
        {"frame.startup.floor_ms", {frame, again}},
        {"frame.rocks1000.ms", {rocks, linear}},
        {"frame.rocks10000.ms", {linear}},
        {"frame.rocks0.floor_ms", {linear}},
        {"frame.startup_again.ms", {again}},
        {"startup.least.ms", {startup}},
        {"memory.dalvery.kb", {memory}},
        {"event.frame_ms", {event}},
    };
    for (const auto& c : cases) {
        Results r = allHeld();
        r.erase(c.figure);
        const std::vector<Verdict> verdicts = judge(r);
        EXPECT_EQ(missed(verdicts), c.targets) << c.figure;
        for (const Verdict& v : verdicts)
            EXPECT_TRUE(v.held || !v.measured) << c.figure << ": " << v.target;
        const std::string line = summaryLine(verdicts);
        EXPECT_NE(line.find("NOT MEASURED"), std::string::npos) << line;
        EXPECT_EQ(line.find("MISSED"), std::string::npos) << line;
    }
    Results zeroFloor = allHeld();
    zeroFloor["startup.least.ms"] = 0;
    EXPECT_EQ(missed(judge(zeroFloor)), std::vector<std::string>{startup});
}

} // namespace
