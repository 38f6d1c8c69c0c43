#pragma once
// A host's side of a plug-in editor on X11, for the command-line host: a
// top-level window sized to the editor's rectangle on the X server that
// DISPLAY names, the editor opened in it through the plug-in's dispatcher
// (effEditGetRect, effEditOpen, effEditClose), and its pixels read back and
// saved. Runs on the calling thread; the editor serves itself meanwhile.

struct AEffect;

namespace quorvane {

// Opens the plug-in's editor in a window of its own, lets it paint for
// waitMs milliseconds, and writes its pixels to a PNG file. False on any
// failure (no X server, no editor, no file written).
bool SaveEditorScreenshot(AEffect* effect, const char* pngPath, int waitMs);

} // namespace quorvane
