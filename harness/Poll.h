#pragma once

#include <chrono>
#include <thread>

// Checks `condition` every `interval` until it holds or `seconds` have
// passed; true when it held. The wait is for the program under test, which
// answers at its own pace on a shared machine.
template <class Condition>
bool pollUntil(Condition condition, double seconds,
               std::chrono::microseconds interval = std::chrono::milliseconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}
