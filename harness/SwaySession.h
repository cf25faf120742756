#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/Image.h"

class ChildProcess;
class VirtualInput;

// A window as sway's tree shows it.
struct SwayWindow {
    std::string appId;
    Rect content; // on the layout, in logical pixels, without borders
};

// sway on its headless backend, with a runtime directory of its own, and
// one output per given scale, side by side from the left (HEADLESS-1, -2,
// ...), each the virtual screen's size in logical pixels: the Wayland
// desktop the end-to-end tests run the program on. Windows are found in its
// tree (swaymsg), pictures taken with grim, and the pointer and the
// keyboard are virtual ones of our own.
class SwaySession {
public:
    explicit SwaySession(int scale) : SwaySession(std::vector<int>{scale}) {}
    explicit SwaySession(const std::vector<int>& scales);
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // Empty once sway answers and our devices are on its seat; else why not.
    const std::string& problem() const { return problem_; }
    // NAME=value entries that put a program on this desktop, natively.
    const std::vector<std::string>& environment() const { return environment_; }

    // The view titled `title`, if the tree has one.
    std::optional<SwayWindow> findWindow(const std::string& title);
    // The screen inside `area` (logical pixels), at the output's scale.
    Image grab(const Rect& area);
    // Runs a sway command (swaymsg); true when sway carried it out.
    bool command(const std::string& swayCommand);
    // The name of output `i` (from 0), in the order of the scales.
    static std::string output(size_t i) { return "HEADLESS-" + std::to_string(i + 1); }

    void moveTo(int x, int y); // logical pixels on the layout
    void button(int number, bool press);
    void key(int evdevCode, bool press); // a US keyboard's

private:
    // Runs a tool with our environment; its output, or nothing if it failed.
    std::optional<std::string> run(std::vector<std::string> argv, double seconds = 10);

    std::string directory; // XDG_RUNTIME_DIR, mode 0700
    int layoutWidth = 0;   // logical pixels, all outputs
    std::vector<std::string> environment_;
    std::unique_ptr<ChildProcess> sway;
    std::unique_ptr<VirtualInput> input;
    std::string problem_;
};
