// GridBridge: the four ways the wrapper reaches the grid, each for control `field` of window `w`
// through the runtime's automation bridge: read (or call for a result), write a text, write a
// typed variable, call with no result. The wrapper sends everything through one of these; tests
// and benchmarks put a bridge of their own in front of the runtime's to see what is sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/window/control_access.h"
#include "runtime/window/window_object.h"

namespace kestrel::wrapper {

class GridBridge {
 public:
  virtual ~GridBridge() = default;
  // A null window (a wrapper that was never attached) answers WindowNotOpen and the empty text.
  virtual tamsil::window::PropertyValue PropertyCall(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector);
  virtual tamsil::window::PropertyStatus PropertyPut(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector,
                                                     std::string_view value);
  virtual tamsil::window::PropertyStatus PropertyPutTyped(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector,
                                                          std::uint8_t type, const void* address, std::size_t size);
  virtual tamsil::window::PropertyStatus MethodCall(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector);

  // The runtime's bridge, which every wrapper uses unless given another.
  static GridBridge& Runtime();
};

}  // namespace kestrel::wrapper
