#include "tour/SwaySession.h"

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "tour/ChildProcess.h"
#include "tour/Poll.h"
#include "tour/VirtualPointer.h"

namespace {

constexpr double startSeconds = 10;
constexpr int layoutWidth = 1280, layoutHeight = 1024; // logical pixels at any scale

// Just enough JSON for sway's replies: objects, arrays, strings and numbers.
struct Json {
    std::string text;
    double number = 0;
    std::map<std::string, Json> members;
    std::vector<Json> items;

    const Json& operator[](const std::string& key) const
    {
        static const Json none;
        const auto it = members.find(key);
        return it == members.end() ? none : it->second;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& source) : s(source) {}

    Json value()
    {
        Json v;
        skipSpace();
        if (at('{')) {
            ++i;
            while (skipSpace(), i < s.size() && !at('}')) {
                std::string key = string();
                skipSpace();
                ++i; // ':'
                v.members[key] = value();
                skipSpace();
                if (at(','))
                    ++i;
            }
            ++i;
        } else if (at('[')) {
            ++i;
            while (skipSpace(), i < s.size() && !at(']')) {
                v.items.push_back(value());
                skipSpace();
                if (at(','))
                    ++i;
            }
            ++i;
        } else if (at('"')) {
            v.text = string();
        } else {
            const size_t start = i;
            while (i < s.size() && std::string(",}] \n\t\r").find(s[i]) == std::string::npos)
                ++i;
            v.text = s.substr(start, i - start);
            v.number = std::strtod(v.text.c_str(), nullptr);
        }
        return v;
    }

private:
    bool at(char c) const { return i < s.size() && s[i] == c; }
    void skipSpace()
    {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    }
    // Escapes other than \" and \\ are kept as written: titles and app ids
    // compared here have none.
    std::string string()
    {
        std::string out;
        for (++i; i < s.size() && !at('"'); ++i) {
            if (at('\\'))
                ++i;
            out += s[i];
        }
        ++i;
        return out;
    }

    const std::string& s;
    size_t i = 0;
};

Rect rectOf(const Json& r)
{
    return {int(r["x"].number), int(r["y"].number), int(r["width"].number), int(r["height"].number)};
}

// A view has a client's pid; workspaces and outputs have names too.
const Json* findView(const Json& node, const std::string& title)
{
    if (node["name"].text == title && node["pid"].number > 0)
        return &node;
    for (const char* children : {"nodes", "floating_nodes"})
        for (const Json& child : node[children].items)
            if (const Json* found = findView(child, title))
                return found;
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

SwaySession::SwaySession(int scale)
{
    char pattern[] = "/tmp/dalvery-sway-XXXXXX";
    if (!mkdtemp(pattern)) { // mode 0700, as Wayland wants its runtime directory
        problem_ = "cannot make a runtime directory";
        return;
    }
    directory = pattern;
    const std::string config = directory + "/config";
    // Quiet and the same every time: no Xwayland, no borders, no bar, a fixed
    // layout size whatever the scale.
    std::ofstream(config) << "output HEADLESS-1 resolution " << layoutWidth * scale << 'x' << layoutHeight * scale
                          << " scale " << scale << "\n"
                          << "xwayland disable\n"
                          << "default_border none\n"
                          << "default_floating_border none\n"
                          << "focus_follows_mouse no\n";
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
    pointer = std::make_unique<VirtualPointer>(directory + "/" + display);
    problem_ = pointer->problem();
}

SwaySession::~SwaySession()
{
    pointer.reset();
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
    const Json root = JsonReader(*tree).value();
    const Json* view = findView(root, title);
    if (!view)
        return std::nullopt;
    SwayWindow w;
    w.appId = (*view)["app_id"].text;
    const Rect outer = rectOf((*view)["rect"]);
    const Rect inner = rectOf((*view)["window_rect"]);
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
    return reply && reply->find("\"success\": false") == std::string::npos &&
           reply->find("\"success\":false") == std::string::npos;
}

void SwaySession::moveTo(int x, int y)
{
    pointer->moveTo(x, y, layoutWidth, layoutHeight);
}

void SwaySession::button(int number, bool press)
{
    pointer->button(number, press);
}
