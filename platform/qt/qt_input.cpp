#include "platform/qt/qt_input.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "platform/controls/menu.h"
#include "platform/input/input.h"
#include "platform/messages.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_mirror.h"
#include "platform/qt/qt_text.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"

namespace platform::qt {

namespace {

WPARAM mouseKeys(const QMouseEvent* e) {
  WPARAM k = 0;
  if (e->buttons() & Qt::LeftButton) k |= MK_LBUTTON;
  if (e->buttons() & Qt::RightButton) k |= MK_RBUTTON;
  if (e->modifiers() & Qt::ShiftModifier) k |= MK_SHIFT;
  if (e->modifiers() & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

// The key's lParam as the platform's input functions build it.
LPARAM keyLParam(UINT vk, bool up, bool alt, bool repeat, LPARAM extra) {
  const UINT scan = vk == VK_PACKET ? 0 : (vk & 0x7F);
  LPARAM l = 1 | (LPARAM(scan) << 16) | extra;
  if (alt) l |= LPARAM(1) << 29;
  if (up || repeat) l |= LPARAM(1) << 30;
  if (up) l |= LPARAM(1) << 31;
  return l;
}

void postKey(UINT msg, UINT vk, LPARAM l) {
  if (HWND target = GetFocus() ? GetFocus() : GetActiveWindow()) PostMessageA(target, msg, vk, l);
  else PostThreadMessageA(GetCurrentThreadId(), msg, vk, l);
}

}  // namespace

bool InputFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || mirror_.applying()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      const HWND hwnd = mirror_.windowOf(widget);
      // A component's view takes its own input.
      return hwnd && !mirror_.hostsView(hwnd) && mouse(widget, hwnd, static_cast<QMouseEvent*>(event));
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const HWND hwnd = mirror_.windowOf(widget);
      // A key the focused component's view left passes up to the windows around it; it is the
      // view's (or came from the platform for it, sent to the view's window) and goes nowhere else.
      return hwnd && !mirror_.hostsView(hwnd) && !mirror_.hostsView(mirror_.windowOf(QApplication::focusWidget())) &&
             key(static_cast<QKeyEvent*>(event));
    }
    case QEvent::FocusIn: {
      // A person who clicks into a component's view puts the platform's focus on its window, so
      // commands for the focused control (the Edit menu's) reach it.
      const HWND hwnd = mirror_.windowOf(widget);
      if (hwnd && mirror_.hostsView(hwnd) && GetFocus() != hwnd) SetFocus(hwnd);
      return false;
    }
    case QEvent::ShortcutOverride:
      if (mirror_.hostsView(mirror_.windowOf(widget))) return false;
      // Keys on the program's windows are the program's: no Qt shortcut takes them first, except
      // Alt with the mnemonic of a menu of the window's menu bar, which opens that menu (a
      // choice made in it arrives as the platform's menu messages).
      if (!mirror_.windowOf(widget) || opensMenu(mirror_.windowOf(widget), static_cast<QKeyEvent*>(event))) return false;
      event->accept();
      return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      if (!mirror_.isTopLevel(widget)) return false;
      return drop(widget, mirror_.windowOf(widget), static_cast<QDropEvent*>(event));
    case QEvent::Close:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::WindowStateChange:
      if (!mirror_.isTopLevel(widget)) return false;
      return topLevel(widget, mirror_.windowOf(widget), event);
    default: return false;
  }
}

bool InputFilter::drop(QWidget* widget, HWND hwnd, QDropEvent* event) {
  std::vector<std::string> files;
  if (const QMimeData* data = event->mimeData())
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  if (files.empty() || !hwnd || !(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
    event->ignore();
    return true;
  }
  event->acceptProposedAction();
  if (event->type() == QEvent::Drop) {
    const QPoint at = mirror_.clientOf(hwnd)->mapFromGlobal(widget->mapToGlobal(event->position().toPoint()));
    input::dropFiles(hwnd, {at.x(), at.y()}, std::move(files));
  }
  return true;
}

bool InputFilter::opensMenu(HWND hwnd, const QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier);
  if (mods != Qt::AltModifier || event->text().isEmpty()) return false;
  const HMENU bar = GetMenu(GetAncestorTop(hwnd));
  const QChar key = event->text()[0].toLower();
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    const std::string text = GetMenuStringA(bar, UINT(i), MF_BYPOSITION);
    const auto amp = text.find('&');
    if (amp != std::string::npos && amp + 1 < text.size() && QChar(text[amp + 1]).toLower() == key &&
        !(GetMenuState(bar, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)))
      return true;
  }
  return false;
}

