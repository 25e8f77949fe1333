#include "runtime/window/window_object.h"

#include "platform/window/window.h"
#include "runtime/window/activation.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/property_names.h"

namespace tamsil::window {

int EventRecord::event() const { return int(code) - int(kEventBase); }

Window::Window(std::string module, std::string label) : module_(std::move(module)), label_(std::move(label)) {}

Window::~Window() {
  if (handle) CloseWindowOp(*this);
  detail::windowGone(*this);
}

Control* Window::control(int field) {
  auto it = controls.find(field);
  return it == controls.end() ? nullptr : &it->second;
}

namespace {

// A control placed in the toolbar (its InToolBar set) is reached with the mouse, never with Tab.
bool inToolBar(const Control& c) {
  const std::string v = c.properties.get(prop::InToolBar).value_or("");
  return v.find_first_not_of(" 0") != std::string::npos;
}

}  // namespace

std::vector<Control*> Window::tabStops() {
  using namespace platform;
  std::vector<Control*> stops;
  for (auto& [field, c] : controls)
    if (c.hwnd && IsWindowVisible(c.hwnd) && IsWindowEnabled(c.hwnd) && (GetWindowLongPtrA(c.hwnd, GWL_STYLE) & WS_TABSTOP) && !inToolBar(c))
      stops.push_back(&c);
  return stops;
}

bool Window::moveSizeEvents() const { return attributes & kWindowMoveSizeEvents; }

Control* Window::controlOf(platform::HWND hwnd) {
  if (!hwnd) return nullptr;
  for (auto& [field, c] : controls)
    if (c.hwnd == hwnd) return &c;
  return nullptr;
}

}  // namespace tamsil::window
