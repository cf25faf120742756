#pragma once

#include <functional>
#include <string>
#include <vector>

#include "harness/SiteList.h"

// The scripted tour of the program: it starts the program on a virtual
// display, walks through the site as a user would (selecting and posing each
// machine, looking through its cameras, dropping rocks, turning the world)
// and saves one PNG of the window after each step. `list` is the machine
// list the program shows: those of its machines that the steps do not
// visit, such as one added after the site's own, close the tour, each seen
// through its cameras.
struct TourPicture {
    std::string path;
    std::string caption;
};

struct TourResult {
    std::vector<TourPicture> pictures;
    std::string problem; // empty when every step was taken and saved
};

// `saved` is told of each picture as it is saved.
TourResult runTour(const std::string& program, const std::string& directory,
                   const MachineList& list = siteList(),
                   const std::function<void(const TourPicture&)>& saved = nullptr);
