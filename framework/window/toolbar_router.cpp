#include "framework/window/toolbar_router.h"

namespace tamsil::framework {

ToolbarTarget* ToolbarRouter::current() const {
  if (!LIST || current_ >= LIST->size()) return nullptr;
  return (*LIST)[current_].ITEM;
}

void ToolbarRouter::Forward() {
  if (ToolbarTarget* t = current()) t->TakeCall();
}

void ToolbarRouter::Release() {
  LIST.reset();
  current_ = 0;
}

void ToolbarRouter::TakeAccepted(int control, std::int32_t* navigation) {
  if (ToolbarTarget* t = current()) t->TakeToolbar(control, navigation);
}

void ToolbarRouter::ChooseTarget(std::int32_t id) {
  if (!LIST) return;
  for (std::size_t i = 0; i < LIST->size(); ++i) {
    Entry& e = (*LIST)[i];
    if (id != 0 && e.ID == id) {
      current_ = i;
      e.ITEM->Activate();
      return;
    }
    if (id == 0 && e.ITEM->IsActive()) current_ = i;
  }
}

void ToolbarRouter::ResetTargets() {
  LIST = std::make_unique<std::vector<Entry>>();
  current_ = 0;
}

void ToolbarRouter::AddTarget(std::int32_t id, ToolbarTarget& target) {
  if (!LIST) ResetTargets();
  LIST->push_back({id, &target});
}

}  // namespace tamsil::framework
