#pragma once
// A host's side of a plug-in editor, for the command-line host and the
// editor tests: a top-level window sized to the editor's rectangle, the
// editor opened in it through the plug-in's dispatcher (effEditGetRect,
// effEditOpen, effEditClose), a message pump, and the pixels of the editor
// read back from the screen. Runs on the thread that creates it, which must
// also pump its messages.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

struct AEffect;

namespace quorvane {

struct WindowPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows top down, alpha 255

  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] &
           0xFFFFFFu;
  }
};

class EditorHostFrame {
public:
  EditorHostFrame() = default;
  ~EditorHostFrame();
  EditorHostFrame(const EditorHostFrame&) = delete;
  EditorHostFrame& operator=(const EditorHostFrame&) = delete;

  // Creates the frame at (x, y) of the screen and opens the plug-in's editor
  // in it. False (and nothing left open) when the plug-in has no editor or
  // refuses to open it.
  bool Open(AEffect* effect, int x = 0, int y = 0);
  // Closes the editor (effEditClose) and destroys the frame; safe to repeat.
  void Close();

  HWND Frame() const { return frame; }
  // The editor's window: the frame's first child, or null.
  HWND Editor() const;
  int EditorWidth() const { return width; }
  int EditorHeight() const { return height; }

  // Dispatches every message of this thread for about ms milliseconds.
  static void Pump(int ms);
  // Copies the editor window's pixels from the screen. False when it is not
  // open or the copy fails.
  bool Capture(WindowPixels& out) const;

private:
  AEffect* plugin = nullptr;
  HWND frame = nullptr;
  int width = 0;
  int height = 0;
};

// Opens the plug-in's editor in a frame of its own, lets it paint for waitMs
// milliseconds, and writes its pixels to a PNG file. False on any failure.
bool SaveEditorScreenshot(AEffect* effect, const char* pngPath, int waitMs);
// The same into a stream the caller opened (with a name outside the ANSI
// code page, say) and closes.
bool SaveEditorScreenshot(AEffect* effect, std::FILE* png, int waitMs);

} // namespace quorvane
