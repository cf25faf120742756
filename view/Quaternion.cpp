#include "view/Quaternion.h"

#include <cmath>

Quaternion quatMultiply(const Quaternion& a, const Quaternion& b)
{
    Quaternion r;
    r.w = b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z;
    r.x = b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y;
    r.y = b.w * a.y + b.y * a.w + b.z * a.x - b.x * a.z;
    r.z = b.w * a.z + b.z * a.w + b.x * a.y - b.y * a.x;
    return r;
}

void quatNormalize(Quaternion& q)
{
    const float k = 1 / std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    q.x *= k;
    q.y *= k;
    q.z *= k;
    q.w *= k;
}

void quatToMatrix(const Quaternion& q, float out[16])
{
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n > 0 ? 2 / n : 0;
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    const float m[16] = {
        1 - (yy + zz), xy - wz,       xz + wy,       0,
        xy + wz,       1 - (xx + zz), yz - wx,       0,
        xz - wy,       yz + wx,       1 - (xx + yy), 0,
        0,             0,             0,             1,
    };
    for (int i = 0; i < 16; ++i)
        out[i] = m[i];
}

Vec3 projectToSphere(float x, float y)
{
    const float r2 = x * x + y * y;
    if (r2 > 1) {
        const float k = 1 / std::sqrt(r2);
        return {x * k, y * k, 0};
    }
    return {x, y, std::sqrt(1 - r2)};
}
