#include "runtime/record/interned_text.h"

#include <mutex>
#include <string>
#include <unordered_set>

namespace tamsil::record {

std::string_view internText(std::string_view text) {
  // Never destroyed: records may hold interned texts while static destructors run.
  static auto* pool = new std::unordered_set<std::string>;
  static auto* lock = new std::mutex;
  std::lock_guard guard(*lock);
  return *pool->emplace(text).first;  // nodes never move, so the view stays valid
}

}  // namespace tamsil::record
