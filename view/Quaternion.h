#pragma once

#include "draw/Vec3.h"

// Rotation as a quaternion: (x, y, z) the vector part, w the scalar part.
struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

// The Hamilton product b·a: the rotation of a followed by that of b.
Quaternion quatMultiply(const Quaternion& a, const Quaternion& b);
// Scales q to length 1; q must not be zero.
void quatNormalize(Quaternion& q);
// Rotation matrix of q (any length; zero gives the identity), row-major for
// column vectors: out[4*row + col].
void quatToMatrix(const Quaternion& q, float out[16]);
// A normalised mouse point onto the front half of the unit sphere, or onto
// its rim (z = 0) when the point lies outside the unit circle.
Vec3 projectToSphere(float x, float y);
