#include "tests/MachineExpect.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/Feedback.h"
#include "tests/GlContext.h"

namespace {

constexpr float aspect = 625.0f / 590.0f; // the site display's

} // namespace

void expectCamera(const std::function<void(float aspect)>& camera,
                  const double eye[3], const double target[3], double fovY)
{
    loadUnrelatedMatrices();
    const int modelViewDepthBefore = modelViewDepth(), projectionDepthBefore = projectionDepth();

    camera(aspect);

    EXPECT_EQ(matrixMode(), GL_MODELVIEW);
    EXPECT_EQ(modelViewDepth(), modelViewDepthBefore);
    EXPECT_EQ(projectionDepth(), projectionDepthBefore);
    const CameraPose pose = currentCameraPose();
    double ahead[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    normalize(ahead);
    // Up as gluLookAt makes it from (0, 1, 0): the part of world up square to the view.
    double up[3] = {-ahead[1] * ahead[0], 1 - ahead[1] * ahead[1], -ahead[1] * ahead[2]};
    normalize(up);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(pose.eye[i], eye[i], 2e-3) << "eye, axis " << i;
        EXPECT_NEAR(pose.forward[i], ahead[i], 1e-4) << "viewing direction, axis " << i;
        EXPECT_NEAR(pose.up[i], up[i], 1e-4) << "up, axis " << i;
    }
    expectLens(pose, fovY, aspect);
}

void expectLens(const CameraPose& pose, double fovY, double aspect, const std::string& what)
{
    EXPECT_NEAR(pose.fovY, fovY, 1e-3) << what;
    EXPECT_NEAR(pose.aspect, aspect, 1e-4) << what;
    EXPECT_NEAR(pose.zNear, 0.1, 1e-6) << what;
    // The matrix holds floats: far is recovered to about a part in three thousand.
    EXPECT_NEAR(pose.zFar, 1000, 1) << what;
}

void expectLeavesModelViewAsFound(const std::function<void()>& draw)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1, 2, 3);
    glRotated(30, 0, 1, 0);
    const Mat4 before = currentMatrix(GL_MODELVIEW_MATRIX);
    const int depth = modelViewDepth();
    draw();
    EXPECT_EQ(matrixMode(), GL_MODELVIEW);
    EXPECT_EQ(modelViewDepth(), depth);
    const Mat4 after = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after.m[i], before.m[i]) << "model-view element " << i;
}

void expectNear3(const double (&found)[3], const double (&expected)[3], double tolerance, const char* what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(found[i], expected[i], tolerance) << what << ", axis " << i;
}

void expectBox(const Box& box, const double (&low)[3], const double (&high)[3], const char* what)
{
    expectNear3(box.min, low, 1e-3, what);
    expectNear3(box.max, high, 1e-3, what);
}
