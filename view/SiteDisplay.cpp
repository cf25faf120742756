#include "view/SiteDisplay.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DalveryWindow.h"
#include "draw/GlState.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"
#include "machines/Machine.h"
#include "view/SiteBufferMode.h"
#include "view/SiteLook.h"
#include "view/WindowLayout.h"

namespace {

constexpr float groundSize = 200; // site units, matching the X and Z slider bounds

// Every state the frame relies on is set here, every frame, so nothing that
// a machine or FLTK changed in an earlier frame carries over.
void beginFrame()
{
    clearToSky();
    enableSiteLighting();
}

#ifdef DALVERY_CHECK_GL
// A machine's draw or camera that forgets a pop, leaves GL_PROJECTION
// current or makes a GL call with bad arguments is named on the frame where
// it happens, rather than seen frames later in another's picture. `culprit`
// did what lies between `before` and now.
void checkGl(const GlState& before, const std::string& culprit, bool loadsProjection)
{
    const std::string change = describeGlChange(before, readGlState(), loadsProjection);
    if (!change.empty()) {
        std::fprintf(stderr, "Dalvery: %s %s\n", culprit.c_str(), change.c_str());
        std::abort();
    }
}
#define CHECK_GL(before, culprit, loadsProjection) checkGl(before, culprit, loadsProjection)
#else
// The optimised program makes no GL queries in its frame.
#define CHECK_GL(before, culprit, loadsProjection)
#endif

} // namespace

SiteDisplay::SiteDisplay() : Fl_Gl_Window(layout::view.x, layout::view.y, layout::view.w, layout::view.h)
{
    // Where no GL offers a stencil, depth alone still beats no view.
    Fl_Gl_Window::mode(can_do(siteBufferMode) ? siteBufferMode : siteBufferMode & ~FL_STENCIL);
    camera.fieldOfView = cameraFieldOfView;
    camera.widget = this;
    camera.distance = 250;
    camera.startDistance = 250;
    camera.panX = 0;
    camera.panY = 0;
    camera.spin(0.2f, 0.4f, 0.0f); // the initial tilted look at the site
#if FL_API_VERSION >= 10400
    Fl::add_check(followScale, this);
#endif
}

SiteDisplay::~SiteDisplay()
{
#if FL_API_VERSION >= 10400
    Fl::remove_check(followScale, this);
#endif
}

// Under Wayland, FLTK 1.4 mishandles a move to an output of another scale:
// no event tells the program, and the view's size in pixels follows the new
// output at once, but its surface does not. FLTK 1.4.3 (Debian 13's) gives
// the view's surface the new buffer scale without resizing it, where the old
// output's scale is not the largest: 625x590 at scale 2 is a protocol error
// that ends the program at the view's next frame. FLTK 1.4.5 keeps the old
// buffer scale, so the view's next frame comes out twice too big. Both may
// leave the window showing its old picture, enlarged, until some other event
// redraws it. So: resizing the window to its own size makes FLTK fit its
// buffer to the scale (a no-op where it fits), a view shown afresh gets a
// surface made at the output's scale, and both are drawn again. Where FLTK
// has handled a change of scale itself, as it does for its rescale keys, a
// redraw is pending by now and there is nothing to do.
void SiteDisplay::followScale(void* data)
{
#if FL_API_VERSION >= 10400
    SiteDisplay* display = static_cast<SiteDisplay*>(data);
    if (!display->shown() || display->damage() || display->drawnPixelW == 0)
        return;
    if (display->pixel_w() == display->drawnPixelW && display->pixel_h() == display->drawnPixelH)
        return;
    Fl_Window* window = display->top_window();
    window->size(window->w(), window->h());
    display->hide();
    display->show();
    window->redraw();
#else
    (void)data;
#endif
}

void SiteDisplay::loadCamera()
{
    const float aspect = float(w()) / float(h());
    Machine* selected = mainWindow->selectedMachine;
#ifdef DALVERY_CHECK_GL
    const GlState before = readGlState();
#endif
    if (mainWindow->driverButton->value()) {
        if (selected && selected->setDriverView(aspect)) {
            CHECK_GL(before, selected->name + "'s setDriverView", true);
            return;
        }
        // A failed setDriverView may leave anything in the matrices;
        // applyView loads both afresh.
        camera.applyView();
        CHECK_GL(before, selected ? selected->name + "'s setDriverView, declining, or the world camera" : "the world camera", true);
    } else if (mainWindow->machineButton->value() && selected) {
        selected->setMachineView(aspect);
        CHECK_GL(before, selected->name + "'s setMachineView", true);
    } else {
        camera.applyView();
        CHECK_GL(before, "the world camera", true);
    }
}

void SiteDisplay::draw()
{
#ifdef DALVERY_CHECK_GL
    glMatrixMode(GL_MODELVIEW);
    while (glGetError() != GL_NO_ERROR) {
        // errors from before the frame are not ours to report
    }
    const GlState frameStart = readGlState();
#endif
    beginFrame();
    glMatrixMode(GL_PROJECTION);
    drawnPixelW = pixel_w();
    drawnPixelH = pixel_h();
    glViewport(0, 0, drawnPixelW, drawnPixelH); // the whole view, at any scale
    loadCamera();
    placeSiteLights();

    drawGround(groundSize);

    glColor3ub(140, 98, 57); // rock brown
    for (const Rock& rock : mainWindow->rocks)
        drawCube(rock.x, rock.y, rock.z, rockSize);

#ifdef DALVERY_CHECK_GL
    CHECK_GL(frameStart, "the site's sky, lights, ground and rocks", true);
    const GlState before = readGlState(); // with the projection that no draw may change
#endif
    for (Machine* machine : mainWindow->machines) {
        machine->draw();
        CHECK_GL(before, machine->name + "'s draw", false);
    }
}

int SiteDisplay::handle(int event)
{
    if (camera.handleMouse(event))
        return 1;
    return Fl_Gl_Window::handle(event);
}
