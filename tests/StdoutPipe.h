#pragma once

#include <string>

// Points standard output at a pipe, fully buffered as it is when a program's
// output goes to a log or another program. read() returns only what has
// actually been flushed into the pipe.
class StdoutPipe {
public:
    StdoutPipe();
    ~StdoutPipe();
    std::string read();

private:
    int readEnd = -1;
    int savedStdout = -1;
};
