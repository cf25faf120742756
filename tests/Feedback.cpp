#include "tests/Feedback.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Orthographic box mapped 1:1 onto a viewport offset by `halfExtent`, so a
// window coordinate minus halfExtent is the world coordinate.
constexpr double halfExtent = 1000;
constexpr int viewportSize = 2000;
constexpr GLsizei bufferFloats = 1 << 22;

std::vector<FbPrimitive> parse(const std::vector<GLfloat>& buffer, GLint used)
{
    std::vector<FbPrimitive> result;
    GLint i = 0;
    auto readVertex = [&]() {
        FbVertex v{};
        v.x = buffer[i] - halfExtent;
        v.y = buffer[i + 1] - halfExtent;
        v.z = (1 - 2 * double(buffer[i + 2])) * halfExtent; // glOrtho flips z
        v.r = buffer[i + 3];
        v.g = buffer[i + 4];
        v.b = buffer[i + 5];
        v.a = buffer[i + 6];
        i += 7;
        return v;
    };
    while (i < used) {
        const GLint token = GLint(buffer[i++]);
        FbPrimitive primitive{};
        int count = 0;
        switch (token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            primitive.kind = FbPrimitive::Point;
            count = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            primitive.kind = FbPrimitive::Line;
            count = 2;
            break;
        case GL_POLYGON_TOKEN:
            primitive.kind = FbPrimitive::Polygon;
            count = GLint(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            continue;
        default:
            throw std::runtime_error("unknown feedback token " + std::to_string(token));
        }
        for (int k = 0; k < count; ++k)
            primitive.vertices.push_back(readVertex());
        result.push_back(primitive);
    }
    return result;
}

std::vector<FbPrimitive> captureOnce(const std::function<void()>& draw)
{
    std::vector<GLfloat> buffer(bufferFloats);
    glFeedbackBuffer(bufferFloats, GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-halfExtent, halfExtent, -halfExtent, halfExtent, -halfExtent, halfExtent);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    draw();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint used = glRenderMode(GL_RENDER);
    if (used < 0)
        throw std::runtime_error("feedback buffer overflow");
    return parse(buffer, used);
}

// Lit brightness of each vertex under one white directional light.
std::vector<FbPrimitive> probe(const std::function<void()>& draw, const GLfloat direction[3])
{
    const GLfloat position[4] = {direction[0], direction[1], direction[2], 0};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glPopMatrix();
    return captureOnce(draw);
}

// Every attribute as it was before the capture, also when it throws.
struct KeptAttributes {
    KeptAttributes() { glPushAttrib(GL_ALL_ATTRIB_BITS); }
    ~KeptAttributes() { glPopAttrib(); }
};

} // namespace

std::vector<FbPrimitive> capture(const std::function<void()>& draw, Capture mode, bool normalize)
{
    const KeptAttributes kept;
    glViewport(0, 0, viewportSize, viewportSize);
    glDisable(GL_CULL_FACE);
    std::vector<FbPrimitive> result;
    if (mode == Capture::Unlit) {
        glDisable(GL_LIGHTING);
        result = captureOnce(draw);
    } else {
        // Material white, no ambient anywhere, one light: the red channel of a
        // vertex is then max(0, n · l) for the light direction l.
        const GLfloat black[4] = {0, 0, 0, 1};
        const GLfloat white[4] = {1, 1, 1, 1};
        glEnable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        if (normalize)
            glEnable(GL_NORMALIZE);
        else
            glDisable(GL_NORMALIZE);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
        for (GLenum light = GL_LIGHT0; light < GL_LIGHT0 + 8; ++light)
            glDisable(light);
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_AMBIENT, black);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, black);

        std::vector<FbPrimitive> probes[6];
        for (int axis = 0; axis < 3; ++axis) {
            for (int sign = 0; sign < 2; ++sign) {
                GLfloat direction[3] = {0, 0, 0};
                direction[axis] = sign ? -1.0f : 1.0f;
                probes[2 * axis + sign] = probe(draw, direction);
            }
        }
        result = probes[0];
        for (int p = 1; p < 6; ++p)
            if (probes[p].size() != result.size())
                throw std::runtime_error("drawing is not repeatable");
        for (size_t k = 0; k < result.size(); ++k) {
            for (size_t v = 0; v < result[k].vertices.size(); ++v) {
                FbVertex& out = result[k].vertices[v];
                double n[3];
                for (int axis = 0; axis < 3; ++axis)
                    n[axis] = double(probes[2 * axis][k].vertices[v].r) - probes[2 * axis + 1][k].vertices[v].r;
                out.nx = n[0];
                out.ny = n[1];
                out.nz = n[2];
            }
        }
    }
    return result;
}

std::vector<FbVertex> allVertices(const std::vector<FbPrimitive>& primitives)
{
    std::vector<FbVertex> result;
    for (const FbPrimitive& p : primitives)
        result.insert(result.end(), p.vertices.begin(), p.vertices.end());
    return result;
}

Box boundsOf(const std::vector<FbVertex>& vertices)
{
    Box box{{1e30, 1e30, 1e30}, {-1e30, -1e30, -1e30}};
    for (const FbVertex& v : vertices) {
        const double c[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            box.min[i] = std::min(box.min[i], c[i]);
            box.max[i] = std::max(box.max[i], c[i]);
        }
    }
    return box;
}

std::vector<FbVertex> withColour(const std::vector<FbVertex>& vertices, float r, float g, float b)
{
    std::vector<FbVertex> result;
    for (const FbVertex& v : vertices)
        if (std::fabs(v.r - r) < 0.01f && std::fabs(v.g - g) < 0.01f && std::fabs(v.b - b) < 0.01f)
            result.push_back(v);
    return result;
}

size_t countKind(const std::vector<FbPrimitive>& primitives, FbPrimitive::Kind kind)
{
    return size_t(std::count_if(primitives.begin(), primitives.end(),
                                [kind](const FbPrimitive& p) { return p.kind == kind; }));
}
