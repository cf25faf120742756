#include "machines/Machine.h"

Machine::Machine(unsigned count, const char* name)
    : params(count, 0.0f),
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
