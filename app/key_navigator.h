// KeyNavigator: moves between a window's controls with Enter and the arrow keys as with Tab and
// Shift+Tab. Arming gives each control the alert keys its kind needs (so the runtime reports those
// keys as "EVENT:AlertKey" instead of letting the control have them); TakeEvent turns such an
// event into a move. EXCLUDEDCONTROL lists controls left alone; NEXTTABSTOPCONTROLQ holds
// (from, to) pairs that override the window's tab order.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tamsil::window {
class Window;
}

namespace kestrel {

// Runtime key codes: the virtual key, 0x100 for Shift.
enum KeyCode : std::uint32_t {
  KeyTab = 9,
  KeyEnter = 13,
  KeyLeft = 37,
  KeyUp = 38,
  KeyRight = 39,
  KeyDown = 40,
  KeyShiftTab = 0x100 | 9,
  // What Enter in a multi-line text control presses instead of moving on.
  KeyShiftEnter = 0x10D,
  KeyShiftShift = 0x110,
};

// The alert keys a control of runtime type `type` gets when armed with `flag`; `single` is the
// control's Single property (one-line text).
std::vector<std::uint32_t> AlertKeysFor(int type, std::uint8_t flag, bool single);

class KeyNavigator {
 public:
  struct TabStopPair {
    std::int32_t FROM = 0, TO = 0;
  };

  // Creates the two queues.
  void Init();
  // Gives the window's controls their alert keys, from the first field to the last, and sets
  // INITED. The window must stay open while the navigator is armed.
  void Arm(tamsil::window::Window& window, std::uint8_t flag);
  // Takes the current event: true when it was an alert key this navigator handled.
  bool TakeEvent();
  // Releases both queues and forgets the window.
  void Kill();

  std::unique_ptr<std::vector<std::int32_t>> EXCLUDEDCONTROL;
  std::unique_ptr<std::vector<TabStopPair>> NEXTTABSTOPCONTROLQ;
  std::uint8_t INITED = 0;

 private:
  bool excluded(int field) const;
  const TabStopPair* pairFrom(int field) const;
  const TabStopPair* pairTo(int field) const;
  void addAlertKey(int field, std::uint32_t key);

  tamsil::window::Window* window_ = nullptr;
};

// Presses a runtime key code (modifiers from its high bits) on the focused control, as a person
// would; the runtime sees the key as it sees typed ones.
void PressKeyCode(std::uint32_t code);

}  // namespace kestrel
