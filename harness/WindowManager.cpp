#include "harness/WindowManager.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "harness/ChildProcess.h"
#include "harness/Poll.h"
#include "harness/XSession.h"

namespace {

constexpr double startSeconds = 30;

} // namespace

WindowManager::WindowManager(const std::vector<std::string>& argv, const std::string& displayName,
                             XSession& x)
{
    char homeTemplate[] = "/tmp/dalvery-wm-XXXXXX";
    if (!mkdtemp(homeTemplate)) {
        problem_ = "no home for the window manager";
        return;
    }
    home = homeTemplate;
    const std::string log = home + "/messages";
    ChildProcess::Options options;
    options.argv = argv;
    options.environment = {"DISPLAY=" + displayName, "HOME=" + home,
                           "XDG_CONFIG_HOME=" + home + "/.config",
                           "XDG_CACHE_HOME=" + home + "/.cache",
                           "XDG_DATA_HOME=" + home + "/.local/share"};
    options.stderrFile = log;
    options.stdoutInStderrFile = true;
    process = std::make_unique<ChildProcess>(options);
    if (pollUntil([&] { return x.windowManagerAnswers() || !process->running(); }, startSeconds) &&
        process->running())
        return;
    std::ostringstream why;
    why << argv.at(0);
    if (const auto status = process->waitForExit(0))
        why << " ended with status " << *status << " before it answered";
    else
        why << " did not answer within " << startSeconds << " s";
    std::ostringstream messages;
    messages << std::ifstream(log).rdbuf();
    if (!messages.str().empty())
        why << "; its messages:\n" << messages.str();
    problem_ = why.str();
}

WindowManager::~WindowManager()
{
    process.reset();
    if (!home.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }
}
