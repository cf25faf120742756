// dalvery_tour [directory]: the scripted tour, for a machine without a
// desktop. Saves the pictures into `directory` (dalvery-tour by default) and
// says where they are.

#include <cstdio>
#include <filesystem>

#include "tour/Tour.h"

int main(int argc, char** argv)
{
    const std::string directory = argc > 1 ? argv[1] : "dalvery-tour";
    const TourResult result = runTour(DALVERY_PROGRAM, directory);
    if (!result.problem.empty()) {
        std::fprintf(stderr, "dalvery_tour: %s\n", result.problem.c_str());
        return 1;
    }
    std::printf("Tour of Dalvery: %zu screenshots in %s\n", result.pictures.size(),
                std::filesystem::absolute(directory).lexically_normal().c_str());
    for (const TourPicture& p : result.pictures)
        std::printf("  %-32s %s\n", std::filesystem::path(p.path).filename().c_str(), p.caption.c_str());
    return 0;
}
