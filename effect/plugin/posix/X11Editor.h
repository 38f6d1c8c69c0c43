#pragma once
// The Linux modules' editor window: the X11 window drawing the images built
// into the module. An EditorWindowFactory, called on the thread that builds
// the editor.

#include "editor/IEditorSurface.h"

#include <cstdint>
#include <memory>

namespace quorvane {

std::unique_ptr<IEditorSurface> MakeX11Editor(IEffectBase& plug, std::int32_t width,
                                              std::int32_t height);

} // namespace quorvane
