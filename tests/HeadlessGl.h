#pragma once

#include <string>

// Makes a headless OpenGL compatibility context current: EGL on Mesa's
// surfaceless platform, rendering into an RGBA pbuffer with a 24-bit depth
// buffer of the given size. Needs no X server. Returns false, with the reason
// in `error`, when no such context can be had.
bool makeHeadlessContext(int width, int height, std::string& error);
