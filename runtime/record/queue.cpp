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

template <class Key, class Compare>
void Queue::sortBy(Key key, Compare compare, SortOrder order) {
  // Each entry's key is read once; the sort moves small (key, position) pairs, and a stable
  // sort keeps equal entries in their order either way.
  using K = decltype(key(entries_.front()));
  std::vector<std::pair<K, std::size_t>> keyed;
  keyed.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) keyed.emplace_back(key(entries_[i]), i);
  if (order == SortOrder::Ascending)
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
  else std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) { return compare(a.first, b.first) > 0; });
  std::vector<Entry> sorted;
  sorted.reserve(entries_.size());
  for (const auto& k : keyed) sorted.push_back(std::move(entries_[k.second]));
  entries_ = std::move(sorted);
}

void Queue::sort(NumberField by, SortOrder order) {
  if (entries_.empty()) return;
  sortBy([by](const Entry& e) { return e.number(by); }, [](std::int64_t a, std::int64_t b) { return a < b ? -1 : a > b ? 1 : 0; }, order);
}

void Queue::sort(TextField by, SortOrder order) {
  if (entries_.empty()) return;
  const LocaleData& locale = loadLocale();
  sortBy([by](const Entry& e) { return e.text(by); }, [&](std::string_view a, std::string_view b) { return compareTexts(locale, a, b); },
         order);
}

void Queue::sort(InternedField by, SortOrder order) {
  if (entries_.empty()) return;
  const LocaleData& locale = loadLocale();
  sortBy([by](const Entry& e) { return e.text(by); }, [&](std::string_view a, std::string_view b) { return compareTexts(locale, a, b); },
         order);
}

}  // namespace tamsil::record
