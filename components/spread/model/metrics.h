// Text measurement for sizing rows and columns. The model measures through this interface only:
// headless it uses FixedMetrics (every character the same width, so sizes are predictable); the
// view supplies the real font metrics. Sizes are in pixels.
//
// Units of the sheet: a row height is in points (1/72 inch); a column width is in characters,
// the width of "0" in the sheet's default font. Text in a cell keeps kCellMarginX pixels from
// the left and right edges and kCellMarginY from the top and bottom.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spread {

struct TextFont {
  std::string_view name;
  std::int32_t size = 8;  // points
  bool bold = false, italic = false;
};

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual double lineHeight(const TextFont& font) const = 0;
  virtual double textWidth(const TextFont& font, std::string_view text) const = 0;
  virtual double pixelsPerPoint() const = 0;
};

// 96 pixels per inch; a character is 0.6 em wide (0.66 bold), a line 1.25 em high.
class FixedMetrics final : public TextMetrics {
 public:
  double lineHeight(const TextFont& font) const override;
  double textWidth(const TextFont& font, std::string_view text) const override;
  double pixelsPerPoint() const override { return 96.0 / 72.0; }
};

inline constexpr double kCellMarginX = 2.0, kCellMarginY = 1.0;

// Breaks text into the lines a cell of the given width shows: at line breaks, then between words
// where a line would grow wider than width; a word wider than a line is broken by characters.
std::vector<std::string> WrapText(const TextMetrics& metrics, const TextFont& font, std::string_view text, double width);
// The explicit lines of a text (split at line breaks only).
std::vector<std::string> TextLines(std::string_view text);

}  // namespace spread
