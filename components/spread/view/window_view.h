// The grid's view on a window of the platform (an OLE control's window): put it there with
// platform::SetWindowView (or the runtime's SetOleView), and the Qt backend shows a SpreadView on
// the book in the window; keys the platform sends the window reach the view. The book must
// outlive the view.
#pragma once

#include <QPointer>

#include "components/spread/view/spread_view.h"
#include "platform/qt/widget_adapter.h"

namespace spread::view {

class SpreadWindowView final : public platform::qt::QtWindowView {
 public:
  explicit SpreadWindowView(Book& book) : book_(book) {}
  QWidget* create(QWidget* parent) override;
  void released(QWidget* widget) override;
  // Keys sent to the window go on to the view (or its open editor); the window asks the dialog
  // manager for every key and the clipboard commands.
  std::optional<platform::LRESULT> message(platform::HWND, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM) override;
  // The view while the window shows it, else null.
  SpreadView* view() const { return view_; }

 private:
  Book& book_;
  QPointer<SpreadView> view_;
};

}  // namespace spread::view
