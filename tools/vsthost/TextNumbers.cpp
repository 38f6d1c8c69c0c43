#include "TextNumbers.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vsthost {
namespace {

// strtod alone would take leading blanks, hexadecimal, "inf" and "nan".
bool PlainDecimal(const std::string& text) {
  if (text.empty()) return false;
  bool digit = false;
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)))
      digit = true;
    else if (std::strchr("+-.eE", c) == nullptr)
      return false;
  }
  return digit;
}

} // namespace

bool ParseStrictDouble(const std::string& text, double& out) {
  if (!PlainDecimal(text)) return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) return false;
  out = value;
  return true;
}

bool ParseStrictInt(const std::string& text, int& out) {
  if (!PlainDecimal(text) || text.find_first_of(".eE") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

std::string NumberText(double value) {
  char buffer[32];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

std::vector<std::string> SplitFields(const std::string& text, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    fields.push_back(text.substr(start, at - start));
    if (at == std::string::npos) return fields;
    start = at + 1;
  }
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

} // namespace vsthost
