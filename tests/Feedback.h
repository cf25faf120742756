#pragma once

#include <functional>
#include <vector>

// What a drawing routine emits, captured with GL feedback mode. The capture
// loads an orthographic projection and an identity model-view before calling
// the routine, so positions come back in the routine's own (world) frame.
struct FbVertex {
    double x, y, z;
    float r, g, b, a;     // colour: as set (Unlit) or, in Normals mode, unused
    double nx, ny, nz;    // Normals mode only: the lit normal, world frame
};

struct FbPrimitive {
    enum Kind { Point, Line, Polygon } kind;
    std::vector<FbVertex> vertices;
};

enum class Capture {
    Unlit,   // lighting off: each vertex carries the current colour
    Normals, // lighting probed from six directions to recover each vertex's normal
};

// A capture that overflows its buffer, or drawing that emits different
// primitives each time, throws std::runtime_error.
// `normalize` enables GL_NORMALIZE for Normals mode, giving normal directions
// through scaled matrices; without it the normal's length shows the scale.
std::vector<FbPrimitive> capture(const std::function<void()>& draw,
                                 Capture mode = Capture::Unlit, bool normalize = true);

std::vector<FbVertex> allVertices(const std::vector<FbPrimitive>& primitives);

struct Box {
    double min[3], max[3];
};
Box boundsOf(const std::vector<FbVertex>& vertices);

// The vertices whose colour is (r, g, b) within 0.01.
std::vector<FbVertex> withColour(const std::vector<FbVertex>& vertices, float r, float g, float b);

size_t countKind(const std::vector<FbPrimitive>& primitives, FbPrimitive::Kind kind);
