#pragma once

// Vertical field of view of every camera but the excavator's overview, degrees.
constexpr double cameraFieldOfView = 40;

// Loads GL_PROJECTION afresh with a perspective of `fieldOfView` degrees
// (vertical) and `aspect` (width over height), seeing from 0.1 to 1000 site
// units ahead, then leaves GL_MODELVIEW current and reset to the identity for
// the caller's viewing transform.
void loadPerspective(double fieldOfView, double aspect);
