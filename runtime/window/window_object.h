// The runtime's window object: what a procedure opens and runs its event loop on. It holds the
// controls built from the stored definition, the window's event queue, its registered handlers and
// the loop's state.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/window/snapshot.h"
#include "runtime/core/thread_context.h"
#include "runtime/heap/heap_allocator.h"
#include "runtime/window/property_store.h"

namespace tamsil::window {

class Window;
struct Control;
class ControlAutomation;

// One pending or current event. The mouse and key fields are a snapshot taken when the event was
// made (copied from the current event when posted during a delivery).
struct EventRecord {
  platform::UINT code = 0;  // kEventBase + event code
  Window* window = nullptr;
  Control* control = nullptr;
  Control* focus = nullptr;
  int mouseX = 0, mouseY = 0;
  std::uint32_t keyCode = 0;
  std::uint8_t keyChar = 0;
  std::uint8_t keyState = 0;
  std::uint8_t hold = 0;
  bool synchronous = false;
  std::uintptr_t extra = 0;            // PostEvent's extra word; the parameter of a Notify; a DDE message's
  platform::HWND ddeClient = nullptr;  // DDEpoke and DDEexecute: the window to acknowledge
  int notifyCode = 0;
  int notifyThread = 0;

  int event() const;  // the code without the base
};
using EventPtr = std::shared_ptr<EventRecord>;

// A colour triple as the definition gives it: slots 0, 1 and 2, the default colour where it
// gives none. Text controls and windows: background, selected text, selected background; lines and
// panels: their colour (slot 0); boxes: the frame (slot 0) and the fill (slot 1).
using ColourSlots = std::array<std::uint32_t, 3>;
inline constexpr ColourSlots kDefaultColourSlots{platform::kDefaultColour, platform::kDefaultColour, platform::kDefaultColour};

// How a window or control is drawn besides its font, as its definition gives it.
struct Appearance {
  std::uint32_t fontColour = platform::kDefaultColour;
  ColourSlots colours = kDefaultColourSlots;
  std::string cursor;  // cursor name; empty for the arrow
};

// A control of an open window, made from one record of the definition.
struct Control {
  int field = 0;
  std::uint8_t kind = 0;
  std::string label;              // "?OK"; empty for controls without one
  platform::HWND hwnd = nullptr;  // null for menus and items
  bool eventsOn = true;           // an event for a control whose flag is off is not posted
  bool bound = false;             // bound to a variable: the completion pass visits it
  std::uint32_t attributes = 0;
  std::uint32_t action = 0;         // standard action of a menu item, 0 for none
  std::string message, altMessage;  // status texts
  std::string help;                 // help keyword
  // Whether the alternate text and the help keyword are the window's, taken for lack of one.
  bool altMessageDefaulted = false, helpDefaulted = false;
  platform::HFONT font = nullptr;  // its own font, or the window's
  Appearance look;
  std::string picture;  // entries and strings with a variable: the display picture ("@n7")
  std::string format;   // lists: the column format
  std::string value;    // radio buttons: the value the option's variable takes for it
  std::vector<std::uint32_t> alertKeys;
  // The control's own check of its contents for the completion pass; empty accepts anything.
  std::function<bool()> accepts;
  // Shows the bound variable's value again (DisplayFields); empty for unbound controls.
  std::function<void()> display;
  int parentField = 0;       // the group, option or sheet that holds it; 0 for the window
  PropertyStore properties;  // runtime properties that are stored and read back
  // The control's own properties by text (OLE controls); attached by the OLE container.
  std::shared_ptr<ControlAutomation> automation;
};

// What a registered event handler answers. Handlers are the program's code and answer a number:
// these, or any other value, which ends the event's delivery with that value.
enum class HandlerAnswer : int { PassOn = 0, Break = 3, Cycle = 5 };
using EventHandler = std::function<int(Window&, const EventRecord&)>;

struct HandlerRegistration {
  int code = -1;  // -1 for every code
  EventHandler handler;
  int field = 0;  // 0 for window events
  bool anyField = false;
  int id = 0;  // the number RegisterEventHandler answered
};

// The loop body: run once per event; it ends its pass with EndEventPass.
using LoopBody = std::function<void()>;

// How a pass of the loop body ends; EndEventPass takes it from the program as a number.
enum class PassOutcome : int { Break = -1, Normal = 0, Cycle = 1 };

struct WindowEventQueue {
  HeapDeque<EventPtr> pending;
  EventPtr current;
  LoopBody* body = nullptr;  // the running loop's body; null when no loop runs
  bool running = false;      // the loop frame
  int depth = 0;
  int outcome = int(PassOutcome::Normal);  // what the last pass ended with
};

// Whether a window is on its way to closing once the current event is dispatched.
enum class CloseState : std::uint8_t { Open, Closing };

class Window {
 public:
  // The window with label `label` in the definitions of module `module` ("Kestrel24$Kestr001",
  // "P1$WINDOW").
  Window(std::string module, std::string label);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& module() const { return module_; }
  const std::string& label() const { return label_; }

  platform::HWND handle = nullptr;
  ThreadContext* thread = nullptr;              // of the thread that opened it
  std::map<int, Control> controls;              // by field number
  std::map<platform::UINT, int> commandFields;  // menu command identifier to field number
  int lowestField = 0, highestField = 0;
  std::uint32_t attributes = 0;  // AttributeBit (definition_format.h), as the definition stores them
  std::uint32_t stateWord = 0;   // StateBit (definition_format.h), as the definition stores them
  platform::HFONT font = nullptr;
  Appearance look;
  std::string icon;  // icon name; empty: the program's icon resource (32523)
  std::string help;  // the window's help keyword, the default of its controls
  std::string message;
  std::string altMessage;  // the default of its controls
  CloseState closeState = CloseState::Open;
  bool sized = false;
  bool timerSet = false;
  bool inMenu = false;
  bool sizeMoving = false;
  bool showingHelp = false;
  int setUseCount = 0;
  std::vector<std::string> droppedFiles;  // the files of the last drop from the desktop
  bool completionActive = false;
  int completionNext = 0;  // the next field the completion pass visits
  std::vector<std::uint32_t> alertKeys;
  PropertyStore properties;
  DeferredMoves deferred;

  WindowEventQueue queue;
  std::vector<HandlerRegistration> handlers;  // searched newest (last) first
  int lastHandlerId = 0;
  // Asked before a window marked as closing is destroyed; false keeps it open and its loop
  // running. Empty: the window may always close.
  std::function<bool()> mayClose;
  // Run when the pump finds nothing for the window before it waits for the next message, once
  // per wait (the program's background work between events). Empty: nothing to do.
  std::function<void()> idle;

  bool moveSizeEvents() const;  // the attribute kWindowMoveSizeEvents
  Control* control(int field);
  Control* controlOf(platform::HWND hwnd);
  // The controls Tab visits, in field order: visible, enabled, marked as tab stops.
  std::vector<Control*> tabStops();

 private:
  std::string module_;
  std::string label_;
};

}  // namespace tamsil::window
