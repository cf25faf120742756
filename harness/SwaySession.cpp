#include "harness/SwaySession.h"

#include <dirent.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "harness/ChildProcess.h"
#include "harness/Poll.h"
#include "harness/VirtualInput.h"
#include "harness/VirtualScreen.h"

namespace {

constexpr double startSeconds = 10;
constexpr int outputWidth = virtualScreen::width, layoutHeight = virtualScreen::height; // logical pixels

using Json = nlohmann::json;

// A string member, or "" where it is missing or null (sway leaves the names
// of some nodes and the app ids of X11 windows null).
std::string text(const Json& node, const char* key)
{
    const auto it = node.find(key);
    return it != node.end() && it->is_string() ? it->get<std::string>() : "";
}

Rect rectOf(const Json& r)
{
    return {r.value("x", 0), r.value("y", 0), r.value("width", 0), r.value("height", 0)};
}

// A view has a client's pid; workspaces and outputs have names too.
const Json* findView(const Json& node, const std::string& title)
{
    if (text(node, "name") == title && node.value("pid", 0) > 0)
        return &node;
    for (const char* children : {"nodes", "floating_nodes"}) {
        const auto list = node.find(children);
        if (list == node.end() || !list->is_array())
            continue;
        for (const Json& child : *list)
            if (const Json* found = findView(child, title))
                return found;
    }
    return nullptr;
}

// The Wayland socket sway made in `directory`, by the name it chose.
std::string waylandSocket(const std::string& directory)
{
    std::string found;
    if (DIR* d = opendir(directory.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos)
                found = name;
        }
        closedir(d);
    }
    return found;
}

} // namespace

SwaySession::SwaySession(const std::vector<int>& scales) : layoutWidth(outputWidth * int(scales.size()))
{
    char pattern[] = "/tmp/dalvery-sway-XXXXXX";
    if (!mkdtemp(pattern)) { // mode 0700, as Wayland wants its runtime directory
        problem_ = "cannot make a runtime directory";
        return;
    }
    directory = pattern;
    const std::string config = directory + "/config";
    // Quiet and the same every time: no Xwayland, no borders, no bar, a fixed
    // layout size whatever the scale. sway keeps each output's settings for
    // when an output of that name appears: the first is there at the start,
    // the others are made once sway answers.
    std::ofstream file(config);
    for (size_t i = 0; i < scales.size(); ++i)
        file << "output " << output(i) << " resolution " << outputWidth * scales[i] << 'x'
             << layoutHeight * scales[i] << " scale " << scales[i] << " position " << outputWidth * int(i) << " 0\n";
    file << "xwayland disable\n"
         << "default_border none\n"
         << "default_floating_border none\n"
         << "focus_follows_mouse no\n"
         // The pointer stays where it is put: on a change of focus sway
         // would warp it to the output's middle, into the pictures.
         << "mouse_warping none\n";
    file.close();
    // sway, the tools and the program meet here alone, never at a sway we
    // may run under: sway takes the IPC socket's path from SWAYSOCK.
    const std::string socket = directory + "/sway-ipc.sock";
    environment_ = {"XDG_RUNTIME_DIR=" + directory, "SWAYSOCK=" + socket, "WAYLAND_DISPLAY=", "DISPLAY="};
    ChildProcess::Options options;
    options.argv = {"sway", "-c", config};
    options.environment = environment_;
    options.environment.insert(options.environment.end(),
                               {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"});
    options.stderrFile = directory + "/sway.log";
    options.stdoutInStderrFile = true;
    sway = std::make_unique<ChildProcess>(options);
    std::string display;
    pollUntil([&] {
        display = waylandSocket(directory);
        return (!display.empty() && access(socket.c_str(), F_OK) == 0) || !sway->running();
    }, startSeconds);
    if (!sway->running()) {
        const auto status = sway->waitForExit(1);
        problem_ = status && *status == 127 ? "sway is not installed"
                                            : "sway ended at once; its log is " + options.stderrFile;
        return;
    }
    environment_ = {"XDG_RUNTIME_DIR=" + directory, "SWAYSOCK=" + socket, "WAYLAND_DISPLAY=" + display,
                    "DISPLAY=", "FLTK_BACKEND=wayland"};
    if (!pollUntil([&] { return run({"swaymsg", "-t", "get_version"}, 2).has_value(); }, startSeconds)) {
        problem_ = "sway does not answer swaymsg; its log is " + options.stderrFile;
        return;
    }
    for (size_t i = 1; i < scales.size(); ++i)
        if (!command("create_output")) {
            problem_ = "sway made no output " + output(i) + "; its log is " + options.stderrFile;
            return;
        }
    // Programs open on the focused output: the first, as with one.
    if (scales.size() > 1 && !command("focus output " + output(0))) {
        problem_ = "cannot focus " + output(0);
        return;
    }
    input = std::make_unique<VirtualInput>(directory + "/" + display);
    problem_ = input->problem();
}

SwaySession::~SwaySession()
{
    input.reset();
    sway.reset();
    std::error_code ignored;
    if (!directory.empty() && problem_.empty()) // else its log is kept
        std::filesystem::remove_all(directory, ignored);
}

std::optional<std::string> SwaySession::run(std::vector<std::string> argv, double seconds)
{
    ChildProcess::Options options;
    options.argv = std::move(argv);
    options.environment = environment_;
    options.captureStdout = true;
    ChildProcess tool(options);
    // Read as it comes: a tree bigger than the pipe would otherwise stall it.
    pollUntil([&] {
        tool.output();
        return !tool.running();
    }, seconds, std::chrono::milliseconds(2));
    const auto status = tool.waitForExit(0);
    if (!status || *status != 0)
        return std::nullopt;
    return tool.output();
}

std::optional<SwayWindow> SwaySession::findWindow(const std::string& title)
{
    const auto tree = run({"swaymsg", "-r", "-t", "get_tree"});
    if (!tree)
        return std::nullopt;
    const Json root = Json::parse(*tree, nullptr, false);
    const Json* view = root.is_discarded() ? nullptr : findView(root, title);
    if (!view)
        return std::nullopt;
    SwayWindow w;
    w.appId = text(*view, "app_id");
    const Rect outer = rectOf(view->at("rect"));
    const Rect inner = rectOf(view->at("window_rect"));
    w.content = {outer.x + inner.x, outer.y + inner.y, inner.w, inner.h};
    return w;
}

Image SwaySession::grab(const Rect& area)
{
    const std::string path = directory + "/grab.png";
    const std::string region = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                               std::to_string(area.w) + "x" + std::to_string(area.h);
    if (!run({"grim", "-l", "0", "-g", region, path}))
        return Image();
    return loadPng(path);
}

bool SwaySession::command(const std::string& swayCommand)
{
    const auto reply = run({"swaymsg", "-r", swayCommand});
    if (!reply)
        return false;
    // One result per command, each with its "success".
    const Json results = Json::parse(*reply, nullptr, false);
    if (!results.is_array() || results.empty())
        return false;
    for (const Json& result : results)
        if (!result.value("success", false))
            return false;
    return true;
}

void SwaySession::moveTo(int x, int y)
{
    input->moveTo(x, y, layoutWidth, layoutHeight);
}

void SwaySession::button(int number, bool press)
{
    input->button(number, press);
}

void SwaySession::key(int evdevCode, bool press)
{
    input->key(evdevCode, press);
}
