#include "harness/VirtualDisplay.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "harness/ChildProcess.h"
#include "harness/Poll.h"
#include "harness/VirtualScreen.h"

namespace {

const char* const serverArgs[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset"};
// Xvfb says its number as soon as it listens; on a machine whose cores are
// busy with other work that has taken over 30 s.
constexpr double startSeconds = 120;

} // namespace

VirtualDisplay::VirtualDisplay(const std::vector<std::string>& extraArgs)
{
    char logTemplate[] = "/tmp/dalvery-xvfb-XXXXXX";
    const int logFd = mkstemp(logTemplate);
    if (logFd >= 0) {
        close(logFd);
        logPath = logTemplate;
    }
    int numberPipe[2];
    if (pipe2(numberPipe, O_CLOEXEC) != 0) {
        problem_ = "no pipe for the display number";
        return;
    }
    ChildProcess::Options options;
    options.argv.assign(std::begin(serverArgs), std::end(serverArgs));
    // Depth 24 so that colours come back exactly as the program drew them.
    const std::vector<std::string> screen = scaledScreen(1);
    options.argv.insert(options.argv.end(), screen.begin(), screen.end());
    options.argv.insert(options.argv.end(), extraArgs.begin(), extraArgs.end());
    options.stderrFile = logPath;
    options.passFd = numberPipe[1];
    server = std::make_unique<ChildProcess>(options);
    close(numberPipe[1]);
    fcntl(numberPipe[0], F_SETFL, O_NONBLOCK);

    // Xvfb writes the number once it listens, then a newline.
    std::string number;
    pollUntil([&] {
        char chunk[16];
        ssize_t n;
        while ((n = read(numberPipe[0], chunk, sizeof chunk)) > 0)
            number.append(chunk, size_t(n));
        return number.find('\n') != std::string::npos || !server->running();
    }, startSeconds);
    close(numberPipe[0]);

    if (number.find('\n') != std::string::npos) {
        name_ = ":" + number.substr(0, number.find('\n'));
        return;
    }
    std::ostringstream why;
    why << "Xvfb did not start within " << startSeconds << " s";
    std::ifstream log(logPath);
    if (log)
        why << "; its messages:\n" << log.rdbuf();
    problem_ = why.str();
    server->stop();
}

std::vector<std::string> VirtualDisplay::scaledScreen(double scale, int depth, int monitors)
{
    return {"-screen", "0",
            std::to_string(std::lround(virtualScreen::width * scale) * monitors) + "x" +
                std::to_string(std::lround(virtualScreen::height * scale)) + "x" + std::to_string(depth)};
}

bool VirtualDisplay::splitIntoMonitors(int count)
{
    std::string size;
    if (!xrandr({"--current"}, &size) || size.find("current ") == std::string::npos)
        return false;
    int width = 0, height = 0;
    if (std::sscanf(size.c_str() + size.find("current "), "current %d x %d", &width, &height) != 2)
        return false;
    // Any physical size: FLTK scales by its own factors alone.
    const int w = width / count, millimetres = w / 4;
    for (int i = 0; i < count; ++i) {
        const std::string geometry = std::to_string(w) + "/" + std::to_string(millimetres) + "x" +
                                     std::to_string(height) + "/" + std::to_string(height / 4) + "+" +
                                     std::to_string(i * w) + "+0";
        if (!xrandr({"--setmonitor", "dalvery-" + std::to_string(i), geometry, "none"}, nullptr))
            return false;
    }
    return true;
}

bool VirtualDisplay::xrandr(const std::vector<std::string>& args, std::string* output)
{
    ChildProcess::Options options;
    options.argv = {"xrandr"};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.environment = {"DISPLAY=" + name_};
    options.captureStdout = true;
    ChildProcess tool(options);
    const auto status = tool.waitForExit(startSeconds);
    if (output)
        *output = tool.output();
    return status && *status == 0;
}

VirtualDisplay::~VirtualDisplay()
{
    server.reset();
    if (!logPath.empty())
        unlink(logPath.c_str());
}
