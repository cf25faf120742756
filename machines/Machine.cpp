#include "machines/Machine.h"

#include <stdexcept>

namespace {

// Refused before anything is written: the constructor fills parameters 0..2.
unsigned checkedCount(unsigned count, const char* name)
{
    if (count < 3)
        throw std::invalid_argument(std::string(name) + ": a machine has at least 3 parameters "
                                    "(X, Z, Orientation), not " + std::to_string(count));
    return count;
}

} // namespace

Machine::Machine(unsigned count, const char* name)
    : params(checkedCount(count, name), 0.0f),
      name(name),
      paramNames(count),
      paramRanges(count, {0.0f, 0.0f}),
      window(nullptr)
{
    paramNames[0] = "X";
    paramNames[1] = "Z";
    paramNames[2] = "Orientation";
    paramRanges[0] = {-100.0f, 100.0f};
    paramRanges[1] = {-100.0f, 100.0f};
    paramRanges[2] = {0.0f, 360.0f};
}

bool Machine::getLoadPoint(float&, float&, float&)
{
    return false;
}

bool Machine::setDriverView(float)
{
    return false;
}
