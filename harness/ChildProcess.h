#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// A program started by the harness, with its standard output read through a
// pipe while it runs. Whatever is still running when the object goes is
// killed, so a failed check never leaves a process behind.
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> argv;
        std::vector<std::string> environment; // NAME=value entries set on top of ours
        bool captureStdout = false;
        bool discardStdout = false;           // to /dev/null instead of ours
        std::string stderrFile;               // empty: the child shares our stderr
        bool stdoutInStderrFile = false;      // for one that prints messages on both
        int passFd = -1;                      // a descriptor of ours the child gets as fd 3
    };

    ChildProcess() = default;
    explicit ChildProcess(const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid > 0; }
    // Everything the child has written to standard output so far, its line
    // ends "\n" also where a Windows program writes "\r\n".
    const std::string& output();
    // Polls until `text` appears in the output after position `from`; returns
    // the position just past it, or nothing when the time runs out or the
    // child has ended without printing it.
    std::optional<size_t> waitForOutput(const std::string& text, size_t from, double seconds);
    bool running();
    // The exit status once the child has exited by itself within `seconds`;
    // nothing if it is still running or was ended by a signal.
    std::optional<int> waitForExit(double seconds);
    // SIGTERM, then SIGKILL if it does not go within a second.
    void stop();
    // How the child ended, for a message ("exited with status 1", "was
    // killed by signal 6 (Aborted)"); empty while it runs.
    std::string howItEnded();
    // The high-water mark of its resident memory in kB, once it has ended.
    long peakResidentKb() const { return peakKb; }

private:
    void drain();
    bool reap(bool block);

    pid_t pid = -1;
    int stdoutFd = -1;
    std::string captured;
    bool exited = false;
    int rawStatus = 0;
    long peakKb = 0;
};
