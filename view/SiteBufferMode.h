#pragma once

#include <FL/Enumerations.H>

#include "view/SiteBuffers.h"

// The site's buffers as FLTK's window mode, which asks for each buffer but
// not its size: the window system picks the sizes (view/SiteBuffers.h says
// what they come to).
constexpr int siteBufferMode = FL_RGB | FL_DOUBLE | (siteBuffers.alphaBits ? FL_ALPHA : 0) |
                               (siteBuffers.depthBits ? FL_DEPTH : 0) |
                               (siteBuffers.stencilBits ? FL_STENCIL : 0);
