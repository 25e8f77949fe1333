// A small PDF writer for printed sheets: pages of text in the standard Helvetica fonts (regular
// and bold, Windows-1252 texts), filled rectangles and lines, each text clipped to its box.
// Coordinates are points from the page's top left corner.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/print/page_canvas.h"

namespace spread::files {

class PdfWriter : public PageCanvas {
 public:
  void beginPage(double width, double height);
  void fillRect(double x, double y, double w, double h, std::uint32_t rgb) override;
  void line(double x1, double y1, double x2, double y2, std::uint32_t rgb, double lineWidth) override;
  void text(double x, double y, std::string_view ansi, bool bold, double size, std::uint32_t rgb, double clipX, double clipY, double clipW,
            double clipH) override;
  double textWidth(std::string_view ansi, bool bold, double size) const override;
  void endPage();
  std::string finish(std::string_view title);
  std::size_t pageCount() const { return pages_.size(); }

 private:
  std::string colour(std::uint32_t rgb, bool fill) const;
  double height_ = 792, width_ = 612;
  std::string content_;
  struct Page {
    double width, height;
    std::string content;
  };
  std::vector<Page> pages_;
};

// The width of a text in Helvetica (bold a little wider) at the size, in points.
double HelveticaWidth(std::string_view ansi, bool bold, double size);

}  // namespace spread::files
