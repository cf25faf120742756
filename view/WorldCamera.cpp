#include "view/WorldCamera.h"

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <cmath>

#include "draw/Lens.h"

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

void WorldCamera::viewMatrix(float out[16]) const
{
    Quaternion p = quatMultiply(baseRotation, dragRotation);
    // quatToMatrix writes rows; GL reads columns. Handing it the conjugate
    // (the transpose) makes GL multiply by the rotation of p itself.
    p.x = -p.x;
    p.y = -p.y;
    p.z = -p.z;
    quatToMatrix(p, out);
}

void WorldCamera::applyView()
{
    // The viewport counts pixels, of which a scaled screen has more than
    // FLTK units; the aspect is the same in either.
    glViewport(0, 0, widget->pixel_w(), widget->pixel_h());
    loadPerspective(fieldOfView, double(widget->w()) / widget->h());
    glTranslatef(-panX, -panY, -distance);
    float rotation[16];
    viewMatrix(rotation);
    glMultMatrixf(rotation);
}

void WorldCamera::mouseToUnit(float& x, float& y) const
{
    const float w = widget->w();
    const float h = widget->h();
    // In float from the start: 2 * event_x in int overflows for points a
    // quarter of the int range away.
    x = 2 * float(Fl::event_x()) / w - 1;
    y = 2 * (h - Fl::event_y()) / h - 1;
}

void WorldCamera::beginDrag(float x, float y)
{
    baseRotation = quatMultiply(baseRotation, dragRotation);
    dragRotation = Quaternion();
    dragStartX = x;
    dragStartY = y;
    panDeltaX = 0;
    panDeltaY = 0;
}

void WorldCamera::dragTo(float x, float y)
{
    if (dragMode == RotateDrag) {
        // Always from the drag's start point, so the turn follows the pointer
        // without accumulating error from intermediate moves.
        const Vec3 a = projectToSphere(dragStartX, dragStartY);
        const Vec3 b = projectToSphere(x, y);
        dragRotation.x = a.y * b.z - a.z * b.y;
        dragRotation.y = a.z * b.x - a.x * b.z;
        dragRotation.z = a.x * b.y - a.y * b.x;
        dragRotation.w = a.x * b.x + a.y * b.y + a.z * b.z;
        quatNormalize(dragRotation);
    } else if (dragMode == PanDrag) {
        // One unit of normalised mouse travel moves the centre by `distance`.
        const float dx = (x - dragStartX) * distance;
        const float dy = (y - dragStartY) * distance;
        panX = panX + panDeltaX - dx;
        panY = panY + panDeltaY - dy;
        panDeltaX = dx;
        panDeltaY = dy;
    }
}

void WorldCamera::spin(float x, float y, float z)
{
    baseRotation = quatMultiply(baseRotation, dragRotation);
    dragRotation = Quaternion();
    const float lengthSquared = x * x + y * y + z * z;
    const float w = lengthSquared < 1 ? std::sqrt(1 - lengthSquared) : 0;
    const float k = 1 / std::sqrt(lengthSquared + w * w);
    const Quaternion q{x * k, y * k, z * k, w * k};
    baseRotation = quatMultiply(baseRotation, q);
    quatNormalize(baseRotation);
}

int WorldCamera::handleMouse(int event)
{
    float x, y;
    switch (event) {
    case FL_PUSH:
        dragMode = NoDrag;
        if (Fl::event_button() != FL_RIGHT_MOUSE)
            return 0;
        mouseToUnit(x, y);
        beginDrag(x, y);
        widget->damage(1);
        dragMode = (Fl::event_state() & FL_ALT) ? PanDrag : RotateDrag;
        return 1;
    case FL_DRAG:
        if (dragMode == NoDrag)
            return 0;
        mouseToUnit(x, y);
        dragTo(x, y);
        widget->damage(1);
        return 1;
    case FL_RELEASE:
        if (dragMode == NoDrag)
            return 0;
        widget->damage(1);
        dragMode = NoDrag;
        return 1;
    default:
        return 0;
    }
}
