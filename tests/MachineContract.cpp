#include "tests/MachineContract.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "draw/Angles.h"
#include "draw/GlState.h"
#include "machines/Machine.h"
#include "tests/GlContext.h"
#include "view/WindowLayout.h" // the view's size and the slider count: constants, nothing to link

namespace {

constexpr float aspect = float(layout::view.w) / float(layout::view.h); // the site display's

// A camera looking within this of straight up or down (cos 0.8°) has no
// horizon to keep level: world up lies along its view, and which way the
// picture turns about it is the camera's own affair.
constexpr double nearlyVertical = 0.9999;
// gluLookAt with up (0, 1, 0) keeps the picture's right exactly horizontal
// (it is so in every shipped camera); a degree of roll already shows on the
// horizon across the view.
const double levelTolerance = std::sin(radians(1));

struct Problems {
    Machine& machine;
    std::vector<std::string> lines;
    void add(const std::string& what) { lines.push_back(machine.name + ": " + what); }
};

bool finiteMatrix(unsigned glMatrixName)
{
    const Mat4 m = currentMatrix(glMatrixName);
    for (double v : m.m)
        if (!std::isfinite(v))
            return false;
    return true;
}

void checkCamera(Problems& problems, const char* operation, const GlState& before)
{
    const std::string op = std::string(operation) + " ";
    const std::string change = describeGlChange(before, readGlState(), true);
    if (!change.empty())
        problems.add(op + change);
    if (!finiteMatrix(GL_PROJECTION_MATRIX) || !finiteMatrix(GL_MODELVIEW_MATRIX)) {
        problems.add(op + "loaded a matrix that is not finite");
        return;
    }
    const CameraPose pose = currentCameraPose();
    if (std::abs(pose.forward[1]) > nearlyVertical)
        return;
    // The picture's right and up in world coordinates: rows 0 and 1 of the
    // model-view's rotation.
    const Mat4 mv = currentMatrix(GL_MODELVIEW_MATRIX);
    double right[3] = {mv.m[0], mv.m[4], mv.m[8]};
    normalize(right);
    if (!(std::abs(right[1]) < levelTolerance && pose.up[1] > 0)) {
        const double roll = std::abs(std::atan2(right[1], pose.up[1])) * 180 / pi;
        problems.add(op + "is not level: its picture is rolled " + std::to_string(int(std::lround(roll))) +
                     " degrees (gluLookAt's up is (0, 1, 0))");
    }
}

void checkDraw(Problems& problems)
{
    loadUnrelatedMatrices();
    glMatrixMode(GL_MODELVIEW); // as the display leaves it for every draw
    const GlState before = readGlState();
    problems.machine.draw();
    const std::string change = describeGlChange(before, readGlState(), false);
    if (!change.empty())
        problems.add("draw " + change);
}

void checkCameras(Problems& problems)
{
    loadUnrelatedMatrices();
    GlState before = readGlState();
    problems.machine.setMachineView(aspect);
    checkCamera(problems, "setMachineView", before);

    // Model-view current this time, so that a camera that declines leaves
    // every state as it found it.
    loadUnrelatedMatrices();
    glMatrixMode(GL_MODELVIEW);
    before = readGlState();
    const Mat4 modelView = currentMatrix(GL_MODELVIEW_MATRIX);
    if (problems.machine.setDriverView(aspect)) {
        checkCamera(problems, "setDriverView", before);
        return;
    }
    std::string change = describeGlChange(before, readGlState(), false);
    if (std::memcmp(modelView.m, currentMatrix(GL_MODELVIEW_MATRIX).m, sizeof modelView.m) != 0)
        change += (change.empty() ? "" : ", ") + std::string("changed the model-view matrix");
    if (!change.empty())
        problems.add("setDriverView returned false but " + change);
}

void checkLoadPoint(Problems& problems)
{
    const float untouched = 1234.5f;
    float p[3] = {untouched, untouched, untouched};
    const bool offered = problems.machine.getLoadPoint(p[0], p[1], p[2]);
    // A machine that cannot set down now may still say where its load hangs
    // (the crane's camera aims there): whatever it writes must be a point.
    const bool written = p[0] != untouched || p[1] != untouched || p[2] != untouched;
    if ((offered || written) && !(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])))
        problems.add(std::string("getLoadPoint ") + (offered ? "returned true" : "returned false") +
                     " with a point that is not finite");
}

void checkParameters(Problems& problems)
{
    const Machine& m = problems.machine;
    const size_t count = m.params.size();
    if (m.paramNames.size() != count || m.paramRanges.size() != count) {
        problems.add(std::to_string(count) + " parameters, " + std::to_string(m.paramNames.size()) + " labels and " +
                     std::to_string(m.paramRanges.size()) + " ranges: params, paramNames and paramRanges differ in length");
        return;
    }
    if (count < 3)
        problems.add(std::to_string(count) + " parameters: X, Z and Orientation come first");
    const std::string sliders = std::to_string(layout::sliderCount);
    if (count > size_t(layout::sliderCount))
        problems.add(std::to_string(count) + " parameters, but the panel shows " + sliders + " sliders: parameters from " +
                     sliders + " on are never shown");
    for (size_t i = 0; i < count; ++i) {
        const std::string& label = m.paramNames[i];
        const std::string which = "parameter " + std::to_string(i) + (label.empty() ? "" : " (" + label + ")");
        if (label.empty())
            problems.add(which + " has no label");
        if (!(m.paramRanges[i].first < m.paramRanges[i].second))
            problems.add(which + " has a range whose minimum is not below its maximum");
    }
}

} // namespace

std::vector<std::string> machineProblems(Machine& machine)
{
    Problems problems{machine, {}};
    while (glGetError() != GL_NO_ERROR) {
        // not this machine's
    }
    checkDraw(problems);
    checkCameras(problems);
    checkLoadPoint(problems);
    checkParameters(problems);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return problems.lines;
}
