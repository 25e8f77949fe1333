// How a book tells whoever shows it that automation changed it. The member table (every property
// written and method called from outside) and a load from a container's storage call `notify`;
// the book's own user operations do not, since whoever drove them already knows. A view
// subscribes and takes its look when told, instead of looking every so often.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace spread {

class ChangeNotice {
 public:
  using Listener = std::function<void()>;

  // Unsubscribes when it goes; the notice must outlive it.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(ChangeNotice& notice, int id) : notice_(&notice), id_(id) {}
    Subscription(Subscription&& other) noexcept : notice_(std::exchange(other.notice_, nullptr)), id_(other.id_) {}
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();

   private:
    ChangeNotice* notice_ = nullptr;
    int id_ = 0;
  };

  ChangeNotice() = default;
  // A book copied or assigned keeps its own listeners and count: they follow the book object,
  // not its contents (a load into a scratch book assigned back still reaches the view).
  ChangeNotice(const ChangeNotice&) {}
  ChangeNotice& operator=(const ChangeNotice&) { return *this; }

  // Listeners are called in the order they subscribed, on the thread that changed the book, while
  // the change may still be under way: they note it and take their look later.
  [[nodiscard]] Subscription subscribe(Listener listener);
  void notify();
  // Changes told so far.
  std::uint64_t count() const { return count_; }

 private:
  std::map<int, Listener> listeners_;
  int nextId_ = 1;
  std::uint64_t count_ = 0;
};

}  // namespace spread
