#pragma once
// The effect with its editor, opened in a real top-level window as a host
// would: through the record's dispatcher, with a recording host callback.
// Input goes to the editor window as real window messages; the screen is
// read back from the window. One rig per test; the thread pumps messages.

#include "editor_win32/EditorHostFrame.h"
#include "editor_win32/IEditorWindow.h"
#include "effect/VSTCLASS.h"
#include "tests/support/RecordingHost.h"

#include <windows.h>

#include <vector>

namespace quorvane {

// Opcode names of the recorded host calls that matter to the editor.
enum class Gesture { Begin, Automate, End };

class EditorTestRig {
public:
  // A few timer ticks at 24 per second.
  static constexpr int kFewFrames = 200;

  EditorTestRig();
  ~EditorTestRig();

  // Creates the effect (with its editor) and sends effOpen.
  VSTCLASS* CreatePlugin();
  AEffect* Record() const { return record; }
  VSTCLASS* Plugin() const { return plugin; }
  IEditorWindow* Editor() const;
  // Where the control bound to parameter index is drawn; empty without one.
  Rect ControlRect(int index) const;
  // effClose; the plug-in is gone afterwards.
  void ClosePlugin();

  bool OpenEditor() { return frame.Open(record); }
  void CloseEditor() { frame.Close(); }
  HWND EditorWindow() const { return frame.Editor(); }
  EditorHostFrame& Frame() { return frame; }

  void Pump(int ms = kFewFrames) { EditorHostFrame::Pump(ms); }
  WindowPixels Capture();

  // Real window messages to the editor window, in client coordinates.
  void Send(UINT message, WPARAM wParam, int x, int y);
  void Click(int x, int y);
  void RightClick(int x, int y);
  void Drag(int x, int y, int dx, int dy);
  void Wheel(int x, int y, int delta);

  // Host side.
  void SetParameter(int index, float normalised);
  float GetParameter(int index);
  double Value(int index) { return plugin->Param(index)->Value(); }
  void NoteOn();
  void ProcessBlock(int frames = 256);
  // Begin, automate and end calls for parameter index, in order.
  std::vector<Gesture> GesturesFor(int index) const;
  void ClearHostCalls() { host.Clear(); }

  RecordingHost host;

private:
  VSTCLASS* plugin = nullptr;
  AEffect* record = nullptr;
  EditorHostFrame frame;
};

// True when any pixel inside rect differs between the two pictures.
bool RegionDiffers(const WindowPixels& a, const WindowPixels& b, const Rect& rect);

} // namespace quorvane
