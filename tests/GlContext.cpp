#include "tests/GlContext.h"

#include <GL/gl.h>

#include <cmath>
#include <string>

#include "tests/HeadlessGl.h"

namespace {

bool contextReady = false;

void createContext()
{
    std::string error;
    ASSERT_TRUE(makeHeadlessContext(625, 590, error)) << error; // the view's size
    contextReady = true;
}

void resetMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int integerState(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

void normalize(double v[3])
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void GlTest::SetUpTestSuite()
{
    if (!contextReady)
        createContext();
}

void GlTest::SetUp()
{
    ASSERT_TRUE(contextReady) << "no headless GL context";
    while (glGetError() != GL_NO_ERROR) {
    }
    resetMatrices();
}

void GlTest::TearDown()
{
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

void Mat4::apply(const double in[3], double out[3]) const
{
    const double wv = w(in);
    for (int r = 0; r < 3; ++r)
        out[r] = (m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r]) / wv;
}

double Mat4::w(const double in[3]) const
{
    return m[3] * in[0] + m[7] * in[1] + m[11] * in[2] + m[15];
}

Mat4 currentMatrix(unsigned glMatrixName)
{
    Mat4 result;
    glGetDoublev(glMatrixName, result.m);
    return result;
}

int matrixMode()
{
    return integerState(GL_MATRIX_MODE);
}

int modelViewDepth()
{
    return integerState(GL_MODELVIEW_STACK_DEPTH);
}

int projectionDepth()
{
    return integerState(GL_PROJECTION_STACK_DEPTH);
}

Rgb pixelAt(int x, int y)
{
    glFinish();
    unsigned char p[4];
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

void loadUnrelatedMatrices()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(33, 1, 2, 3);
    glTranslated(4, 5, 6);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 2, -3, 4, -5, 6);
}

CameraPose currentCameraPose()
{
    const Mat4 mv = currentMatrix(GL_MODELVIEW_MATRIX);
    const Mat4 p = currentMatrix(GL_PROJECTION_MATRIX);
    CameraPose pose{};
    // The model-view is a rigid motion: eye = -Rᵀ t; forward = -(row 2 of R);
    // up = row 1 of R.
    for (int i = 0; i < 3; ++i) {
        pose.eye[i] = -(mv.m[4 * i + 0] * mv.m[12] + mv.m[4 * i + 1] * mv.m[13] + mv.m[4 * i + 2] * mv.m[14]);
        pose.forward[i] = -mv.m[4 * i + 2];
        pose.up[i] = mv.m[4 * i + 1];
    }
    normalize(pose.forward);
    normalize(pose.up);
    // gluPerspective puts f = cot(fovy / 2) in m[5], f / aspect in m[0],
    // (far + near) / (near - far) in m[10] and 2 far near / (near - far) in m[14].
    pose.fovY = 2 * std::atan(1 / p.m[5]) * 180 / std::acos(-1.0);
    pose.aspect = p.m[5] / p.m[0];
    pose.zNear = p.m[14] / (p.m[10] - 1);
    pose.zFar = p.m[14] / (p.m[10] + 1);
    return pose;
}
