#pragma once

// One rock: the world position of its centre, site units. Once placed it
// never moves.
struct Rock {
    float x;
    float y;
    float z;
};

// Every rock is a cube with edges this long, site units, centred on its
// position.
constexpr float rockSize = 2;
