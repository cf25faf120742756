#include "view/WorldCamera.h"

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <cmath>

#include "draw/Lens.h"

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
