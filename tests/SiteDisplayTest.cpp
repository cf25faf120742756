#include <FL/Fl_Button.H>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/DalveryWindow.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"
#include "machines/ExampleMachine.h"
#include "machines/Machine.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"
#include "view/SiteDisplay.h"

namespace {

// A machine that says which of its operations ran. Its machine camera stands
// at (11, 12, 13), its driver camera at (21, 22, 23); without a seat its
// driver view scribbles on the matrices and then declines.
class RecordingMachine : public Machine {
public:
    RecordingMachine(const char* name, bool hasSeat, std::vector<std::string>* log)
        : Machine(3, name), hasSeat(hasSeat), log(log) {}

    void draw() override { log->push_back(name + " draw"); }
    void setMachineView(float aspect) override
    {
        log->push_back(name + " machine view");
        lookFrom(aspect, 11, 12, 13);
    }
    bool setDriverView(float aspect) override
    {
        log->push_back(name + " driver view");
        if (!hasSeat) {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glScalef(5, 5, 5);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glTranslatef(99, 99, 99);
            return false;
        }
        lookFrom(aspect, 21, 22, 23);
        return true;
    }

private:
    static void lookFrom(float aspect, double x, double y, double z)
    {
        loadPerspective(cameraFieldOfView, aspect);
        gluLookAt(x, y, z, 0, 0, 0, 0, 1, 0);
    }

    bool hasSeat;
    std::vector<std::string>* log;
};

// A machine whose drawing forgets to pop its matrix, and whose camera
// leaves GL_PROJECTION current.
class LeakyMachine : public Machine {
public:
    LeakyMachine() : Machine(3, "Leaky") {}
    void draw() override { glPushMatrix(); }
    void setMachineView(float) override
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
    }
};

class SiteDisplayFrame : public GlTest {
protected:
    void choose(Fl_Button* button) { button->setonly(); }

    double eyeDistanceTo(double x, double y, double z)
    {
        const CameraPose pose = currentCameraPose();
        return std::hypot(pose.eye[0] - x, pose.eye[1] - y, pose.eye[2] - z);
    }

    DalveryWindow window;
    SiteDisplay& display = *window.display;
    std::vector<std::string> log;
};

const double worldEye[3] = {-178.89, 89.44, 150.00};

TEST_F(SiteDisplayFrame, CameraFollowsTheViewButtonsAndTheSelection)
{
    RecordingMachine seated("seated", true, &log);
    RecordingMachine seatless("seatless", false, &log);
    window.machines = {&seated, &seatless};

    enum Expect { World, MachineCam, DriverCam };
    struct Case {
        Fl_Button* DalveryWindow::*button;
        Machine* selected;
        Expect camera;
    } cases[] = {
        {&DalveryWindow::worldButton, nullptr, World},
        {&DalveryWindow::worldButton, &seated, World},
        {&DalveryWindow::worldButton, &seatless, World},
        {&DalveryWindow::machineButton, nullptr, World},
        {&DalveryWindow::machineButton, &seated, MachineCam},
        {&DalveryWindow::machineButton, &seatless, MachineCam},
        {&DalveryWindow::driverButton, nullptr, World},
        {&DalveryWindow::driverButton, &seated, DriverCam},
        {&DalveryWindow::driverButton, &seatless, World},
    };
    for (const Case& c : cases) {
        choose(window.*c.button);
        window.selectedMachine = c.selected;
        display.draw();
        const std::string what = std::string((window.*c.button)->label()) + " with " +
                                 (c.selected ? c.selected->name : "nothing");
        EXPECT_EQ(matrixMode(), GL_MODELVIEW) << what;
        switch (c.camera) {
        case World:
            EXPECT_NEAR(eyeDistanceTo(worldEye[0], worldEye[1], worldEye[2]), 0, 0.02) << what;
            break;
        case MachineCam:
            EXPECT_NEAR(eyeDistanceTo(11, 12, 13), 0, 1e-3) << what;
            break;
        case DriverCam:
            EXPECT_NEAR(eyeDistanceTo(21, 22, 23), 0, 1e-3) << what;
            break;
        }
        // The test machine's cameras use the shared lens too.
        expectLens(currentCameraPose(), 40, 625.0 / 590.0, what);
    }
}

TEST_F(SiteDisplayFrame, FallbackShowsTheWorldCameraAsTheUserLeftIt)
{
    RecordingMachine seatless("seatless", false, &log);
    display.camera.beginDrag(0, 0);
    display.camera.dragMode = WorldCamera::PanDrag;
    display.camera.dragTo(0.1f, 0.2f);
    display.camera.dragMode = WorldCamera::NoDrag;

    choose(window.worldButton);
    display.draw();
    const Mat4 world = currentMatrix(GL_MODELVIEW_MATRIX);

    choose(window.driverButton);
    window.selectedMachine = &seatless;
    display.draw();
    const Mat4 fallback = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(world.m[i], fallback.m[i], 1e-9);
    EXPECT_EQ(log, std::vector<std::string>{"seatless driver view"});
}

