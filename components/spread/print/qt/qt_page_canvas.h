// A printed page drawn with a QPainter (a printer's or a PDF writer's): the grid's page
// drawing in points, scaled to the device.
#pragma once

#include <QPainter>

#include "components/spread/print/page_canvas.h"

namespace spread::print {

class QtPageCanvas : public files::PageCanvas {
 public:
  // scale: device pixels per point.
  QtPageCanvas(QPainter& painter, double scale) : painter_(painter), scale_(scale) {}
  void fillRect(double x, double y, double w, double h, std::uint32_t rgb) override;
  void line(double x1, double y1, double x2, double y2, std::uint32_t rgb, double lineWidth) override;
  void text(double x, double y, std::string_view ansi, bool bold, double size, std::uint32_t rgb, double clipX, double clipY, double clipW,
            double clipH) override;
  double textWidth(std::string_view ansi, bool bold, double size) const override;

 private:
  QFont font(bool bold, double size) const;
  QPainter& painter_;
  double scale_;
};

}  // namespace spread::print
