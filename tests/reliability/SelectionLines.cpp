#include "tests/reliability/SelectionLines.h"

#include "harness/Harness.h"
#include "harness/SiteList.h"

namespace {

bool isSelectionLine(const std::string& line)
{
    for (const ListedMachine& m : siteList())
        if (line + '\n' == Harness::selectionLine(m.line, m.name))
            return true;
    return false;
}

} // namespace

std::string firstBadSelectionLine(const std::string& output)
{
    size_t start = 0;
    int number = 1;
    while (start < output.size()) {
        const size_t end = output.find('\n', start);
        if (end == std::string::npos)
            return "line " + std::to_string(number) + " has no newline: \"" + output.substr(start) + "\"";
        const std::string line = output.substr(start, end - start);
        if (!isSelectionLine(line))
            return "line " + std::to_string(number) + " is not the selection line of a listed machine: \"" +
                   line + "\"";
        start = end + 1;
        ++number;
    }
    return "";
}