bool InputFilter::mouse(QWidget* widget, HWND hwnd, QMouseEvent* event) {
  const WidgetAdapter* adapter = mirror_.adapterOf(hwnd);
  // Some widgets turn presses into platform input themselves (a list's item), or leave them to
  // Qt (a combo box's drop-down list).
  if (adapter)
    if (const auto taken = adapter->mouse(hwnd, mirror_.outerOf(hwnd), widget, event)) return *taken;
  const bool left = event->button() == Qt::LeftButton;
  if (!left && event->button() != Qt::RightButton) return true;
  // Through screen coordinates: the clicked widget may be an inner part of the control (a text
  // box's viewport), a child rather than a parent of the widget that mirrors the window.
  QPoint at = mirror_.clientOf(hwnd)->mapFromGlobal(event->globalPosition().toPoint());
  // A control's widget includes its border; the platform's client coordinates start inside it.
  if (const auto w = snapshotWindow(hwnd); w && adapter != &topLevelAdapter()) at -= QPoint(w->frame.left, w->frame.top);
  const LPARAM pos = MAKELPARAM(WORD(at.x()), WORD(at.y()));
  // The platform's classes take no double clicks: the second press is a press like the first.
  const bool down = event->type() != QEvent::MouseButtonRelease;
  const UINT msg = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
  PostMessageA(hwnd, msg, mouseKeys(event), pos);
  return true;
}

bool InputFilter::key(QKeyEvent* event) {
  const bool up = event->type() == QEvent::KeyRelease;
  if (up && event->isAutoRepeat()) return true;  // a held key repeats its press alone
  const Qt::KeyboardModifiers mods = event->modifiers();
  const QString text = event->text();
  // A character the ANSI code page cannot hold arrives as '?', as the platform's ANSI input
  // delivers it, so the person sees that something was typed.
  const char typed = text.size() == 1 ? (ansiChar(text[0]) ? ansiChar(text[0]) : text[0].isPrint() ? '?' : 0) : 0;
  const KeyStroke stroke = keyStroke(event->key(), typed, mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
  if (!stroke.vk) return true;
  // Alt itself goes down as a system key and comes up as a plain one, as the platform's own
  // keyboard input does; other keys are system keys while Alt is held.
  const bool alt = stroke.vk == VK_MENU ? !up : bool(mods & Qt::AltModifier);
  const UINT msg = alt ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
  postKey(msg, stroke.vk, keyLParam(stroke.vk, up, alt, event->isAutoRepeat(), stroke.extra));
  return true;
}

bool InputFilter::topLevel(QWidget* widget, HWND hwnd, QEvent* event) {
  if (!hwnd) return false;
  if (event->type() == QEvent::Close) {
    // The program decides: it hears SC_CLOSE first and may refuse.
    event->ignore();
    input::systemCommand(hwnd, SC_CLOSE);
    return true;
  }
  if (!event->spontaneous()) return false;
  if (event->type() == QEvent::WindowStateChange) {
    const Qt::WindowStates s = widget->windowState();
    const int wanted = (s & Qt::WindowMinimized) ? 1 : (s & Qt::WindowMaximized) ? 2 : 0;
    const int now = IsIconic(hwnd) ? 1 : IsZoomed(hwnd) ? 2 : 0;
    if (wanted != now) {
      input::systemCommand(hwnd, wanted == 1 ? SC_MINIMIZE : wanted == 2 ? SC_MAXIMIZE : SC_RESTORE);
      mirror_.expectUserChange(hwnd);
    }
    return false;
  }
  if (IsIconic(hwnd) || IsZoomed(hwnd) || widget->windowState() != Qt::WindowNoState) return false;
  // The widget is the client area and the menu bar; the model's rectangle adds the frame.
  RECT model;
  GetWindowRect(hwnd, &model);
  RECT client;
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const QRect g = widget->geometry();
  const int bar = GetMenu(hwnd) ? kMenuBarHeight : 0;
  if (event->type() == QEvent::Resize) {
    const int dw = g.width() - client.right, dh = g.height() - bar - client.bottom;
    if (dw == 0 && dh == 0) return false;
    input::sizeWindow(hwnd, model.width() + dw, model.height() + dh);
  } else {
    const int dx = g.x() - origin.x, dy = g.y() + bar - origin.y;
    if (dx == 0 && dy == 0) return false;
    input::moveWindow(hwnd, model.left + dx, model.top + dy);
  }
  mirror_.expectUserChange(hwnd);
  return false;
}

}  // namespace platform::qt
