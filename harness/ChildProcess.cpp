#include "harness/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness/Poll.h"

ChildProcess::ChildProcess(const Options& options)
{
    int out[2] = {-1, -1};
    if (options.captureStdout && pipe2(out, O_CLOEXEC) != 0)
        return;
    // Everything the child needs is prepared before fork: only
    // async-signal-safe calls may follow it.
    std::vector<char*> argv;
    for (const std::string& a : options.argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = options.environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool overridden = false;
        for (const std::string& own : options.environment)
            overridden = overridden || own.compare(0, name.size(), name) == 0;
        if (!overridden)
            envStrings.push_back(entry);
    }
    std::vector<char*> envp;
    for (const std::string& e : envStrings)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid = fork();
    if (pid == 0) {
        if (out[1] >= 0)
            dup2(out[1], STDOUT_FILENO);
        if (options.discardStdout) {
            const int devNull = open("/dev/null", O_WRONLY);
            if (devNull >= 0)
                dup2(devNull, STDOUT_FILENO);
        }
        if (!options.stderrFile.empty()) {
            const int err = open(options.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err >= 0)
                dup2(err, STDERR_FILENO);
            if (err >= 0 && options.stdoutInStderrFile)
                dup2(err, STDOUT_FILENO);
        }
        if (options.passFd >= 0) {
            if (options.passFd == 3)
                fcntl(3, F_SETFD, 0);
            else
                dup2(options.passFd, 3);
        }
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (out[1] >= 0)
        close(out[1]);
    if (pid < 0) {
        std::perror("fork");
        if (out[0] >= 0)
            close(out[0]);
        return;
    }
    stdoutFd = out[0];
    if (stdoutFd >= 0)
        fcntl(stdoutFd, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess()
{
    stop();
    if (stdoutFd >= 0)
        close(stdoutFd);
}

void ChildProcess::drain()
{
    if (stdoutFd < 0)
        return;
    char chunk[4096];
    ssize_t n;
    while ((n = read(stdoutFd, chunk, sizeof chunk)) > 0) {
        // A Windows program (under Wine) ends its lines with "\r\n", which
        // may be split between two reads.
        const size_t from = captured.empty() ? 0 : captured.size() - 1;
        captured.append(chunk, size_t(n));
        for (size_t at = captured.find("\r\n", from); at != std::string::npos; at = captured.find("\r\n", at))
            captured.erase(at, 1);
    }
}

const std::string& ChildProcess::output()
{
    drain();
    return captured;
}

std::optional<size_t> ChildProcess::waitForOutput(const std::string& text, size_t from, double seconds)
{
    size_t found = std::string::npos;
    // A child that has ended prints nothing more: what it wrote is read once more.
    pollUntil([&] {
        const bool ended = !running();
        drain();
        found = captured.find(text, from);
        return found != std::string::npos || ended;
    }, seconds, std::chrono::milliseconds(5));
    if (found == std::string::npos)
        return std::nullopt;
    return found + text.size();
}

bool ChildProcess::reap(bool block)
{
    if (pid <= 0 || exited)
        return exited;
    int status = 0;
    rusage usage{};
    const pid_t r = wait4(pid, &status, block ? 0 : WNOHANG, &usage);
    if (r == pid) {
        exited = true;
        rawStatus = status;
        peakKb = usage.ru_maxrss;
    }
    return exited;
}

bool ChildProcess::running()
{
    return pid > 0 && !reap(false);
}

std::optional<int> ChildProcess::waitForExit(double seconds)
{
    if (pid <= 0 || !pollUntil([&] { return reap(false); }, seconds))
        return std::nullopt;
    drain();
    if (!WIFEXITED(rawStatus))
        return std::nullopt;
    return WEXITSTATUS(rawStatus);
}

void ChildProcess::stop()
{
    if (pid <= 0 || reap(false))
        return;
    kill(pid, SIGTERM);
    if (!pollUntil([&] { return reap(false); }, 1.0)) {
        kill(pid, SIGKILL);
        reap(true);
    }
}

std::string ChildProcess::howItEnded()
{
    if (pid <= 0 || !reap(false))
        return "";
    if (WIFSIGNALED(rawStatus))
        return "was killed by signal " + std::to_string(WTERMSIG(rawStatus)) + " (" +
               strsignal(WTERMSIG(rawStatus)) + ")";
    return "exited with status " + std::to_string(WEXITSTATUS(rawStatus));
}
