#include "platform/qt/qt_native_events.h"

#include <xcb/xcb.h>

#include <QByteArray>

#include "platform/qt/qt_mirror.h"
#include "platform/window/window.h"

namespace platform::qt {

bool NativeWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
  // Only a window that still stands for a platform window: Qt's own destroys find none.
  if (const HWND hwnd = mirror_.topLevelOfNative(destroyed->window)) {
    DestroyWindow(hwnd);
  }
  return false;
}

}  // namespace platform::qt
