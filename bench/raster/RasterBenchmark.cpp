// The blits the editor makes every frame, in pixels per second
// (items_per_second): the background copy, images through their alpha, the
// rotating knob, fills and a line of value text from the glyph cache.

#include "raster/BlitBitmap.h"
#include "raster/BlitRotated.h"
#include "raster/FillRectangle.h"
#include "raster/GlyphFont.h"
#include "raster/GlyphSource.h"
#include "raster/HeapBitmap.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

namespace quorvane {
namespace {

constexpr int kEditorWidth = 507;
constexpr int kEditorHeight = 248;
constexpr int kKnobSize = 32;

std::unique_ptr<HeapBitmap> Noise(int width, int height, std::uint32_t alphaMask = 0xFFFFFFFF) {
  auto bitmap = std::make_unique<HeapBitmap>(width, height, 4);
  std::uint32_t state = 2463534242u;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      bitmap->Pixels()[y * bitmap->RowStride() + x] = state & alphaMask;
    }
  return bitmap;
}

void ReportPixels(benchmark::State& state, std::int64_t pixelsPerIteration) {
  state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
}

void BlitWhole(benchmark::State& state, float weight, BlendMode mode) {
  auto dest = Noise(kEditorWidth, kEditorHeight);
  auto source = Noise(kEditorWidth, kEditorHeight);
  for (auto _ : state) {
    BlitBitmap(dest.get(), source.get(), 0, 0, 0, 0, kEditorWidth, kEditorHeight, weight, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, std::int64_t(kEditorWidth) * kEditorHeight);
}

void BM_BackgroundCopy(benchmark::State& state) {
  BlitWhole(state, 1.0f, kBlendCopy);
}
void BM_HalfWeightCopy(benchmark::State& state) {
  BlitWhole(state, 0.5f, kBlendCopy);
}
void BM_CopyThroughSourceAlpha(benchmark::State& state) {
  BlitWhole(state, 1.0f, kBlendCopy | kBlendSourceAlpha);
}
void BM_CopyThroughSourceAlphaAtWeight(benchmark::State& state) {
  BlitWhole(state, 0.8f, kBlendCopy | kBlendSourceAlpha);
}
void BM_AddThroughSourceAlpha(benchmark::State& state) {
  BlitWhole(state, 1.0f, kBlendAdd | kBlendSourceAlpha);
}

void BM_KnobRotationBilinear(benchmark::State& state) {
  auto dest = Noise(kEditorWidth, kEditorHeight);
  auto knob = Noise(kKnobSize, kKnobSize);
  float angle = 0.0f;
  for (auto _ : state) {
    BlitRotated(dest.get(), knob.get(), 40, 150, kKnobSize, kKnobSize, 0, 0, kKnobSize, kKnobSize,
                angle, false, 1.0f, kBlendCopy | kBlendSourceAlpha | kBlendBilinear, 0, 0);
    angle += 0.05f;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kKnobSize * kKnobSize);
}

void BM_KnobRotationNearest(benchmark::State& state) {
  auto dest = Noise(kEditorWidth, kEditorHeight);
  auto knob = Noise(kKnobSize, kKnobSize);
  float angle = 0.0f;
  for (auto _ : state) {
    BlitRotated(dest.get(), knob.get(), 40, 150, kKnobSize, kKnobSize, 0, 0, kKnobSize, kKnobSize,
                angle, false, 1.0f, kBlendCopy | kBlendSourceAlpha, 0, 0);
    angle += 0.05f;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kKnobSize * kKnobSize);
}

void BM_FillTranslucent(benchmark::State& state) {
  auto dest = Noise(kEditorWidth, kEditorHeight);
  for (auto _ : state) {
    FillRectangle(dest.get(), 0, 0, kEditorWidth, kEditorHeight, 0x96FFFFFF, 1.0f,
                  kBlendCopy | kBlendSourceAlpha);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, std::int64_t(kEditorWidth) * kEditorHeight);
}

// Glyphs of 7 x 10 pixels with soft edges, standing in for the platform's
// renderer so that the cache path can be timed on any system.
class SyntheticGlyphs final : public GlyphSource {
public:
  void FontCreated() override {}
  void FontDestroyed() override {}
  void DeleteFont(void*) override {}
  int LineHeight(void*) override { return 14; }
  bool NativeDrawingAllowed() override { return false; }
  int DrawNative(const NativeTextRequest&) override { return 0; }
  bool RenderGlyph(void*, std::uint32_t code, int height, int margin, GlyphImage* out) override {
    const int advance = code == ' ' ? 4 : 8;
    bitmap_.Resize(advance + 2 * margin, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < bitmap_.Width(); ++x) {
        const bool ink = code != ' ' && x >= margin && x < margin + 7 && y >= 2 && y < 12;
        const std::uint32_t v = ink ? ((x + y + code) % 3 == 0 ? 120u : 255u) : 0u;
        bitmap_.Pixels()[y * bitmap_.RowStride() + x] = 0xFF000000u | v * 0x010101u;
      }
    out->bitmap = &bitmap_;
    out->width = bitmap_.Width();
    out->height = height;
    out->advance = advance;
    return true;
  }

private:
  HeapBitmap bitmap_{1, 1, 4};
};

void BM_TextLineFromCache(benchmark::State& state) {
  SyntheticGlyphs glyphs;
  GlyphFont font(&glyphs);
  font.AdoptFontHandle(&glyphs, GlyphFont::kOwnsHandle | GlyphFont::kNativeAllowed);
  font.SetInkColour(0xC8FFFFFF); // the editor's knob read-outs
  auto dest = Noise(kEditorWidth, kEditorHeight);
  static constexpr char kText[] = "1234.5 Hz";
  Rect probe{0, 0, 0, 0};
  font.RenderTextInRect(nullptr, kText, -1, &probe, GlyphFont::kMeasureOnly);
  for (auto _ : state) {
    Rect rect{22, 196, 82, 210};
    font.RenderTextInRect(dest.get(), kText, -1, &rect,
                          GlyphFont::kBlendTextAlpha | GlyphFont::kNoClip | GlyphFont::kCentre);
    benchmark::ClobberMemory();
  }
  // The pixels the text covers, including the glyph boxes' empty parts.
  ReportPixels(state, std::int64_t(probe.right - probe.left) * (probe.bottom - probe.top));
}

BENCHMARK(BM_BackgroundCopy);
BENCHMARK(BM_HalfWeightCopy);
BENCHMARK(BM_CopyThroughSourceAlpha);
BENCHMARK(BM_CopyThroughSourceAlphaAtWeight);
BENCHMARK(BM_AddThroughSourceAlpha);
BENCHMARK(BM_KnobRotationBilinear);
BENCHMARK(BM_KnobRotationNearest);
BENCHMARK(BM_FillTranslucent);
BENCHMARK(BM_TextLineFromCache);

} // namespace
} // namespace quorvane

BENCHMARK_MAIN();
