// Commits one fault of the kind named by its argument, in our own code, so
// that the sanitizer build can show it catches that kind and that the leak
// suppressions do not hide our code. Run only by the sanitizer build's tests.

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
    const char* fault = argc > 1 ? argv[1] : "";
    if (!std::strcmp(fault, "leak"))
        leakAMachine();
    else if (!std::strcmp(fault, "overflow"))
        readPastAVector();
    else if (!std::strcmp(fault, "undefined"))
        overflowAnInt();
    else if (!std::strcmp(fault, "divide"))
        divideAFloatByZero();
    else {
        std::fprintf(stderr, "usage: sanitizer_canary leak|overflow|undefined|divide\n");
        return 2;
    }
    return 0;
}
