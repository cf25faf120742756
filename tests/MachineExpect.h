#pragma once

#include <functional>
#include <string>

struct Box;
struct CameraPose;

// Runs a machine's camera operation with both matrices holding unrelated
// transforms and GL_PROJECTION current, then checks, by reading the matrices
// back, that it loaded both afresh: the eye at `eye`, `target` on the viewing
// axis ahead, world up kept up, the lens of expectLens with the aspect passed
// through, GL_MODELVIEW current and neither stack moved.
void expectCamera(const std::function<void(float aspect)>& camera,
                  const double eye[3], const double target[3], double fovY = 40);

// Checks a camera's lens: `fovY` degrees of vertical field, `aspect`, and the
// near and far planes every camera shares, 0.1 and 1000 site units ahead.
void expectLens(const CameraPose& pose, double fovY, double aspect, const std::string& what = {});

// Runs a drawing routine on a model-view holding an unrelated transform and
// checks that it leaves the matrix, the stack depth and the matrix mode as found.
void expectLeavesModelViewAsFound(const std::function<void()>& draw);

void expectNear3(const double (&found)[3], const double (&expected)[3], double tolerance, const char* what);
void expectBox(const Box& box, const double (&low)[3], const double (&high)[3], const char* what);
