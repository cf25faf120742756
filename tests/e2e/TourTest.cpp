#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

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
    const TourResult result = runTour(DALVERY_PROGRAM, dir);
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
