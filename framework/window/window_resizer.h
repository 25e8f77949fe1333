// WindowResizer: keeps a window's controls in a sensible place when the window changes size.
// Attach records the window's original size and every control's original rectangle and gives each
// control a positional and a resize strategy; after every size change Resize computes each
// control's rectangle from its original one and its parent's original and new size, and moves the
// controls, children after their parents, in one deferred batch or one by one in an order that
// avoids overlaps.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/window/resize_strategy.h"

namespace tamsil::window {
class Window;
}

namespace tamsil::framework {

class WindowResizer {
 public:
  struct WindowRect {
    std::int32_t XPOS = 0, YPOS = 0, WIDTH = 0, HEIGHT = 0;
    std::uint8_t MAXIMIZED = 0, ICONIZED = 0;
  };
  // A managed control (CONTROLQUEUE), kept sorted by ID.
  struct ControlEntry {
    std::int32_t ID = 0;
    std::int32_t TYPE = 0;
    std::uint8_t HASCHILDREN = 0;
    std::uint16_t POSITIONALSTRATEGY = 0;
    std::uint16_t RESIZESTRATEGY = 0;
    ResizeRect POS;             // the original rectangle
    std::int32_t PARENTID = 0;  // 0: the window
  };
  // One move of the current resize (RESIZELIST).
  struct MoveEntry {
    std::int32_t PRIORITY = 0;
    std::int32_t CONTROLID = 0;
    std::int32_t TYPE = 0;
    ResizeRect BEFORE, AFTER;
  };

  // The window must outlive the resizer (or its Detach).
  explicit WindowResizer(window::Window& window);
  virtual ~WindowResizer();
  WindowResizer(const WindowResizer&) = delete;
  WindowResizer& operator=(const WindowResizer&) = delete;

  // The virtual operations, in the order of the class's table.
  virtual std::int32_t ParentOf(std::int32_t control);
  virtual void CaptureLayout();
  virtual void OnResizeEvent();
  // Repositions every control for the window's current size; a non-zero flag does it even when
  // the size has not changed since the last resize.
  virtual void Resize(int flag);
  virtual void RestoreLayout();
  virtual void AssignParents();
  virtual void AssignParent(ControlEntry& entry);
  virtual ResizeRect ComputeRect(const ResizeRect& origParent, const ResizeRect& newParent, const ControlEntry& control);

  // Takes the window: registers for the events that change its size, records its layout and
  // optionally holds the window to its original size as minimum or maximum.
  void Attach(std::uint8_t appStrategy, bool fixMinimum = false, bool fixMaximum = false);
  void Detach();
  // Sets the strategies of one control (0: of every control), managing it if it was not yet.
  void SetStrategy(std::int32_t control, std::uint16_t positional, std::uint16_t resize);

  window::Window& managedWindow() const { return window_; }
  ControlEntry* entry(std::int32_t control);

  std::uint8_t APPSTRATEGY = 0;
  std::uint8_t AUTOTRANSPARENT = 0;
  WindowRect ORIGWIN;
  std::unique_ptr<std::vector<ControlEntry>> CONTROLQUEUE;
  std::uint8_t DEFERMOVES = 0;
  ResizeRect PREVIOUSWIN;
  std::uint8_t RESIZECALLED = 0;
  std::unique_ptr<std::vector<MoveEntry>> RESIZELIST;

 private:
  // The window's rectangle, its size being its client size; false when it is not open.
  bool windowRect(ResizeRect& out) const;
  bool controlRect(std::int32_t control, ResizeRect& out) const;
  void moveControl(std::int32_t control, const ResizeRect& to);
  void moveAllBack();
  void visitChildren(std::int32_t parent, const ResizeRect& origParent, const ResizeRect& newParent);
  void setParent(ControlEntry& child, std::int32_t parent);
  // Whether the control should be managed, and the kind it counts as (0: not managed).
  std::int32_t managedKind(std::int32_t control) const;

  window::Window& window_;
  std::vector<int> handlers_;  // the event registrations Attach made
};

}  // namespace tamsil::framework
