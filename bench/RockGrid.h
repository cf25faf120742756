#pragma once

#include <vector>

#include "app/Rock.h"

// `count` rocks for the frame benchmark, laid out so that every count keeps
// the same spread over the view and only the number of rocks changes: a grid
// of rockGridSide by rockGridSide places rockGridPitch apart, centred on the
// origin, filled row by row, then layer on layer, each a rock higher.
constexpr int rockGridSide = 40;
constexpr float rockGridPitch = 4;

std::vector<Rock> rockGrid(int count);
