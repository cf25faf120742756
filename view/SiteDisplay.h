#pragma once

#include <FL/Fl_Gl_Window.H>

#include "view/WorldCamera.h"

class DalveryWindow;

// The OpenGL view of the site. It holds no model: every frame it reads the
// main window's view buttons, selection, rocks and machines and draws the
// whole site again.
class SiteDisplay : public Fl_Gl_Window {
public:
    SiteDisplay();
    ~SiteDisplay() override;

    void draw() override;
    int handle(int event) override;

    WorldCamera camera;
    DalveryWindow* mainWindow = nullptr;

private:
    void loadCamera();
    // After each pass of the event loop: redraws the window at the scale of
    // the screen it is on now, where the toolkit left it drawn at another.
    static void followScale(void* display);

    int drawnPixelW = 0, drawnPixelH = 0; // the last frame's size, pixels
};
