// The toolbar router: the objects that toolbar buttons can act on (browse lists, forms), one of
// them the current target. The window hands it every accepted control.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tamsil::framework {

// Something a toolbar button can act on.
class ToolbarTarget {
 public:
  virtual ~ToolbarTarget() = default;
  // A toolbar control was accepted while this is the target; `navigation` is the window's shared
  // navigation request, which the target may set.
  virtual void TakeToolbar(int control, std::int32_t* navigation) = 0;
  // Called when the target becomes current.
  virtual void Activate() {}
  // Whether the target is the active one (its control has the focus).
  virtual bool IsActive() { return false; }
  // Forwarded from the window to the current target.
  virtual void TakeCall() {}
};

class ToolbarRouter {
 public:
  struct Entry {
    std::int32_t ID = 0;
    ToolbarTarget* ITEM = nullptr;
  };

  virtual ~ToolbarRouter() = default;

  // Forwards a call to the current target.
  virtual void Forward();
  // Lets go of the target list.
  virtual void Release();
  // Hands an accepted control to the current target; nothing happens while the list is empty.
  virtual void TakeAccepted(int control, std::int32_t* navigation);

  // A non-zero id makes that entry current and activates it; 0 asks every entry whether it is the
  // active one and makes the last that answers yes current.
  void ChooseTarget(std::int32_t id);
  // Gives the router a fresh, empty target list (the window does this when it takes the router).
  void ResetTargets();
  void AddTarget(std::int32_t id, ToolbarTarget& target);
  ToolbarTarget* current() const;

  // LIST: the targets; null before the router is attached and after it is released.
  std::unique_ptr<std::vector<Entry>> LIST;

 private:
  std::size_t current_ = 0;
};

}  // namespace tamsil::framework
