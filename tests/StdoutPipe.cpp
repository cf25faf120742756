#include "tests/StdoutPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

StdoutPipe::StdoutPipe()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    std::fflush(stdout);
    savedStdout = dup(STDOUT_FILENO);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    readEnd = fds[0];
    fcntl(readEnd, F_SETFL, O_NONBLOCK);
    static char buffer[BUFSIZ];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

StdoutPipe::~StdoutPipe()
{
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
    close(readEnd);
}

std::string StdoutPipe::read()
{
    std::string text;
    char chunk[256];
    ssize_t n;
    while ((n = ::read(readEnd, chunk, sizeof chunk)) > 0)
        text.append(chunk, size_t(n));
    return text;
}
