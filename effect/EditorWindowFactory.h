#pragma once
// How the plug-in module gives the effect a platform window for its editor.
//
// The factory receives the plug-in and the editor's size in pixels and
// returns an empty editor surface of that size -- the platform's window, not
// yet open -- which the layout then fills with the controls; the plug-in base
// owns it from then on. It is called at most once per plug-in, inside the
// effect's constructor, on the thread that creates the plug-in. Returning
// null, or injecting no factory at all, leaves the plug-in without an editor.

#include <cstdint>
#include <memory>

namespace quorvane {

class IEffectBase;
class IEditorSurface;

using EditorWindowFactory = std::unique_ptr<IEditorSurface> (*)(IEffectBase& plug,
                                                                 std::int32_t width,
                                                                 std::int32_t height);

} // namespace quorvane
