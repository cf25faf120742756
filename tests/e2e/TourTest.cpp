#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "harness/Harness.h"
#include "tests/e2e/LongSite.h"
#include "tour/Tour.h"

namespace {

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// What `make run` shows without a desktop: every step saved, and every
// step shows something new.
TEST(Tour, SavesADifferentPictureForEveryStep)
{
    char dir[] = "/tmp/dalvery-tour-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const TourResult result = runTour(programUnderTest(), dir);
    EXPECT_EQ(result.problem, "");
    EXPECT_GE(result.pictures.size(), 5u);
    std::set<std::string> seen;
    for (const TourPicture& p : result.pictures) {
        const std::string png = contents(p.path);
        EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << p.path;
        EXPECT_TRUE(seen.insert(png).second) << p.path << " repeats an earlier picture";
    }
    std::filesystem::remove_all(dir);
}

// A machine added after the site's own closes the tour, through its machine
// camera, named after it; without a seat it has no driver picture.
TEST(Tour, EndsWithAMachineAddedAfterTheSitesOwn)
{
    char dir[] = "/tmp/dalvery-tour-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const TourResult result = runTour(DALVERY_LONG_LIST_PROGRAM, dir, listOf(populateLongSite<MachineRecorder>));
    ASSERT_EQ(result.problem, "");
    // After the 17 steps, and after any machine of the site's own past the
    // five they visit: its one picture, the last.
    ASSERT_GE(result.pictures.size(), 18u);
    const TourPicture& added = result.pictures.back();
    char number[8];
    std::snprintf(number, sizeof number, "%02zu-", result.pictures.size());
    EXPECT_EQ(std::filesystem::path(added.path).filename(),
              number + std::string("list-end-named-at-length-machine-camera.png"));
    EXPECT_EQ(added.caption, "List end, named at length's machine camera");
    EXPECT_EQ(std::filesystem::path(result.pictures.end()[-2].path).filename().string().find("list-end"),
              std::string::npos) << "a seatless machine has no driver picture";
    // Its camera, 25 units before it and level with its top, looks at its
    // front face, which fills the middle of the view below the horizon: one
    // grey, lit alike to a level's rounding, where the world camera shows the
    // ground's squares.
    const Image view = loadPng(added.path).crop(layout::view);
    const Image face = view.crop({view.width() / 2 - 50, view.height() / 2 + 20, 100, 100});
    ASSERT_EQ(face.width(), 100);
    const Rgb grey = face.at(0, 0);
    EXPECT_TRUE(grey.r == grey.g && grey.g == grey.b) << int(grey.r) << " " << int(grey.g) << " " << int(grey.b);
    Image flat(face.width(), face.height());
    for (int y = 0; y < flat.height(); ++y)
        for (int x = 0; x < flat.width(); ++x)
            flat.at(x, y) = grey;
    EXPECT_EQ(face.countDifferences(flat, 1), 0);
    std::filesystem::remove_all(dir);
}

// Another build of the program, such as the Windows one under Wine, shows
// at every step of the tour the view that this build's program shows.
TEST(Tour, AnotherBuildShowsTheViewsOfThisOne)
{
    if (programUnderTest() == DALVERY_PROGRAM)
        GTEST_SKIP() << "no other build to compare: DALVERY_COMMAND is not set";
    char ours[] = "/tmp/dalvery-tour-XXXXXX";
    char theirs[] = "/tmp/dalvery-tour-XXXXXX";
    ASSERT_NE(mkdtemp(ours), nullptr);
    ASSERT_NE(mkdtemp(theirs), nullptr);
    const TourResult reference = runTour(DALVERY_PROGRAM, ours);
    const TourResult other = runTour(programUnderTest(), theirs);
    ASSERT_EQ(reference.problem, "");
    ASSERT_EQ(other.problem, "");
    ASSERT_EQ(other.pictures.size(), reference.pictures.size());
    for (size_t i = 0; i < reference.pictures.size(); ++i) {
        const Image view = loadPng(other.pictures[i].path).crop(layout::view);
        const Image expected = loadPng(reference.pictures[i].path).crop(layout::view);
        ASSERT_EQ(view.width(), layout::view.w) << other.pictures[i].path;
        EXPECT_EQ(view.countDifferences(expected), 0) << reference.pictures[i].caption;
    }
    std::filesystem::remove_all(ours);
    std::filesystem::remove_all(theirs);
}
