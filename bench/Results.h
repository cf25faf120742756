#pragma once

#include <map>
#include <string>

// The benchmark programs hand their figures to the summary through one text
// file of "name value" lines; a later line for a name replaces an earlier one.
using Results = std::map<std::string, double>;

// Appends one figure; false when the file cannot be written.
bool appendResult(const std::string& path, const std::string& name, double value);
// Every figure in the file; empty when it is missing. Lines that are not a
// name and a number are skipped.
Results readResults(const std::string& path);
