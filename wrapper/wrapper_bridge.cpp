#include "wrapper/wrapper_bridge.h"

namespace kestrel::wrapper {

namespace win = tamsil::window;

win::PropertyValue GridBridge::PropertyCall(win::Window* w, int field, const win::Selector& selector) {
  if (!w) return {win::PropertyStatus::WindowNotOpen, {}};
  return win::PropertyCall(*w, field, 0, selector);
}

win::PropertyStatus GridBridge::PropertyPut(win::Window* w, int field, const win::Selector& selector, std::string_view value) {
  return w ? win::PropertyPut(*w, field, 0, selector, value) : win::PropertyStatus::WindowNotOpen;
}

win::PropertyStatus GridBridge::PropertyPutTyped(win::Window* w, int field, const win::Selector& selector, std::uint8_t type,
                                                 const void* address, std::size_t size) {
  return w ? win::PropertyPutTyped(*w, field, 0, selector, type, address, size) : win::PropertyStatus::WindowNotOpen;
}

win::PropertyStatus GridBridge::MethodCall(win::Window* w, int field, const win::Selector& selector) {
  return w ? win::MethodCall(*w, field, 0, selector) : win::PropertyStatus::WindowNotOpen;
}

GridBridge& GridBridge::Runtime() {
  static GridBridge runtime;
  return runtime;
}

}  // namespace kestrel::wrapper
