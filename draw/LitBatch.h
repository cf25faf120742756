#pragma once

#include <GL/gl.h>

// glBegin(mode), then the current colour and normal once more, inside the
// batch. The renderer builds a vertex pipeline for each set of attributes
// that vary from vertex to vertex, and takes a colour or normal set before
// glBegin as a constant of the draw: the ground, which sets both per cell,
// and a batch that sets them before it would each need their own pipeline,
// and building one costs a first frame some 40 ms. With both in every batch,
// one serves the frame. Every colour of the site is opaque (three
// components), so the colour's three components are all there is to repeat.
void beginLitBatch(GLenum mode);

// glColor3ub's colour, given with three components as every other colour
// is: glColor3ub gives it a fourth, which a batch then carries to its
// vertices and which needs a pipeline of its own.
void setColourBytes(GLubyte red, GLubyte green, GLubyte blue);
