#pragma once
// The editor's typefaces, built into the library so that no font is looked
// up at run time: a sans-serif regular and bold face (TrueType bytes).

#include <cstddef>
#include <cstdint>

namespace quorvane {

struct FontBytes {
  const std::uint8_t* data;
  std::size_t size;
};

FontBytes EmbeddedSansRegular();
FontBytes EmbeddedSansBold();

} // namespace quorvane
