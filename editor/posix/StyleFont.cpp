#include "editor/StyleFont.h"

namespace quorvane {

std::unique_ptr<GlyphFont> MakeStyleFont(const TextStyle&) {
  return nullptr;
}

} // namespace quorvane
