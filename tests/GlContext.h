#pragma once

#include <gtest/gtest.h>

#include "harness/Rgb.h"

// A headless OpenGL compatibility context (EGL on Mesa's surfaceless
// platform, no X server), made current for every test of a fixture that
// derives from GlTest. Matrices are reset to the identity before each test.
class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
};

// Column-major 4x4 matrix as GL returns it.
struct Mat4 {
    double m[16];
    // Transforms the point (x, y, z, 1); returns x, y, z divided by w.
    void apply(const double in[3], double out[3]) const;
    double w(const double in[3]) const;
};

Mat4 currentMatrix(unsigned glMatrixName); // GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX
int matrixMode();
int modelViewDepth();
int projectionDepth();
// The pixel at (x, y) of the finished frame, counted from the bottom left.
Rgb pixelAt(int x, int y);

// Eye position, viewing direction and the perspective (vertical field of view
// in degrees, aspect, near and far planes) recovered from the current
// projection and model-view matrices.
struct CameraPose {
    double eye[3];
    double forward[3]; // unit
    double up[3];      // unit, perpendicular to forward
    double fovY;
    double aspect;
    double zNear, zFar;
};
CameraPose currentCameraPose();
// Both matrices hold transforms no camera would make, with GL_PROJECTION
// current, as the site display leaves them before a camera loads.
void loadUnrelatedMatrices();
// Scales v to unit length.
void normalize(double v[3]);
