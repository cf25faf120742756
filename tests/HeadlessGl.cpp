#include "tests/HeadlessGl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "view/SiteBuffers.h"

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLConfig config;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;

} // namespace

bool makeHeadlessContext(int width, int height, std::string& error)
{
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = "EGL lacks eglGetPlatformDisplayEXT";
        return false;
    }
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error = "no surfaceless EGL display";
        return false;
    }
    const SiteBuffers& b = siteBuffers;
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, b.colourBits, EGL_GREEN_SIZE, b.colourBits, EGL_BLUE_SIZE, b.colourBits,
        EGL_ALPHA_SIZE, b.alphaBits, EGL_DEPTH_SIZE, b.depthBits, EGL_STENCIL_SIZE, b.stencilBits,
        EGL_NONE,
    };
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count == 0) {
        error = "no EGL config with the site's buffers";
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE || !eglBindAPI(EGL_OPENGL_API)) {
        error = "no EGL pbuffer surface";
        return false;
    }
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context)) {
        error = "no current OpenGL context";
        return false;
    }
    return true;
}

bool resizeHeadlessSurface(int width, int height, std::string& error)
{
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    const EGLSurface resized = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (resized == EGL_NO_SURFACE || !eglMakeCurrent(display, resized, resized, context)) {
        error = "no EGL pbuffer surface of " + std::to_string(width) + " by " + std::to_string(height);
        return false;
    }
    eglDestroySurface(display, surface);
    surface = resized;
    return true;
}
