#pragma once

#include <memory>
#include <string>
#include <vector>

class ChildProcess;
class XSession;

// A window manager on a virtual display, as a desktop has one. It runs with
// an empty home of its own, removed when it goes: it starts from its
// system-wide configuration, as for a new user, and writes its cache and
// session files into no one's home.
class WindowManager {
public:
    // `argv` starts it, e.g. {"openbox"}; returns once it manages the screen
    // and answers requests.
    WindowManager(const std::vector<std::string>& argv, const std::string& displayName, XSession& x);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Empty once it manages the screen and answers; else why not.
    const std::string& problem() const { return problem_; }

private:
    std::string home;
    std::unique_ptr<ChildProcess> process;
    std::string problem_;
};
