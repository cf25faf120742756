#pragma once

// The sky and the lights every picture of the site has. The site display
// starts each frame with them, and the benchmarks' least programs, the floor
// the program is measured against, draw with them too.

// The sky, red, green and blue from 0 to 1; a screen shows its blue as 76 or
// 77 of 255.
constexpr float skyColour[3] = {0.0f, 0.0f, 0.3f};

// Clears colour and depth to the sky, opaque: a compositor that honours the
// view's alpha channel (Wayland's do) would otherwise blend the desktop into
// it.
void clearToSky();
// The lit state that faces and lines of the site are drawn in.
void enableSiteLighting();
// Must follow the camera: positions are taken through the model-view then
// current, which keeps the lights fixed in the world whatever the camera.
void placeSiteLights();
