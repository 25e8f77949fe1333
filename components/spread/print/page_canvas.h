// What a printed page is drawn on: the PDF writer here, a Qt printer's painter in the print
// library. Coordinates are points from the page's top left corner; colours 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string_view>

namespace spread::files {

class PageCanvas {
 public:
  virtual ~PageCanvas() = default;
  virtual void fillRect(double x, double y, double w, double h, std::uint32_t rgb) = 0;
  virtual void line(double x1, double y1, double x2, double y2, std::uint32_t rgb, double lineWidth) = 0;
  // Windows-1252 text with its baseline at y, clipped to the box (clipW 0: no clip).
  virtual void text(double x, double y, std::string_view ansi, bool bold, double size, std::uint32_t rgb, double clipX, double clipY,
                    double clipW, double clipH) = 0;
  // The width the text takes.
  virtual double textWidth(std::string_view ansi, bool bold, double size) const = 0;
};

}  // namespace spread::files
