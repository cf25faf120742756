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

TEST(MachineBase, FillsTheThreeGroundParametersAndBlanksTheRest)
{
    BareMachine m(5, "bare");
    EXPECT_EQ(m.name, "bare");
    EXPECT_EQ(m.window, nullptr);
    ASSERT_EQ(m.params.size(), 5u);
    ASSERT_EQ(m.paramNames.size(), 5u);
    ASSERT_EQ(m.paramRanges.size(), 5u);
    const char* names[] = {"X", "Z", "Orientation", "", ""};
    const std::pair<float, float> ranges[] = {{-100, 100}, {-100, 100}, {0, 360}, {0, 0}, {0, 0}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(m.params[i], 0.0f) << i;
        EXPECT_EQ(m.paramNames[i], names[i]) << i;
        EXPECT_EQ(m.paramRanges[i], ranges[i]) << i;
    }
}

TEST(MachineBase, TwoMachinesShareNoParameters)
{
    BareMachine a(4, "a"), b(4, "b");
    a.params[3] = 7;
    a.paramNames[3] = "changed";
    EXPECT_EQ(b.params[3], 0.0f);
    EXPECT_EQ(b.paramNames[3], "");
}

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
