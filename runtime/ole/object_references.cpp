#include "runtime/ole/object_references.h"

#include <charconv>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace tamsil::ole {

namespace {

using platform::ComPtr;
using platform::IDispatch;

struct Entry {
  ComPtr<IDispatch> object;
  size_t handedOut = 0;
};

// The table is process-wide: a reference text read on one thread may be passed to another's
// window; the lock keeps the table whole, each object is then used by its window's thread.
struct ReferenceTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, Entry> entries;
};

// Never destroyed: at exit the objects it still holds may belong to components whose own statics
// are already gone, so nothing is released then.
ReferenceTable& table() {
  static ReferenceTable& t = *new ReferenceTable;
  return t;
}

bool keyOf(std::string_view text, std::uintptr_t& key) {
  if (!isReferenceText(text)) return false;
  const char* first = text.data() + 1;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, key);
  return error == std::errc() && end == last;
}

}  // namespace

bool isReferenceText(std::string_view text) {
  if (text.size() < 2 || text[0] != '`') return false;
  for (char c : text.substr(1))
    if (c < '0' || c > '9') return false;
  return true;
}

std::string handOutReference(IDispatch* object) {
  if (!object) return {};
  const auto key = reinterpret_cast<std::uintptr_t>(object);
  {
    ReferenceTable& t = table();
    std::lock_guard guard(t.lock);
    Entry& e = t.entries[key];
    if (!e.object) e.object = ComPtr<IDispatch>(object);
    ++e.handedOut;
  }
  return "`" + std::to_string(key);
}

ComPtr<IDispatch> findReference(std::string_view text) {
  std::uintptr_t key = 0;
  if (!keyOf(text, key)) return nullptr;
  ReferenceTable& t = table();
  std::lock_guard guard(t.lock);
  const auto it = t.entries.find(key);
  return it == t.entries.end() ? nullptr : it->second.object;
}

bool releaseReference(std::string_view text) {
  std::uintptr_t key = 0;
  if (!keyOf(text, key)) return false;
  ComPtr<IDispatch> last;  // released after the lock: the object's destructor may call back
  {
    ReferenceTable& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.entries.find(key);
    if (it == t.entries.end()) return false;
    if (--it->second.handedOut == 0) {
      last = std::move(it->second.object);
      t.entries.erase(it);
    }
  }
  return true;
}

size_t liveReferenceCount() {
  ReferenceTable& t = table();
  std::lock_guard guard(t.lock);
  return t.entries.size();
}

void releaseAllReferences() {
  std::unordered_map<std::uintptr_t, Entry> gone;
  {
    ReferenceTable& t = table();
    std::lock_guard guard(t.lock);
    gone.swap(t.entries);
  }
}

}  // namespace tamsil::ole
