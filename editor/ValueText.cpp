#include "editor/ValueText.h"

#include "framework/IParameter.h"

#include <cstring>

namespace quorvane {

bool ValueText::Format(const IParameter* param, char (&out)[kSize]) {
  out[0] = '\0';
  if (!param) return false;
  param->FormatValue(param->Value(), false, out, kSize);
  if (out[0] == '\0') return false;
  const std::size_t used = std::strlen(out);
  std::strncat(out, param->Unit(), kSize - 1 - used);
  return true;
}

} // namespace quorvane
