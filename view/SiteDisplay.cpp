#include "view/SiteDisplay.h"

#include <FL/Fl_Button.H>
#include <FL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "app/DalveryWindow.h"
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

#ifndef NDEBUG
// A drawing routine that forgets a pop, or a GL call with bad arguments,
// is caught on the frame where it happens rather than frames later.
void checkFrameEnd(GLint modelViewDepthBefore)
{
    GLint mode = 0, depth = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    const GLenum error = glGetError();
    if (mode != GL_MODELVIEW || depth != modelViewDepthBefore || error != GL_NO_ERROR) {
        std::fprintf(stderr,
                     "Dalvery: frame left GL state broken: matrix mode 0x%x, "
                     "model-view depth %d (expected %d), GL error 0x%x\n",
                     unsigned(mode), int(depth), int(modelViewDepthBefore), unsigned(error));
        std::abort();
    }
}
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
}

void SiteDisplay::loadCamera()
{
    const float aspect = float(w()) / float(h());
    Machine* selected = mainWindow->selectedMachine;
    if (mainWindow->driverButton->value()) {
        // A failed setDriverView may leave anything in the matrices;
        // applyView loads both afresh.
        if (!selected || !selected->setDriverView(aspect))
            camera.applyView();
    } else if (mainWindow->machineButton->value() && selected) {
        selected->setMachineView(aspect);
    } else {
        camera.applyView();
    }
}

void SiteDisplay::draw()
{
#ifndef NDEBUG
    glMatrixMode(GL_MODELVIEW);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    while (glGetError() != GL_NO_ERROR) {
        // errors from before the frame are not ours to report
    }
#endif
    beginFrame();
    glMatrixMode(GL_PROJECTION);
    glViewport(0, 0, pixel_w(), pixel_h()); // the whole view, at any scale
    loadCamera();
    placeSiteLights();

    drawGround(groundSize);

    glColor3ub(140, 98, 57); // rock brown
    for (const Rock& rock : mainWindow->rocks)
        drawCube(rock.x, rock.y, rock.z, rockSize);

    for (Machine* machine : mainWindow->machines)
        machine->draw();
#ifndef NDEBUG
    checkFrameEnd(depthBefore);
#endif
}

int SiteDisplay::handle(int event)
{
    if (camera.handleMouse(event))
        return 1;
    return Fl_Gl_Window::handle(event);
}
