#include "bench/RockGrid.h"

std::vector<Rock> rockGrid(int count)
{
    constexpr float firstPlace = -rockGridPitch * (rockGridSide - 1) / 2;
    constexpr int perLayer = rockGridSide * rockGridSide;
    std::vector<Rock> rocks;
    rocks.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        const float x = firstPlace + rockGridPitch * (i % rockGridSide);
        const float z = firstPlace + rockGridPitch * (i / rockGridSide % rockGridSide);
        const float y = rockSize / 2 + rockSize * (i / perLayer);
        rocks.push_back({x, y, z});
    }
    return rocks;
}
