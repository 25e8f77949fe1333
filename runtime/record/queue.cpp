#include "runtime/record/queue.h"

#include <algorithm>

#include "runtime/core/internal_fault.h"
#include "runtime/value/locale.h"
#include "runtime/value/text_compare.h"

namespace tamsil::record {

DescriptorResult<Queue> Queue::create(std::span<const std::uint8_t> entryDescriptor) {
  auto layout = EntryLayout::fromDescriptor(entryDescriptor);
  if (!layout) return layout.error();
  return Queue(std::move(layout).value());
}

void Queue::append(Entry entry) {
  if (&entry.layout() != layout_.get()) internalFault("queue entry appended to a queue of another layout");
  entries_.push_back(std::move(entry));
}

const Entry* Queue::get(std::size_t position) const { return position >= 1 && position <= entries_.size() ? &entries_[position - 1] : nullptr; }

Entry* Queue::get(std::size_t position) { return position >= 1 && position <= entries_.size() ? &entries_[position - 1] : nullptr; }

bool Queue::remove(std::size_t position) {
  if (position < 1 || position > entries_.size()) return false;
  entries_.erase(entries_.begin() + std::ptrdiff_t(position - 1));
  return true;
}

template <class Compare>
void Queue::sortBy(Compare compare, SortOrder order) {
  // compare gives <0, 0 or >0; a stable sort keeps equal entries in their order either way.
  if (order == SortOrder::Ascending)
    std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) { return compare(a, b) < 0; });
  else std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) { return compare(a, b) > 0; });
}

void Queue::sort(NumberField by, SortOrder order) {
  sortBy([by](const Entry& a, const Entry& b) { return a.number(by) < b.number(by) ? -1 : a.number(by) > b.number(by) ? 1 : 0; }, order);
}

void Queue::sort(TextField by, SortOrder order) {
  const LocaleData& locale = loadLocale();
  sortBy([&](const Entry& a, const Entry& b) { return compareTexts(locale, a.text(by), b.text(by)); }, order);
}

void Queue::sort(InternedField by, SortOrder order) {
  const LocaleData& locale = loadLocale();
  sortBy([&](const Entry& a, const Entry& b) { return compareTexts(locale, a.text(by), b.text(by)); }, order);
}

}  // namespace tamsil::record
