// Strict text-to-number conversions for the command line and the plug-in's
// display texts: the whole text must be a plain finite decimal number, in
// the C locale's notation whatever locale is set.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

bool ParseStrictDouble(const std::string& text, double& out);
bool ParseStrictInt(const std::string& text, int& out);

// Shortest text that reads back as the same number ("20000", "0.5").
std::string NumberText(double value);

std::vector<std::string> SplitFields(const std::string& text, char separator);

// Compares ASCII letters without regard to case.
bool SameIgnoringCase(const std::string& a, const std::string& b);

} // namespace vsthost
