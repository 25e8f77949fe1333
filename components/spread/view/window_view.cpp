// The grid's view on a platform window.
#include "components/spread/view/window_view.h"

namespace spread::view {

QWidget* SpreadWindowView::create(QWidget* parent) {
  view_ = new SpreadView(book_, parent);
  return view_;
}

void SpreadWindowView::released(QWidget* widget) {
  if (widget == view_.data()) view_ = nullptr;
}

}  // namespace spread::view
