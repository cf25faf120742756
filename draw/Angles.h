#pragma once

#include <cmath>

// Angles are degrees wherever they are stored or handed to GL; the
// trigonometry of the machines needs radians.
inline const double pi = std::acos(-1.0);

inline double radians(double degrees)
{
    return degrees * pi / 180;
}
