// The least FLTK programs of the program's shape, the start-up and memory
// baselines: the program's window holding a GL view of its view's place,
// with the same buffers as the site display, cleared to the program's sky.
// Built twice:
// - least_gl_window: the view only clears;
// - least_lit_window (LEAST_LIT): the panel's widgets beside the view (a list
//   of five lines, three radio buttons, two buttons, ten labelled sliders),
//   and the view draws one lit quad and one lit line under the site's own
//   lights and GL state, so that the renderer builds its lit pipelines for
//   faces and for lines, as it must for any picture of the site.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include "view/SiteBufferMode.h"
#include "view/SiteLook.h"
#include "view/WindowLayout.h"

#ifdef LEAST_LIT
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include "harness/SiteList.h"
#endif

namespace {

#ifdef LEAST_LIT
void buildPanel()
{
    const Rect& p = layout::panel;
    Fl_Group* panel = new Fl_Group(p.x, p.y, p.w, p.h);
    const Rect& l = layout::list;
    Fl_Browser* list = new Fl_Browser(l.x, l.y, l.w, l.h, "select machine");
    list->type(FL_HOLD_BROWSER);
    for (const ListedMachine& line : siteList())
        list->add(line.name.c_str());
    for (const layout::ButtonPlace& place : layout::buttons) {
        const Rect& r = place.rect;
        Fl_Button* button = new Fl_Button(r.x, r.y, r.w, r.h, place.label);
        if (place.button == layout::Button::AddRock || place.button == layout::Button::ClearRocks)
            continue;
        button->type(FL_RADIO_BUTTON);
        button->selection_color(FL_YELLOW);
        button->value(place.button == layout::Button::World);
    }
    for (int i = 0; i < layout::sliderCount; ++i) {
        const Rect r = layout::slider(i);
        Fl_Value_Slider* slider = new Fl_Value_Slider(r.x, r.y, r.w, r.h, "unused");
        slider->type(FL_HOR_SLIDER);
        slider->bounds(-100, 100);
        slider->step(1);
        slider->deactivate();
    }
    panel->end();
}

void drawLitQuadAndLine(int w, int h)
{
    enableSiteLighting();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = double(w) / h;
    glFrustum(-aspect, aspect, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    placeSiteLights();

    // Low in the middle of the view, clear of the corner the start-up
    // benchmark watches for the clear colour.
    glColor3f(0.7f, 0.7f, 0.7f);
    glNormal3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -2);
    glVertex3f(-1, -1, -4);
    glVertex3f(1, -1, -4);
    glVertex3f(1, -1, -2);
    glEnd();
    glColor3f(1, 0.8f, 0);
    glBegin(GL_LINES);
    glVertex3f(-1, -0.5f, -3);
    glVertex3f(1, -0.5f, -3);
    glEnd();
}
#endif

class LeastView : public Fl_Gl_Window {
public:
    LeastView() : Fl_Gl_Window(layout::view.x, layout::view.y, layout::view.w, layout::view.h)
    {
        mode(siteBufferMode);
    }

    void draw() override
    {
        clearToSky();
#ifdef LEAST_LIT
        drawLitQuadAndLine(w(), h());
#endif
    }
};

} // namespace

int main()
{
    Fl_Double_Window* window = new Fl_Double_Window(layout::window.x, layout::window.y, layout::window.w,
                                                      layout::window.h, "Least");
#ifdef LEAST_LIT
    buildPanel();
#endif
    new LeastView();
    window->end();
    window->show();
    return Fl::run();
}
