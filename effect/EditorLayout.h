#pragma once
// The effect's editor: a 507 x 248 window painted from the library's nine
// images, with the background and sixteen controls at fixed places, each
// bound to its parameter. Built once by the effect's constructor (after the
// parameters are defined), whether or not the host ever opens the editor,
// and handed to the plug-in base, which owns it from then on.
//
// Windows only: the editor lives in a Win32 window. Called on the thread
// that constructs the effect.

#include <cstdint>

class IEffectBase;

namespace quorvane {

class GRAPH;

struct EditorLayout {
  static constexpr std::int32_t kWidth = 507;
  static constexpr std::int32_t kHeight = 248;
  // The maker's page for its plug-ins, and its main site if that fails.
  static constexpr const char* kMakerPluginsUrl = "https://kelto.example/plugins";
  static constexpr const char* kMakerHomeUrl = "https://kelto.example/";
};

// Builds the editor and attaches it to effect. Answers the envelope strip,
// which the effect keeps (not owned) for its block-end updates.
GRAPH* BuildQuorvaneEditor(IEffectBase& effect);

} // namespace quorvane
