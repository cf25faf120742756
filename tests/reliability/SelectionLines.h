#pragma once

#include <string>

// The program's standard output must be selection lines alone, each naming
// the machine that stands on the list line it gives:
// "Selected Machine <line> '<name>'". Returns an empty string when all of
// `output` is such lines, each ended by a newline; else the first line that
// is not, and why.
std::string firstBadSelectionLine(const std::string& output);
