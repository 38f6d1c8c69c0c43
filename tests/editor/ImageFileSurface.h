#pragma once
// The test surface with the editor's real images, read from the repository's
// img/ folder by their names (every image set included), and a plug-in that
// builds its editor on it.

#include "TestSurface.h"

#include "raster/PngDecoder.h"

#include <memory>
#include <string>

namespace quorvane::test {

class ImageFileSurface : public TestSurface {
public:
  using TestSurface::TestSurface;
  std::unique_ptr<RasterBitmap> BitmapFromResource(std::int32_t, const char* name) override {
    const std::string path = std::string(QUORVANE_SOURCE_DIR "/") + name;
    return std::unique_ptr<RasterBitmap>(DecodePngFile(path.c_str()));
  }

  static std::unique_ptr<IEditorSurface> Make(IEffectBase& plug, std::int32_t w, std::int32_t h) {
    return std::make_unique<ImageFileSurface>(&plug, w, h);
  }
};

} // namespace quorvane::test
