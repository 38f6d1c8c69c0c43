#pragma once
// An invisible area that opens a web address when clicked, and a fallback
// address if the first cannot be opened; the background shows its picture.
// Editor window thread.

#include "editor/IControl.h"

namespace quorvane {

class ILinkControl : public IControl {
public:
  static constexpr int kUrlSize = 256;
  static constexpr int kTitleSize = 1024;

  // Texts may be null; longer texts are cut to fit their buffers.
  ILinkControl(IEffectBase* plug, const Rect& area, const char* url, const char* fallbackUrl,
               const char* title);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;

  const char* Url() const { return url; }
  const char* FallbackUrl() const { return fallbackUrl; }
  const char* Title() const { return title; }

private:
  char url[kUrlSize] = {};
  char fallbackUrl[kUrlSize] = {};
  char title[kTitleSize] = {};
};

} // namespace quorvane