TEST_F(SiteDisplayFrame, DrawsEveryMachineInListOrderAfterTheCamera)
{
    RecordingMachine a("a", true, &log), b("b", false, &log), c("c", true, &log);
    window.machines = {&b, &a, &c};
    window.selectedMachine = &c;
    choose(window.machineButton);
    display.draw();
    EXPECT_EQ(log, (std::vector<std::string>{"c machine view", "b draw", "a draw", "c draw"}));
}

// Light positions are given in world coordinates after the camera is loaded,
// so in eye space they are the camera's view of fixed world points.
TEST_F(SiteDisplayFrame, LightsStayFixedInTheWorldWhateverTheCamera)
{
    ExampleMachine example("Example1", 0, 0, 2);
    window.selectedMachine = &example;
    const double worldLights[2][3] = {{100, 110, 120}, {-100, 10, -150}};

    auto checkLights = [&](const char* what) {
        const Mat4 view = currentMatrix(GL_MODELVIEW_MATRIX);
        for (int l = 0; l < 2; ++l) {
            GLfloat position[4], diffuse[4];
            glGetLightfv(GL_LIGHT0 + l, GL_POSITION, position);
            glGetLightfv(GL_LIGHT0 + l, GL_DIFFUSE, diffuse);
            double expected[3];
            view.apply(worldLights[l], expected);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(position[i], expected[i], 1e-2) << what << " light " << l << " axis " << i;
            EXPECT_EQ(position[3], 1.0f) << "positional";
            EXPECT_EQ(diffuse[0], 1.0f);
            EXPECT_EQ(diffuse[2], 1.0f);
            EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + l));
        }
    };
    choose(window.worldButton);
    display.draw();
    checkLights("world");

    display.camera.beginDrag(0.1f, 0.1f);
    display.camera.dragMode = WorldCamera::RotateDrag;
    display.camera.dragTo(0.8f, -0.4f);
    display.draw();
    checkLights("turned world");

    choose(window.machineButton);
    display.draw();
    checkLights("machine camera");
}

TEST_F(SiteDisplayFrame, EmptySiteIsGroundOnDarkBlue)
{
    display.draw();
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.3f);
    EXPECT_EQ(clear[3], 1.0f) << "a compositor would show the desktop through the sky";
    const Rgb sky = pixelAt(2, 587);
    EXPECT_EQ(sky.r, 0);
    EXPECT_EQ(sky.g, 0);
    EXPECT_NEAR(sky.b, 77, 1);
    const Rgb centre = pixelAt(312, 295); // the origin of the site
    EXPECT_EQ(centre.r, centre.g);
    EXPECT_EQ(centre.g, centre.b);
    EXPECT_GT(centre.r, 20) << "the ground is lit";
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[2], 625);
    EXPECT_EQ(viewport[3], 590);
}

TEST_F(SiteDisplayFrame, RocksAreBrownCubesWhereTheyWerePut)
{
    window.rocks = {{0, 1, 0}};
    display.draw();
    const Rgb rock = pixelAt(312, 295);
    EXPECT_GT(rock.r, rock.g);
    EXPECT_GT(rock.g, rock.b);
    window.rocks.clear();
    display.draw();
    const Rgb ground = pixelAt(312, 295);
    EXPECT_EQ(ground.r, ground.b);
}

// Renders one cube of the given size under the frame's camera and lights and
// returns the lit colour of its top face at its corner (0, 20, 0): the corner
// stays put whatever the size, so the lights fall on it the same way.
float litTopOfCube(SiteDisplay& display, float size)
{
    display.draw();
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glColor3f(1, 1, 0);
    drawCube(-size / 2, 20 - size / 2, -size / 2, size);
    const GLint used = glRenderMode(GL_RENDER);
    // Twelve triangles of 3 vertices of 7 floats, each after a token and a count;
    // the faces come front, back, top, ...: triangle 4 starts the top.
    EXPECT_EQ(used, 12 * (2 + 3 * 7));
    const int topTriangle = 4 * (2 + 3 * 7);
    return buffer[topTriangle + 2 + 3]; // the red channel of its first vertex
}

TEST_F(SiteDisplayFrame, BrightnessOfAFaceDoesNotDependOnTheCubesSize)
{
    const float small = litTopOfCube(display, 1);
    const float large = litTopOfCube(display, 20);
    EXPECT_GT(small, 0.2f);
    EXPECT_NEAR(small, large, 0.02f);
}

#ifdef DALVERY_CHECK_GL
TEST_F(SiteDisplayFrame, AMachineThatLeavesTheGlStateBrokenIsNamedOnItsFrame)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    LeakyMachine leaky;
    window.machines = {&leaky};
    EXPECT_DEATH(display.draw(), "Dalvery: Leaky's draw left 1 model-view matrix pushed \\(depth 2, expected 1\\)");
    window.selectedMachine = &leaky;
    choose(window.machineButton);
    EXPECT_DEATH(display.draw(), "Dalvery: Leaky's setMachineView left GL_PROJECTION current");
}
#endif

} // namespace
