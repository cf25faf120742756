#include <GL/gl.h>

#include "machines/Machine.h"
#include "tests/GlContext.h"

namespace {

// The least machine there can be: the base's own behaviour shows through.
class BareMachine : public Machine {
public:
    BareMachine(unsigned count, const char* name) : Machine(count, name) {}
    void draw() override {}
    void setMachineView(float) override {}
};

TEST(MachineBase, HasNoLoadPointAndLeavesTheOutputsAlone)
{
    BareMachine m(3, "bare");
    float x = 1.5f, y = -2.5f, z = 3.5f;
    EXPECT_FALSE(m.getLoadPoint(x, y, z));
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, -2.5f);
    EXPECT_EQ(z, 3.5f);
}

using MachineBaseGl = GlTest;

TEST_F(MachineBaseGl, HasNoDriversSeatAndTouchesNoMatrix)
{
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(30, 0, 1, 0);
    const Mat4 projection = currentMatrix(GL_PROJECTION_MATRIX);
    const Mat4 modelView = currentMatrix(GL_MODELVIEW_MATRIX);

    BareMachine m(3, "bare");
    EXPECT_FALSE(m.setDriverView(1.5f));

    const Mat4 projectionAfter = currentMatrix(GL_PROJECTION_MATRIX);
    const Mat4 modelViewAfter = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projection.m[i], projectionAfter.m[i]);
        EXPECT_EQ(modelView.m[i], modelViewAfter.m[i]);
    }
    EXPECT_EQ(matrixMode(), GL_MODELVIEW);
}

} // namespace
