#include "tests/editor/TestSurface.h"

#include "tests/editor/RecordingGlyphSource.h"

#include "framework/IEffectBase.h"
#include "raster/GlyphFont.h"
#include "raster/PngDecoder.h"

#include <atomic>
#include <memory>
#include <utility>

namespace quorvane::test {

namespace {

// Ids far above the effect's own; the bitmap cache is shared by the process.
std::atomic<std::int32_t> nextResourceId{50000};

int fakeFontHandle = 0;

} // namespace

TestSurface::TestSurface(IEffectBase* plugIn, std::int32_t w, std::int32_t h, std::int32_t rate)
    : IEditorSurface(plugIn, w, h, rate) {}

bool TestSurface::BlitToWindow(const Rect& rect) {
  blits.push_back(rect);
  return true;
}

void TestSurface::PromptParamInput(IControl* control, IParameter* param) {
  prompts.push_back({control, param});
}

bool TestSurface::OpenWebAddress(const char* url, const char*, const char*, const char*) {
  webAddresses.push_back(url ? url : "");
  if (webResults.empty()) return false;
  const bool result = webResults.front();
  webResults.pop_front();
  return result;
}

void TestSurface::StartEndEditCountdown(std::int32_t ticks) {
  countdownStarts.push_back(ticks);
  countdown = ticks;
}

void TestSurface::ClearEndEditCountdown() {
  ++countdownClears;
  countdown = 0;
}

void* TestSurface::OpenEditorWindow(void*) {
  open = true;
  MarkAllDirty();
  return this;
}

std::unique_ptr<RasterBitmap> TestSurface::BitmapFromResource(std::int32_t id, const char*) {
  ++loads[id];
  const auto found = images.find(id);
  return found == images.end() ? nullptr : found->second();
}

std::unique_ptr<GlyphFont> TestSurface::CreateStyleFont(const TextStyle& style) {
  ++fontsMade;
  fontSizes.push_back(style.size);
  if (style.size <= 0) return nullptr; // stands for a font the platform refuses
  auto font = std::make_unique<GlyphFont>(&RecordingGlyphSource::Instance());
  font->AdoptFontHandle(&fakeFontHandle, GlyphFont::kOwnsHandle | GlyphFont::kNativeAllowed);
  return font;
}

std::int32_t TestSurface::ChooseFromMenu(const char* const* items, std::int32_t count, int,
                                        int) {
  menus.emplace_back(items, items + count);
  return menuAnswer;
}

std::int32_t TestSurface::Register(std::function<std::unique_ptr<RasterBitmap>()> make) {
  const std::int32_t id = nextResourceId++;
  images[id] = std::move(make);
  return id;
}

BitmapRef TestSurface::Load(std::unique_ptr<RasterBitmap> bitmap, std::int32_t frames) {
  auto shared = std::make_shared<std::unique_ptr<RasterBitmap>>(std::move(bitmap));
  const std::int32_t id = Register([shared] { return std::move(*shared); });
  return LoadEditorBitmap(id, "test", frames);
}

BitmapRef TestSurface::LoadPng(std::vector<std::uint8_t> bytes, std::int32_t frames) {
  const std::int32_t id = Register([bytes] {
    return std::unique_ptr<RasterBitmap>(DecodePngMemory(bytes.data(), bytes.size()));
  });
  return LoadEditorBitmap(id, "test.png", frames);
}

bool TestSurface::Frame() {
  Rect dirty{};
  if (!CollectDirtyRect(dirty)) return false;
  PaintRect(dirty);
  return true;
}

void TestSurface::Tick() {
  Frame();
  if (countdown > 0 && --countdown == 0 && Plug()) Plug()->FlushHostGesture();
}

std::uint32_t TestSurface::Pixel(int x, int y) const {
  const RasterBitmap* back = BackBuffer();
  return back->Pixels()[y * back->RowStride() + x];
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace quorvane::test
