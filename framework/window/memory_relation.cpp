#include "framework/window/memory_relation.h"

#include <algorithm>
#include <charconv>

namespace tamsil::framework {

namespace {

int next(std::deque<int>& results) {
  if (results.empty()) return 0;
  const int r = results.front();
  results.pop_front();
  return r;
}

}  // namespace

std::uint16_t MemoryRelation::SaveState() {
  // State numbers are 16 bits; the oldest states are reused once they run out.
  if (states_.size() == 0xFFFF) states_.clear();
  states_.push_back({buffer, current});
  return std::uint16_t(states_.size());
}

void MemoryRelation::RestoreState(std::uint16_t state) {
  if (state == 0 || state > states_.size()) return;
  buffer = states_[state - 1].buffer;
  current = states_[state - 1].current;
}

bool MemoryRelation::ChangedSince(std::uint16_t state) {
  if (state == 0 || state > states_.size()) return !buffer.empty();
  return buffer != states_[state - 1].buffer;
}

int MemoryRelation::Insert() {
  if (const int r = next(insertResults)) return r;
  records.push_back(buffer);
  current = records.size() - 1;
  return 0;
}

int MemoryRelation::Update(bool) {
  if (const int r = next(updateResults)) return r;
  if (current >= records.size()) return 2;  // no record to change
  records[current] = buffer;
  return 0;
}

int MemoryRelation::Delete(bool) {
  if (const int r = next(deleteResults)) return r;
  if (current >= records.size()) return 4;  // gone already
  records.erase(records.begin() + std::ptrdiff_t(current));
  current = kNoRecord;
  buffer.clear();
  return 0;
}

// Records in memory reserve nothing before they are inserted, so there is nothing to take back.
int MemoryRelation::UndoInsert() {
  ++undoCalls;
  return undoResult;
}

void MemoryRelation::Prime() {
  buffer = primeValue;
  current = kNoRecord;
}

bool MemoryRelation::PrepareRequest(std::uint8_t request) { return std::ranges::find(refusedRequests, request) == refusedRequests.end(); }

std::string MemoryRelation::Position() { return current < records.size() ? std::to_string(current) : std::string(); }

bool MemoryRelation::Fetch(const std::string& position) {
  std::size_t index = 0;
  const auto [end, ec] = std::from_chars(position.data(), position.data() + position.size(), index);
  return ec == std::errc() && end == position.data() + position.size() && Read(index);
}

bool MemoryRelation::Read(std::size_t index) {
  if (index >= records.size()) return false;
  buffer = records[index];
  current = index;
  return true;
}

void MemoryNavigator::MoveOn() {
  ++moves;
  const std::size_t at = relation_.current;
  relation_.Read(at == MemoryRelation::kNoRecord ? 0 : at + 1);
}

}  // namespace tamsil::framework
