#pragma once

// The buffers every picture of the site is drawn into. The program's view
// asks them of FLTK (view/SiteBufferMode.h); the benchmarks' least programs
// and the tests' headless GL context ask the same, so that their pictures
// and figures come from the program's buffers. Double-buffered where there
// is a window.
//
// The stencil buffer is never drawn into; it is there for the depth buffer
// that comes with it. Asked for any depth buffer, FLTK 1.4's Wayland backend
// gets EGL's smallest, 16 bits, which at the start-up distance of 250 (planes
// at 0.1 and 1000) tells depths about 10 units apart, a whole machine: faces
// behind show through. Mesa has 16-bit depth without a stencil only, so with
// one EGL hands over 24 bits, as GLX and WGL do anyway.
struct SiteBuffers {
    int colourBits; // red, green and blue each
    int alphaBits;
    int depthBits;
    int stencilBits;
};

constexpr SiteBuffers siteBuffers{8, 8, 24, 8};
