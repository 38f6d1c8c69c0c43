#include "framework/lv2/Lv2Ports.h"

namespace quorvane {

std::string Lv2PortName(const IParameter& param, const char* fallback) {
  if (param.Name()[0] != '\0' || fallback == nullptr) return param.Name();
  return fallback;
}

std::string Lv2Slug(const std::string& name, char separator) {
  std::string slug;
  bool gap = false;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit) {
      gap = !slug.empty();
      continue;
    }
    if (gap) slug += separator;
    gap = false;
    slug += letter ? static_cast<char>(c | 0x20) : c;
  }
  return slug;
}

std::string Lv2PortSymbol(const std::string& name) {
  std::string symbol = Lv2Slug(name, '_');
  // Symbols may not start with a digit (or be empty).
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) symbol.insert(0, "p_");
  return symbol;
}

} // namespace quorvane
