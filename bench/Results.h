#pragma once

#include <map>
#include <optional>
#include <string>

#include "bench/Spread.h"

// The benchmark programs hand their figures to the summary through one text
// file of "name value" lines; a later line for a name replaces an earlier one.
using Results = std::map<std::string, double>;

// Appends one figure; false when the file cannot be written.
bool appendResult(const std::string& path, const std::string& name, double value);
// Every figure in the file; empty when it is missing. Lines that are not a
// name and a number are skipped.
Results readResults(const std::string& path);

// A spread is three figures: its median under the name itself, its quartiles
// under name.q1 and name.q3, so that a reader after medians alone finds them.
bool appendSpread(const std::string& path, const std::string& name, const Spread& spread);
// The spread of that name; none unless all three figures are there.
std::optional<Spread> spreadIn(const Results& results, const std::string& name);
