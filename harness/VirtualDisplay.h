#pragma once

#include <memory>
#include <string>
#include <vector>

class ChildProcess;

// An Xvfb server of our own, on a display number it picks itself among the
// free ones (-displayfd), so that parallel runs never meet.
class VirtualDisplay {
public:
    // `extraArgs` go after the usual ones, so they may override them (a
    // second -screen 0 replaces the first).
    explicit VirtualDisplay(const std::vector<std::string>& extraArgs = {});
    ~VirtualDisplay();

    // The virtual screen with `scale` times as many pixels each way, as a
    // HiDPI screen has, at `depth` bits a pixel, for `extraArgs`; `monitors`
    // times as wide, for splitIntoMonitors.
    static std::vector<std::string> scaledScreen(double scale, int depth = 24, int monitors = 1);

    // Makes the screen `count` monitors side by side, as RandR reports them
    // (xrandr), and through it Xinerama, which FLTK reads; false when xrandr
    // failed.
    bool splitIntoMonitors(int count);

    // True once the server accepts connections.
    bool ready() const { return !name_.empty(); }
    // ":N", for DISPLAY.
    const std::string& name() const { return name_; }
    // Why the server did not start, for a failure message.
    const std::string& problem() const { return problem_; }

private:
    // Runs xrandr on this display; its output in `output` when given.
    bool xrandr(const std::vector<std::string>& args, std::string* output);

    std::unique_ptr<ChildProcess> server;
    std::string name_;
    std::string problem_;
    std::string logPath;
};
