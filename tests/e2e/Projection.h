#pragma once

#include <cmath>

#include "harness/Harness.h"
#include "harness/Layout.h"

// Where a world point shows in the site view under a camera that looks from
// `eye` at `centre`, upright, with a vertical field of view in degrees: the
// cameras that the machines set up for themselves. Used to check that a
// rock lies where a machine holds its load.
struct Vec {
    double x, y, z;
};

inline Vec operator-(const Vec& a, const Vec& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline double dot(const Vec& a, const Vec& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec cross(const Vec& a, const Vec& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline Vec unit(const Vec& a)
{
    const double n = std::sqrt(dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

inline Point projectInView(const Vec& eye, const Vec& centre, double fieldOfView, const Vec& p)
{
    const Vec forward = unit(centre - eye);
    const Vec side = unit(cross(forward, {0, 1, 0}));
    const Vec up = cross(side, forward);
    const Vec d = p - eye;
    const double depth = dot(d, forward);
    const double t = std::tan(fieldOfView * std::acos(-1.0) / 360);
    const double aspect = double(layout::view.w) / layout::view.h;
    const double ndcX = dot(d, side) / depth / (t * aspect);
    const double ndcY = dot(d, up) / depth / t;
    return {int(std::lround((ndcX + 1) / 2 * layout::view.w)),
            int(std::lround((1 - ndcY) / 2 * layout::view.h))};
}
