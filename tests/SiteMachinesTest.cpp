#include <GL/gl.h>
#include <GL/glu.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/Site.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"
#include "machines/Machine.h"
#include "tests/GlContext.h"
#include "tests/MachineContract.h"

namespace {

using SiteMachinesGl = GlTest;

TEST_F(SiteMachinesGl, EveryMachineOfTheSiteKeepsTheMachineContract)
{
    // The site's machines, never destroyed, as the program keeps its own:
    // the leak check at exit still finds them.
    static MachineRecorder* const site = new MachineRecorder;
    if (site->machines.empty())
        populateSite(site);
    ASSERT_GE(site->machines.size(), 5u);
    std::string all;
    for (Machine* machine : site->machines)
        for (const std::string& problem : machineProblems(*machine))
            all += problem + "\n";
    EXPECT_TRUE(all.empty()) << "Every machine of app/Site.h keeps what machines/Machine.h asks of it; "
                                "these do not:\n" << all;
}

// The mistakes a student's machine makes, one at a time.
enum class Mistake { none, forgottenPop, projectionLeftCurrent, rolledDriver, elevenParameters, twoParameters };

unsigned parameterCount(Mistake mistake)
{
    return mistake == Mistake::elevenParameters ? 11 : mistake == Mistake::twoParameters ? 2 : 4;
}

// A student's machine: a cube of adjustable height with a load point on its
// top and both cameras, making the mistake it is given.
class Student : public Machine {
public:
    explicit Student(Mistake mistake) : Machine(parameterCount(mistake), "Student"), mistake(mistake)
    {
        for (size_t i = 3; i < params.size(); ++i) {
            paramNames[i] = "height";
            paramRanges[i] = {1, 5};
            params[i] = 2;
        }
    }
    void draw() override
    {
        glPushMatrix();
        glTranslatef(params[0], 0, params[1]);
        glRotatef(params[2], 0, 1, 0);
        drawCube(0, params[3] / 2, 0, params[3]);
        if (mistake != Mistake::forgottenPop)
            glPopMatrix();
    }
    bool getLoadPoint(float& x, float& y, float& z) override
    {
        x = params[0];
        y = params[3];
        z = params[1];
        return true;
    }
    void setMachineView(float aspect) override
    {
        loadPerspective(cameraFieldOfView, aspect);
        gluLookAt(params[0] + 20, 10, params[1] + 20, params[0], 0, params[1], 0, 1, 0);
        if (mistake == Mistake::projectionLeftCurrent)
            glMatrixMode(GL_PROJECTION);
    }
    bool setDriverView(float aspect) override
    {
        // Rolled: up (0, 0, 1), square to a view along +x, turns the picture on its side.
        const double upZ = mistake == Mistake::rolledDriver ? 1 : 0;
        loadPerspective(cameraFieldOfView, aspect);
        gluLookAt(params[0], params[3] + 1, params[1], params[0] + 10, params[3], params[1], 0, 1 - upZ, upZ);
        return true;
    }

private:
    Mistake mistake;
};

struct MistakeCase {
    Mistake mistake;
    const char* problems; // every line machineProblems gives, or the constructor's refusal
};

static const MistakeCase mistakeCases[] = {
    {Mistake::none, ""},
    {Mistake::forgottenPop, "Student: draw left 1 model-view matrix pushed (depth 2, expected 1)\n"},
    {Mistake::projectionLeftCurrent, "Student: setMachineView left GL_PROJECTION current\n"},
    {Mistake::rolledDriver,
     "Student: setDriverView is not level: its picture is rolled 90 degrees (gluLookAt's up is (0, 1, 0))\n"},
    {Mistake::elevenParameters,
     "Student: 11 parameters, but the panel shows 10 sliders: parameters from 10 on are never shown\n"},
    {Mistake::twoParameters, "Student: a machine has at least 3 parameters (X, Z, Orientation), not 2\n"},
};

TEST_F(SiteMachinesGl, EachMistakeOfAMachineIsNamed)
{
    for (const MistakeCase& c : mistakeCases) {
        std::string found;
        try {
            Student machine(c.mistake);
            for (const std::string& problem : machineProblems(machine))
                found += problem + "\n";
        } catch (const std::invalid_argument& refused) {
            found = std::string(refused.what()) + "\n";
        }
        EXPECT_EQ(found, c.problems) << "mistake " << int(c.mistake);
    }
}

} // namespace
