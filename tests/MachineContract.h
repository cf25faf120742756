#pragma once

#include <string>
#include <vector>

class Machine;

// Everything a machine of the site owes the program, checked in the current
// GL context (machines/Machine.h says it): its draw and cameras leave the GL
// state as promised, its cameras are level, its load point is a point and
// its parameters fit the panel. Each problem is a line naming the machine,
// e.g. "Forklift: draw left GL_PROJECTION current"; none when it keeps it all.
std::vector<std::string> machineProblems(Machine& machine);
