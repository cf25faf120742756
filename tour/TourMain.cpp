// dalvery_tour [directory]: the scripted tour, for a machine without a
// desktop. Saves the pictures into `directory` (dalvery-tour by default),
// naming each as it is saved.

#include <cstdio>
#include <filesystem>

#include "tour/Tour.h"

int main(int argc, char** argv)
{
    const std::string directory = argc > 1 ? argv[1] : "dalvery-tour";
    std::printf("Tour of Dalvery on a virtual display of its own, each picture as it is saved:\n");
    std::fflush(stdout);
    const TourResult result = runTour(DALVERY_PROGRAM, directory, siteList(), [](const TourPicture& p) {
        std::printf("  %s: %s\n", p.path.c_str(), p.caption.c_str());
        std::fflush(stdout);
    });
    if (!result.problem.empty()) {
        std::fprintf(stderr, "dalvery_tour: %s\n", result.problem.c_str());
        return 1;
    }
    std::printf("Tour of Dalvery: %zu pictures in %s\n", result.pictures.size(),
                std::filesystem::absolute(directory).lexically_normal().c_str());
    return 0;
}
