#include "components/spread/model/change_notice.h"

#include <vector>

namespace spread {

ChangeNotice::Subscription& ChangeNotice::Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    this->~Subscription();
    notice_ = std::exchange(other.notice_, nullptr);
    id_ = other.id_;
  }
  return *this;
}

ChangeNotice::Subscription::~Subscription() {
  if (notice_) notice_->listeners_.erase(id_);
}

ChangeNotice::Subscription ChangeNotice::subscribe(Listener listener) {
  const int id = nextId_++;
  listeners_.emplace(id, std::move(listener));
  return Subscription(*this, id);
}

void ChangeNotice::notify(const Change& change) {
  ++count_;
  // A listener may subscribe or unsubscribe while it is told; the others are told from a copy.
  std::vector<Listener> told;
  told.reserve(listeners_.size());
  for (const auto& [id, listener] : listeners_) told.push_back(listener);
  for (const Listener& listener : told) listener(change);
}

}  // namespace spread
