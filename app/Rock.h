#pragma once

// One rock: the world position of its centre, site units. Once placed it
// never moves.
struct Rock {
    float x;
    float y;
    float z;
};
