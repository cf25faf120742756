#include "draw/GlState.h"

#include <cstdio>
#include <cstring>

namespace {

struct NamedEnum {
    GLenum value;
    const char* name;
};

// The matrix modes and the errors of OpenGL 1.x.
static const NamedEnum glNames[] = {
    {GL_MODELVIEW, "GL_MODELVIEW"},
    {GL_PROJECTION, "GL_PROJECTION"},
    {GL_TEXTURE, "GL_TEXTURE"},
    {GL_NO_ERROR, "GL_NO_ERROR"},
    {GL_INVALID_ENUM, "GL_INVALID_ENUM"},
    {GL_INVALID_VALUE, "GL_INVALID_VALUE"},
    {GL_INVALID_OPERATION, "GL_INVALID_OPERATION"},
    {GL_STACK_OVERFLOW, "GL_STACK_OVERFLOW"},
    {GL_STACK_UNDERFLOW, "GL_STACK_UNDERFLOW"},
    {GL_OUT_OF_MEMORY, "GL_OUT_OF_MEMORY"},
};

// "left 1 model-view matrix pushed (depth 2, expected 1)", or popped.
std::string depthChange(const char* stack, GLint before, GLint after)
{
    const GLint moved = after > before ? after - before : before - after;
    const char* how = after > before ? "left" : "popped";
    const char* tail = after > before ? " pushed" : " too many";
    char text[120];
    std::snprintf(text, sizeof text, "%s %d %s matri%s%s (depth %d, expected %d)", how, int(moved), stack,
                  moved == 1 ? "x" : "ces", tail, int(after), int(before));
    return text;
}

void add(std::string& list, const std::string& item)
{
    if (!list.empty())
        list += ", ";
    list += item;
}

} // namespace

GlState readGlState()
{
    GlState state;
    glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &state.modelViewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &state.projectionDepth);
    glGetFloatv(GL_PROJECTION_MATRIX, state.projection);
    state.error = glGetError();
    return state;
}

std::string describeGlChange(const GlState& before, const GlState& after, bool loadsProjection)
{
    std::string change;
    if (after.matrixMode != GL_MODELVIEW)
        add(change, "left " + glEnumName(GLenum(after.matrixMode)) + " current");
    if (after.modelViewDepth != before.modelViewDepth)
        add(change, depthChange("model-view", before.modelViewDepth, after.modelViewDepth));
    if (after.projectionDepth != before.projectionDepth)
        add(change, depthChange("projection", before.projectionDepth, after.projectionDepth));
    else if (!loadsProjection && std::memcmp(before.projection, after.projection, sizeof after.projection) != 0)
        add(change, "changed the projection matrix");
    if (after.error != GL_NO_ERROR)
        add(change, "raised " + glEnumName(after.error));
    return change;
}

std::string glEnumName(GLenum value)
{
    for (const NamedEnum& e : glNames)
        if (e.value == value)
            return e.name;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", unsigned(value));
    return hex;
}
