// What the X server says about the program's windows behind Qt's back. A top-level window
// destroyed by another client (a window manager that crashed, `xdotool windowclose`, a session
// tool) is destroyed in the platform too, so the program hears WM_DESTROY and ends or carries on
// as it would after any close, instead of running on with no window.
#pragma once

#include <QAbstractNativeEventFilter>

namespace platform::qt {

class WindowMirror;

class NativeWindowWatch final : public QAbstractNativeEventFilter {
 public:
  explicit NativeWindowWatch(WindowMirror& mirror) : mirror_(mirror) {}
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  WindowMirror& mirror_;
};

}  // namespace platform::qt
