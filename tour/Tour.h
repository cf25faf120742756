#pragma once

#include <string>
#include <vector>

// The scripted tour of the program: it starts the program on a virtual
// display, walks through the site as a user would (selecting and posing each
// machine, looking through its cameras, dropping rocks, turning the world)
// and saves one PNG of the window after each step.
struct TourPicture {
    std::string path;
    std::string caption;
};

struct TourResult {
    std::vector<TourPicture> pictures;
    std::string problem; // empty when every step was taken and saved
};

TourResult runTour(const std::string& program, const std::string& directory);
