#pragma once

#include "view/Quaternion.h"

class Fl_Gl_Window;

// Trackball camera of the "world" view. Right-drag turns the world about its
// origin, Alt+right-drag pans it; the origin sits `distance` in front of the
// eye, shifted by the pan (eye-space units).
class WorldCamera {
public:
    // Loads viewport, projection and model-view; leaves GL_MODELVIEW current.
    void applyView();
    // Offered every FLTK event of the view; 1 when the camera used it.
    int handleMouse(int event);
    // Composes a rotation with vector part (x, y, z) onto the base rotation.
    void spin(float x, float y, float z);
    // Mouse points are normalised: -1..1 left to right and bottom to top.
    void beginDrag(float x, float y);
    void dragTo(float x, float y);
    // The array applyView hands to glMultMatrixf (column-major for GL).
    void viewMatrix(float out[16]) const;
    // The current FLTK mouse position in the view, normalised.
    void mouseToUnit(float& x, float& y) const;

    enum DragMode { NoDrag = 0, RotateDrag = 1, PanDrag = 2 };

    Quaternion baseRotation;  // all finished drags and spins
    Quaternion dragRotation;  // the current (or last) rotate drag
    float dragStartX = 0;
    float dragStartY = 0;
    int dragMode = NoDrag;
    float panDeltaX = 0;      // part of the current pan already in panX
    float panDeltaY = 0;
    float panX = 0;
    float panY = 0;
    float distance = 20;      // eye to centre of rotation; also the pan scale
    float startDistance = 20;
    float fieldOfView = 40;   // vertical, degrees
    Fl_Gl_Window* widget = nullptr;
};
