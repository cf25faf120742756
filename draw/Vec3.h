#pragma once

// A point or direction in site units, or a unit vector.
struct Vec3 {
    float x, y, z;
};
