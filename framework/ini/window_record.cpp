// The window operations of IniStore: a window's place, size and state saved under a section and
// put back when the window opens again, through the window's runtime properties.
#include <array>

#include "framework/ini/ini_store.h"
#include "runtime/window/properties.h"

namespace tamsil::framework {

namespace {

using tamsil::window::GetProperty;
using tamsil::window::SetProperty;
using tamsil::window::Window;
namespace prop = tamsil::window::prop;

constexpr std::string_view kMaximize = "Maximize", kMinimize = "Minimize";

// The coordinates in the order they are stored.
struct Coordinate {
  std::string_view name;
  std::int32_t WindowRecord::*field;
};
constexpr std::array<Coordinate, 4> kCoordinates{{
    {"XPos", &WindowRecord::X},
    {"YPos", &WindowRecord::Y},
    {"Width", &WindowRecord::W},
    {"Height", &WindowRecord::H},
}};

const char* yesNo(bool on) { return on ? "Yes" : "No"; }

// A property of the window itself as a number; nothing when the window is not open.
std::optional<long> windowNumber(Window& window, std::uint16_t number) {
  const tamsil::window::PropertyValue v = GetProperty(window, 0, number);
  if (!v.ok()) return std::nullopt;
  return v.number();
}

}  // namespace

bool IniStore::SaveWindow(std::string_view sector, Window& window) {
  platform::CriticalSectionLock hold(CRITSECT);
  const auto maximized = windowNumber(window, prop::Maximize), minimized = windowNumber(window, prop::Iconize);
  if (!maximized || !minimized) return false;
  WindowRecord record;
  record.MAXIMIZED = *maximized != 0;
  record.MINIMIZED = *minimized != 0;
  if (!record.MAXIMIZED && !record.MINIMIZED) {
    record.X = std::int32_t(windowNumber(window, prop::Xpos).value_or(kUnknownCoordinate));
    record.Y = std::int32_t(windowNumber(window, prop::Ypos).value_or(kUnknownCoordinate));
    if (windowNumber(window, prop::Resize).value_or(0) != 0) {
      record.W = std::int32_t(windowNumber(window, prop::Width).value_or(kUnknownCoordinate));
      record.H = std::int32_t(windowNumber(window, prop::Height).value_or(kUnknownCoordinate));
    }
  }
  return StoreWindowRecord(sector, record);
}

void IniStore::RestoreWindow(std::string_view sector, Window& window) {
  platform::CriticalSectionLock hold(CRITSECT);
  WindowRecord record;
  LoadWindowRecord(sector, record);
  if (!record.GOT) return;
  const bool wasMaximized = windowNumber(window, prop::Maximize).value_or(0) != 0;
  if (!record.MAXIMIZED && wasMaximized) SetProperty(window, 0, prop::Maximize, 0L);
  // An unknown coordinate is the runtime's "leave it as it is".
  SetProperty(window, 0, prop::Xpos, long(record.X));
  SetProperty(window, 0, prop::Ypos, long(record.Y));
  if (windowNumber(window, prop::Resize).value_or(0) != 0) {
    if (record.W != kUnknownCoordinate) SetProperty(window, 0, prop::Width, long(record.W));
    if (record.H != kUnknownCoordinate) SetProperty(window, 0, prop::Height, long(record.H));
  }
  if (record.MAXIMIZED && !wasMaximized) SetProperty(window, 0, prop::Maximize, 1L);
  SetProperty(window, 0, prop::Iconize, long(record.MINIMIZED));
}

bool IniStore::StoreWindowRecord(std::string_view sector, const WindowRecord& record) {
  platform::CriticalSectionLock hold(CRITSECT);
  bool stored = Write(sector, kMaximize, yesNo(record.MAXIMIZED)) && Write(sector, kMinimize, yesNo(record.MINIMIZED));
  for (const Coordinate& c : kCoordinates) {
    const std::int32_t v = record.*c.field;
    stored = (v != kUnknownCoordinate ? Write(sector, c.name, v) : RemoveEntry(sector, c.name)) && stored;
  }
  return stored;
}

void IniStore::LoadWindowRecord(std::string_view sector, WindowRecord& record) {
  platform::CriticalSectionLock hold(CRITSECT);
  const std::string maximize = Read(sector, kMaximize);
  if (maximize != "Yes" && maximize != "No") {
    record.GOT = 0;
    return;
  }
  record.MAXIMIZED = maximize == "Yes";
  // Stored as "Yes"/"No" like Maximize, so read back the same way (as a number it would always
  // be 0 and a minimized window would never come back minimized).
  record.MINIMIZED = Read(sector, kMinimize) == "Yes";
  for (const Coordinate& c : kCoordinates) {
    record.*c.field = kUnknownCoordinate;
    ReadInto(sector, c.name, record.*c.field);
  }
  record.GOT = 1;
}

}  // namespace tamsil::framework
