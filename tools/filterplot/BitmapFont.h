#pragma once
// A small built-in bitmap font for the plot's labels: 5 x 9 cells (capitals
// and digits 7 rows tall, two rows below the baseline for descenders),
// printable ASCII. Characters without a glyph draw as blanks.

#include <cstdint>

namespace quorvane {

class BitmapFont {
public:
  static constexpr int kWidth = 5;
  static constexpr int kHeight = 9;
  static constexpr int kAdvance = 6; // cell plus one column of spacing

  // True when pixel (column, row) of character c is set.
  static bool Pixel(char c, int column, int row);
};

} // namespace quorvane
