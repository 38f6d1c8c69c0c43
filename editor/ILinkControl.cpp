#include "editor/ILinkControl.h"

#include "editor/IEditorSurface.h"

#include <cstddef>
#include <cstring>

namespace quorvane {

namespace {

template <std::size_t N> void CopyCut(char (&buffer)[N], const char* text) {
  if (!text) return;
  std::strncpy(buffer, text, N - 1);
  buffer[N - 1] = '\0';
}

} // namespace

ILinkControl::ILinkControl(IEffectBase* plugIn, const Rect& area, const char* address,
                           const char* fallbackAddress, const char* titleText)
    : IControl(plugIn, area, -1) {
  CopyCut(url, address);
  CopyCut(fallbackUrl, fallbackAddress);
  CopyCut(title, titleText);
}

bool ILinkControl::Paint(IEditorSurface&) {
  return true;
}

void ILinkControl::HandleMouseDown(int, int, const MouseMods&) {
  IEditorSurface* surface = Surface();
  if (!surface) return;
  if (url[0] != '\0' && surface->OpenWebAddress(url, title, nullptr, nullptr)) return;
  if (fallbackUrl[0] != '\0') surface->OpenWebAddress(fallbackUrl, title, nullptr, nullptr);
}

} // namespace quorvane
