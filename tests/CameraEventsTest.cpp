#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>

#include <cmath>

#include "app/DalveryWindow.h"
#include "tests/FakeMouse.h"
#include "view/SiteDisplay.h"

namespace {

// Mouse events delivered to the shown site display, with FLTK's event state
// set as the event loop would set it.
class ViewMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        display.clear_damage();
    }
    int send(int event, int x, int y, int button, int state = 0)
    {
        fakeMouse(x, y, button, state);
        return display.handle(event);
    }
    bool redrawRequested()
    {
        const bool requested = display.damage() != 0;
        display.clear_damage();
        return requested;
    }
    float viewEntry(int i)
    {
        float m[16];
        display.camera.viewMatrix(m);
        return m[i];
    }

    DalveryWindow window;
    SiteDisplay& display = *window.display;
};

TEST_F(ViewMouse, RightPressAndReleaseInPlaceRedrawsTwiceAndChangesNothing)
{
    float before[16], after[16];
    display.camera.viewMatrix(before);
    EXPECT_EQ(send(FL_PUSH, 300, 300, FL_RIGHT_MOUSE), 1);
    EXPECT_TRUE(redrawRequested());
    EXPECT_EQ(send(FL_RELEASE, 300, 300, FL_RIGHT_MOUSE), 1);
    EXPECT_TRUE(redrawRequested());
    display.camera.viewMatrix(after);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(before[i], after[i], 1e-6);
    EXPECT_EQ(display.camera.dragRotation.w, 1.0f);
}

TEST_F(ViewMouse, RightDragTurnsTheWorldAndAltRightDragPansIt)
{
    const float before = viewEntry(0);
    send(FL_PUSH, 312, 295, FL_RIGHT_MOUSE);
    EXPECT_EQ(send(FL_DRAG, 500, 295, FL_RIGHT_MOUSE), 1);
    EXPECT_TRUE(redrawRequested());
    EXPECT_GT(std::fabs(viewEntry(0) - before), 0.1f);
    send(FL_RELEASE, 500, 295, FL_RIGHT_MOUSE);

    send(FL_PUSH, 100, 295, FL_RIGHT_MOUSE, FL_ALT);
    send(FL_DRAG, 200, 295, FL_RIGHT_MOUSE, FL_ALT);
    EXPECT_LT(display.camera.panX, -10) << "the scene follows the pointer to the right";
    send(FL_RELEASE, 200, 295, FL_RIGHT_MOUSE);
}

TEST_F(ViewMouse, LeftAndMiddleButtonsGetTheWindowsOwnHandling)
{
    Fl_Gl_Window plain(0, 0, 625, 590);
    for (int button : {FL_LEFT_MOUSE, FL_MIDDLE_MOUSE}) {
        Fl::e_keysym = FL_Button + button;
        const int base = plain.handle(FL_PUSH);
        EXPECT_EQ(send(FL_PUSH, 300, 300, button), base);
        EXPECT_EQ(send(FL_DRAG, 400, 300, button), plain.handle(FL_DRAG));
        EXPECT_FALSE(redrawRequested());
        EXPECT_EQ(display.camera.panX, 0.0f);
        EXPECT_EQ(display.camera.dragRotation.w, 1.0f);
    }
}

} // namespace
