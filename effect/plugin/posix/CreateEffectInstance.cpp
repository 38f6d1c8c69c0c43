// The plug-in module's one effect, with its editor in an X11 window that
// draws the images built into the module.

#include "editor_x11/X11EditorWindow.h"
#include "effect/VSTCLASS.h"
#include "effect/plugin/posix/BuiltInImages.h"
#include "framework/vst2/VstEntryPoint.h"

namespace quorvane {

namespace {

std::unique_ptr<IEditorSurface> MakeX11Editor(IEffectBase& plug, std::int32_t width,
                                              std::int32_t height) {
  return std::make_unique<X11EditorWindow>(&plug, width, height, 0, &BuiltInEditorImage);
}

} // namespace

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback, &MakeX11Editor);
}

} // namespace quorvane
