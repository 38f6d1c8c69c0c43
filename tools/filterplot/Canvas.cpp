#include "tools/filterplot/Canvas.h"

#include "raster/PngFileWriter.h"
#include "tools/filterplot/BitmapFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvane {

Canvas::Canvas(int newWidth, int newHeight, Rgb background)
    : width(newWidth), height(newHeight),
      pixels(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight), background) {
}

void Canvas::Blend(int x, int y, Rgb colour, float coverage) {
  if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0.0f) return;
  coverage = std::min(coverage, 1.0f);
  Rgb& p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  p.r += (colour.r - p.r) * coverage;
  p.g += (colour.g - p.g) * coverage;
  p.b += (colour.b - p.b) * coverage;
}

void Canvas::FillBox(const Box& box, Rgb colour, float opacity) {
  const int x0 = static_cast<int>(std::floor(box.left));
  const int x1 = static_cast<int>(std::ceil(box.right));
  const int y0 = static_cast<int>(std::floor(box.top));
  const int y1 = static_cast<int>(std::ceil(box.bottom));
  for (int y = y0; y < y1; ++y) {
    const double cy = std::min<double>(y + 1, box.bottom) - std::max<double>(y, box.top);
    for (int x = x0; x < x1; ++x) {
      const double cx = std::min<double>(x + 1, box.right) - std::max<double>(x, box.left);
      Blend(x, y, colour, static_cast<float>(cx * cy) * opacity);
    }
  }
}

void Canvas::DrawPolyline(const std::vector<double>& xs, const std::vector<double>& ys,
                          double lineWidth, Rgb colour, const Box& clip) {
  // Coverage is the largest over all segments, so joins are not drawn twice.
  const int x0 = std::max(0, static_cast<int>(std::floor(clip.left)));
  const int x1 = std::min(width, static_cast<int>(std::ceil(clip.right)));
  const int y0 = std::max(0, static_cast<int>(std::floor(clip.top)));
  const int y1 = std::min(height, static_cast<int>(std::ceil(clip.bottom)));
  if (x1 <= x0 || y1 <= y0) return;
  const int spanX = x1 - x0;
  std::vector<float> coverage(static_cast<std::size_t>(spanX) * static_cast<std::size_t>(y1 - y0),
                              0.0f);
  const double half = lineWidth / 2.0;

  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    const double ax = xs[i], ay = ys[i], bx = xs[i + 1], by = ys[i + 1];
    const int left = std::max(x0, static_cast<int>(std::floor(std::min(ax, bx) - half - 1)));
    const int right = std::min(x1, static_cast<int>(std::ceil(std::max(ax, bx) + half + 1)));
    const int top = std::max(y0, static_cast<int>(std::floor(std::min(ay, by) - half - 1)));
    const int bottom = std::min(y1, static_cast<int>(std::ceil(std::max(ay, by) + half + 1)));
    const double dx = bx - ax, dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const double px = x + 0.5 - ax, py = y + 0.5 - ay;
        double t = lengthSquared > 0.0 ? (px * dx + py * dy) / lengthSquared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double distance = std::hypot(px - t * dx, py - t * dy);
        const float c = static_cast<float>(std::clamp(half + 0.5 - distance, 0.0, 1.0));
        float& cell = coverage[static_cast<std::size_t>(y - y0) * static_cast<std::size_t>(spanX) +
                               static_cast<std::size_t>(x - x0)];
        cell = std::max(cell, c);
      }
  }

  // Partly covered edge pixels of the clip box get their share only.
  for (int y = y0; y < y1; ++y) {
    const double cy = std::min<double>(y + 1, clip.bottom) - std::max<double>(y, clip.top);
    for (int x = x0; x < x1; ++x) {
      const double cx = std::min<double>(x + 1, clip.right) - std::max<double>(x, clip.left);
      const float c = coverage[static_cast<std::size_t>(y - y0) * static_cast<std::size_t>(spanX) +
                               static_cast<std::size_t>(x - x0)];
      Blend(x, y, colour, c * static_cast<float>(cx * cy));
    }
  }
}

void Canvas::DrawText(const std::string& text, int x, int y, int scale, Rgb colour) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int cellX = x + static_cast<int>(i) * BitmapFont::kAdvance * scale;
    for (int row = 0; row < BitmapFont::kHeight; ++row)
      for (int column = 0; column < BitmapFont::kWidth; ++column)
        if (BitmapFont::Pixel(text[i], column, row))
          FillBox({static_cast<double>(cellX + column * scale),
                   static_cast<double>(y + row * scale),
                   static_cast<double>(cellX + (column + 1) * scale),
                   static_cast<double>(y + (row + 1) * scale)},
                  colour);
  }
}

void Canvas::DrawTextUpwards(const std::string& text, int x, int y, int scale, Rgb colour) {
  // Font row r goes to column x + r, font column c to row y - c: a quarter turn left.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int cellY = y - static_cast<int>(i) * BitmapFont::kAdvance * scale;
    for (int row = 0; row < BitmapFont::kHeight; ++row)
      for (int column = 0; column < BitmapFont::kWidth; ++column)
        if (BitmapFont::Pixel(text[i], column, row))
          FillBox({static_cast<double>(x + row * scale),
                   static_cast<double>(cellY - (column + 1) * scale),
                   static_cast<double>(x + (row + 1) * scale),
                   static_cast<double>(cellY - column * scale)},
                  colour);
  }
}

int Canvas::TextWidth(const std::string& text, int scale) {
  if (text.empty()) return 0;
  return (static_cast<int>(text.size()) * BitmapFont::kAdvance - 1) * scale;
}

int Canvas::TextHeight(int scale) {
  return 7 * scale;
}

bool Canvas::WritePng(const std::string& path) const {
  auto byte = [](float v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  std::vector<std::uint32_t> words(pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i)
    words[i] = 0xFF000000u | byte(pixels[i].r) << 16 | byte(pixels[i].g) << 8 | byte(pixels[i].b);
  return quorvane::WritePngFile(path.c_str(), words.data(), width, height, width);
}

} // namespace quorvane
