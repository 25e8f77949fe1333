// Draws one cell of the grid as a person expects its type to look: text cells with their font,
// colours, alignment and wrapping; a push button; a check box with its text; a combo box; a
// picture placed as the type says; an owner-drawn cell (style 1: its text inside an ellipse).
// Then the grid lines, the selection and the active cell's frame.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "components/spread/model/book.h"

class QPainter;
class QWidget;

namespace spread::view {

// TypeOwnerDrawStyle values the view draws itself.
enum class OwnerDrawStyle : std::int32_t { Text = 0, Ellipse = 1 };

struct CellState {
  bool selected = false;  // inside the selection, not the active cell
  bool active = false;    // the active cell
  bool pressed = false;   // a button the mouse holds down
};

class CellPainter {
 public:
  explicit CellPainter(double dpi) : dpi_(dpi) {}
  double dpi() const { return dpi_; }

  // Draws cell (col, row) of the book's active sheet into rect; widget gives the Qt style.
  void paint(QPainter& painter, const QRect& rect, const Book& book, std::int32_t col, std::int32_t row, CellState state,
             const QWidget* widget);

  // The decoded image of a picture (decoded once, kept while the picture lives); null when its
  // bytes are no image Qt reads.
  const QImage& imageOf(const std::shared_ptr<const Picture>& picture);
  // The strip at the right of a cell with TypeSpin that holds its up and down buttons (up in the
  // upper half); a null rectangle for cells without them.
  static QRect spinRect(const Style& style, const QRect& cell);
  // Where a picture of the given size goes in a cell: stretched (keeping its shape when asked),
  // centred, or at the top left at its own size.
  static QRect pictureRect(const Style& style, const QRect& cell, QSize image);

 private:
  struct Decoded {
    std::weak_ptr<const Picture> picture;
    QImage image;
  };
  // Fonts made once per face, size and look: a QFont is dear to build for every cell.
  const QFont& fontOf(const Style& style);

  double dpi_;
  std::map<const Picture*, Decoded> images_;
  std::map<std::tuple<std::string, std::int32_t, int>, QFont> fonts_;
};

}  // namespace spread::view
