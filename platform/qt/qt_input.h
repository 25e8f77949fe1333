// A person's input on mirrored widgets, turned into the platform's messages. Everything goes
// through the platform's input functions or posts the messages those would post, so a real
// action and a scripted one deliver the same messages; the widgets never change themselves; the
// program's answer comes back through the mirror.
#pragma once

#include <QObject>

#include "platform/types.h"

class QDropEvent;
class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace platform::qt {

class WindowMirror;

class InputFilter final : public QObject {
 public:
  explicit InputFilter(WindowMirror& mirror) : mirror_(mirror) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool mouse(QWidget* widget, HWND hwnd, QMouseEvent* event);
  bool key(QKeyEvent* event);
  // Alt and the mnemonic of an enabled menu of the window's menu bar.
  static bool opensMenu(HWND hwnd, const QKeyEvent* event);
  bool topLevel(QWidget* widget, HWND hwnd, QEvent* event);
  // Files dragged from the desktop over a top-level window: taken when the window accepts files,
  // and a drop becomes WM_DROPFILES (input::dropFiles).
  bool drop(QWidget* widget, HWND hwnd, QDropEvent* event);

  WindowMirror& mirror_;
};

}  // namespace platform::qt
