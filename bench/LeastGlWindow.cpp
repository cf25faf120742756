// The least FLTK programs of the program's shape, the start-up and memory
// baselines: an 800 by 600 window at (50, 50) holding a 625 by 590 GL view
// with the same buffers as the site display, cleared to the same dark blue.
// Built twice:
// - least_gl_window: the view only clears;
// - least_lit_window (LEAST_LIT): the panel's widgets beside the view (a list
//   of five lines, three radio buttons, two buttons, ten labelled sliders),
//   and the view draws one lit quad and one lit line in the site display's GL
//   state, so that the driver builds its lit pipelines for faces and for
//   lines, as it must for any picture of the site.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#ifdef LEAST_LIT
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>
#include <initializer_list>
#endif

namespace {

#ifdef LEAST_LIT
void buildPanel()
{
    Fl_Group* panel = new Fl_Group(630, 0, 170, 590);
    Fl_Browser* list = new Fl_Browser(635, 5, 160, 105, "select machine");
    list->type(FL_HOLD_BROWSER);
    for (const char* line : {"Dump truck", "Crane", "Excavator", "Example1", "Example2"})
        list->add(line);
    const char* views[] = {"world", "machine", "driver"};
    const int viewX[] = {635, 685, 745}, viewW[] = {50, 60, 50};
    for (int i = 0; i < 3; ++i) {
        Fl_Button* button = new Fl_Button(viewX[i], 135, viewW[i], 20, views[i]);
        button->type(FL_RADIO_BUTTON);
        button->selection_color(FL_YELLOW);
        button->value(i == 0);
    }
    new Fl_Button(635, 170, 75, 20, "Add Rock");
    new Fl_Button(715, 170, 80, 20, "Clear Rocks");
    for (int i = 0; i < 10; ++i) {
        Fl_Value_Slider* slider = new Fl_Value_Slider(635, 200 + 40 * i, 160, 20, "unused");
        slider->type(FL_HOR_SLIDER);
        slider->bounds(-100, 100);
        slider->step(1);
        slider->deactivate();
    }
    panel->end();
}

void drawLitQuadAndLine(int w, int h)
{
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_NORMALIZE);

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = double(w) / h;
    glFrustum(-aspect, aspect, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat white[] = {1, 1, 1, 1};
    const GLfloat positions[2][4] = {{100, 110, 120, 1}, {-100, 10, -150, 1}};
    glLightfv(GL_LIGHT0, GL_POSITION, positions[0]);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_POSITION, positions[1]);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);

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
    LeastView() : Fl_Gl_Window(5, 5, 625, 590)
    {
        mode(FL_RGB | FL_DOUBLE | FL_ALPHA | FL_DEPTH);
    }

    void draw() override
    {
        glClearColor(0.0f, 0.0f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
#ifdef LEAST_LIT
        drawLitQuadAndLine(w(), h());
#endif
    }
};

} // namespace

int main()
{
    Fl_Double_Window* window = new Fl_Double_Window(50, 50, 800, 600, "Least");
#ifdef LEAST_LIT
    buildPanel();
#endif
    new LeastView();
    window->end();
    window->show();
    return Fl::run();
}
