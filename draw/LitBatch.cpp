#include "draw/LitBatch.h"

void beginLitBatch(GLenum mode)
{
    GLfloat colour[4], normal[3];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glBegin(mode);
    glColor3fv(colour);
    glNormal3fv(normal);
}

void setColourBytes(GLubyte red, GLubyte green, GLubyte blue)
{
    // As GL turns a byte into a colour component: n / 255, in float.
    glColor3f(red / 255.0f, green / 255.0f, blue / 255.0f);
}
