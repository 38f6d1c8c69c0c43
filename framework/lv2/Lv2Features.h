#pragma once

// The data of the host feature named uri, or null when the host offers none. Any thread.

#include <lv2/core/lv2.h>

#include <cstring>

namespace quorvane {

inline const void* Lv2FeatureData(const LV2_Feature* const* features, const char* uri) {
  for (; features != nullptr && *features != nullptr; ++features)
    if ((*features)->URI != nullptr && std::strcmp((*features)->URI, uri) == 0)
      return (*features)->data;
  return nullptr;
}

} // namespace quorvane
