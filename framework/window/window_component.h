// The interface of the companion objects a procedure window keeps in its component list (lists,
// browse boxes, history views ...). The window offers each event to them, asks them whether they
// need a refresh, and resets, redisplays and releases them with itself.
#pragma once

#include <cstdint>

namespace tamsil::framework {

class WindowComponent {
 public:
  virtual ~WindowComponent() = default;

  // The window is going away; the component lets go of what it holds.
  virtual void Release() {}
  // Brings the component's data up to date; `force` asks for a reset even when nothing changed.
  virtual void Reset(bool force) { (void)force; }
  // Whether the component needs the window to refresh after the current event.
  virtual bool RefreshRequired() { return false; }
  // Arms the alert keys the component reacts to.
  virtual void ArmAlertKeys() {}
  // Offers the current event; a non-zero severity ends its handling.
  virtual std::uint8_t TakeEvent() { return 0; }
  // Writes the window's values back into the component's data.
  virtual void Update() {}
  // Shows the component's data on the window again.
  virtual void RefreshDisplay() {}
};

}  // namespace tamsil::framework
