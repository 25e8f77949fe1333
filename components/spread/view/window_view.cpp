// The grid's view on a platform window.
#include "components/spread/view/window_view.h"

#include <QApplication>
#include <QKeyEvent>

#include "components/spread/view/qt_metrics.h"
#include "platform/messages.h"
#include "platform/qt/qt_keys.h"
#include "platform/queue/queue.h"

namespace spread::view {

namespace {

Qt::KeyboardModifiers heldModifiers() {
  Qt::KeyboardModifiers mods;
  if (platform::GetKeyState(int(platform::VK_SHIFT)) < 0) mods |= Qt::ShiftModifier;
  if (platform::GetKeyState(int(platform::VK_CONTROL)) < 0) mods |= Qt::ControlModifier;
  if (platform::GetKeyState(int(platform::VK_MENU)) < 0) mods |= Qt::AltModifier;
  return mods;
}

}  // namespace

QWidget* SpreadWindowView::create(QWidget* parent) {
  view_ = new SpreadView(book_, parent);
  return view_;
}

void SpreadWindowView::released(QWidget* widget) {
  if (widget == view_.data()) view_ = nullptr;
}

// A person's keys reach the view as Qt's own; keys that come as the platform's messages (a
// scripted run's, keybd_event's) reach the window, and come on to the view here: a key press
// without its text (the book raises KeyDown), then the character TranslateMessage made of it as
// a press of its own (KeyPress, or the typing into a cell). Control characters did their work
// as keys. An editor open in the view takes them in its place.
std::optional<platform::LRESULT> SpreadWindowView::message(platform::HWND, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM) {
  using namespace platform;
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  if (!view_ || (msg != WM_KEYDOWN && msg != WM_KEYUP && msg != WM_CHAR)) return std::nullopt;
  QWidget* target = QApplication::focusWidget();
  if (!target || (target != view_ && !view_->isAncestorOf(target))) target = view_;
  if (msg == WM_CHAR) {
    const auto ch = static_cast<unsigned char>(wParam);
    if (ch < 0x20 || ch == 0x7F) return 0;
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, heldModifiers(), ToQString(std::string(1, char(ch))));
    QCoreApplication::sendEvent(target, &typed);
    return 0;
  }
  const int key = platform::qt::qtKeyOf(UINT(wParam));
  if (key == 0) return 0;
  QKeyEvent event(msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease, key, heldModifiers());
  QCoreApplication::sendEvent(target, &event);
  return 0;
}

}  // namespace spread::view
