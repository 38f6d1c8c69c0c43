#include "effect/plugin/posix/X11Editor.h"

#include "editor_x11/X11EditorWindow.h"
#include "effect/plugin/posix/BuiltInImages.h"

namespace quorvane {

std::unique_ptr<IEditorSurface> MakeX11Editor(IEffectBase& plug, std::int32_t width,
                                              std::int32_t height) {
  return std::make_unique<X11EditorWindow>(&plug, width, height, 0, &BuiltInEditorImage);
}

} // namespace quorvane
