#pragma once

#include <string>

// Makes a headless OpenGL compatibility context current: EGL on Mesa's
// surfaceless platform, rendering into an RGBA pbuffer with a 24-bit depth
// buffer of the given size. Needs no X server. Returns false, with the reason
// in `error`, when no such context can be had.
bool makeHeadlessContext(int width, int height, std::string& error);

// Gives the context made above a fresh pbuffer of another size, and frees the
// one it had. The context keeps its state and display lists.
bool resizeHeadlessSurface(int width, int height, std::string& error);
