#pragma once
// An RGB picture in floating point with the few drawing operations a plot
// needs: filled rectangles, anti-aliased polylines clipped to a rectangle,
// bitmap-font text (also turned a quarter left), and PNG output.

#include <string>
#include <vector>

namespace quorvane {

struct Rgb {
  float r, g, b;
};

struct Box {
  double left, top, right, bottom;
};

class Canvas {
public:
  Canvas(int width, int height, Rgb background);

  int Width() const { return width; }
  int Height() const { return height; }

  // Covers the pixels of the box, partial pixels in proportion.
  void FillBox(const Box& box, Rgb colour, float opacity = 1.0f);
  // A line of the given width through the points, round joins, drawn only inside clip.
  void DrawPolyline(const std::vector<double>& xs, const std::vector<double>& ys, double lineWidth,
                    Rgb colour, const Box& clip);
  // Text with its top-left corner at (x, y), each font pixel scale x scale.
  void DrawText(const std::string& text, int x, int y, int scale, Rgb colour);
  // Text read from bottom to top, its bottom-left corner at (x, y).
  void DrawTextUpwards(const std::string& text, int x, int y, int scale, Rgb colour);
  static int TextWidth(const std::string& text, int scale);
  static int TextHeight(int scale);

  // 8-bit RGB PNG; false when the file cannot be written.
  bool WritePng(const std::string& path) const;

private:
  void Blend(int x, int y, Rgb colour, float coverage);

  int width;
  int height;
  std::vector<Rgb> pixels;
};

} // namespace quorvane
