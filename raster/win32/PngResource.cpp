#include "raster/win32/PngResource.h"

#include "raster/PngDecoder.h"

#include <windows.h>

namespace quorvane {

namespace {
constexpr DWORD kShortestPng = 8;
}

RasterBitmap* DecodePngResource(void* module, int resourceId, RasterBitmap* bitmap) {
  HMODULE instance = static_cast<HMODULE>(module);
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(resourceId & 0xFFFF), "PNG");
  if (resource == nullptr) return nullptr;
  const DWORD size = SizeofResource(instance, resource);
  if (size < kShortestPng) return nullptr;
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return nullptr;
  return DecodePngMemory(data, size, bitmap);
}

} // namespace quorvane
