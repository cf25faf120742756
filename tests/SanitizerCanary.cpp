// Commits one fault of the kind named by its argument, in our own code, so
// that the sanitizer build, and valgrind in the plain build, can show they
// catch that kind and that their suppressions do not hide our code. The
// fault is committed in an FLTK callback, under FLTK's frames, as our
// callbacks and drawing run.

#include <FL/Fl.H>

#include <cstdio>
#include <cstring>
#include <vector>

#include "machines/ExampleMachine.h"

namespace {

// volatile: the compiler may not fold the faults away.
volatile int sink;

void leakAMachine()
{
    ExampleMachine* machine = new ExampleMachine("Lost", 0, 0, 1);
    sink = int(machine->params.size());
    machine = nullptr; // the only pointer is gone
}

void readPastAVector()
{
    std::vector<float> params(4);
    volatile size_t index = params.size();
    sink = int(params.data()[index]);
}

void overflowAnInt()
{
    volatile int big = 2147483647;
    sink = big + 1;
}

void divideAFloatByZero()
{
    volatile float zero = 0;
    sink = int(1 / zero > 0);
}

} // namespace

int main(int argc, char** argv)
{
    using Fault = void (*)();
    const char* name = argc > 1 ? argv[1] : "";
    static Fault fault = !std::strcmp(name, "leak")      ? leakAMachine
                       : !std::strcmp(name, "overflow")  ? readPastAVector
                       : !std::strcmp(name, "undefined") ? overflowAnInt
                       : !std::strcmp(name, "divide")    ? divideAFloatByZero
                                                         : nullptr;
    if (!fault) {
        std::fprintf(stderr, "usage: sanitizer_canary leak|overflow|undefined|divide\n");
        return 2;
    }
    Fl::add_timeout(0, [](void* fault) { (*static_cast<Fault*>(fault))(); }, &fault);
    Fl::wait(0);
    return 0;
}
