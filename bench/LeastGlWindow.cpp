// The least FLTK program of the program's shape, the start-up and memory
// baseline: an 800 by 600 window at (50, 50) holding a 625 by 590 GL view
// with the same buffers as the site display, which only clears, to the same
// dark blue.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

namespace {

class ClearingView : public Fl_Gl_Window {
public:
    ClearingView() : Fl_Gl_Window(5, 5, 625, 590)
    {
        mode(FL_RGB | FL_DOUBLE | FL_ALPHA | FL_DEPTH);
    }

    void draw() override
    {
        glClearColor(0.0f, 0.0f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

} // namespace

int main()
{
    Fl_Double_Window* window = new Fl_Double_Window(50, 50, 800, 600, "Least");
    new ClearingView();
    window->end();
    window->show();
    return Fl::run();
}
