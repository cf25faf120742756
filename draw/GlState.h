#pragma once

#include <GL/gl.h>

#include <string>

// What a machine's drawing or camera may leave behind it, read back from GL,
// and said in words: the checks of the site display's Debug build and the
// tests of every machine of the site both speak of it so.
struct GlState {
    GLint matrixMode;
    GLint modelViewDepth;
    GLint projectionDepth;
    GLenum error;           // the oldest GL error not yet read; reading it clears it
    GLfloat projection[16];
};

// Reads the state, and with it GL's error flag.
GlState readGlState();

// What `after` broke of `before`, e.g. "left GL_PROJECTION current, raised
// GL_INVALID_OPERATION"; empty when nothing. Every operation leaves
// GL_MODELVIEW current and both stacks as deep as it found them; only a
// camera (`loadsProjection`) may change the projection matrix.
std::string describeGlChange(const GlState& before, const GlState& after, bool loadsProjection);

// GL_PROJECTION, GL_INVALID_OPERATION... or the number in hexadecimal.
std::string glEnumName(GLenum value);
