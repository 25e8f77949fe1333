// The runtime's in-memory queue: an ordered list of entries of one layout, created from the
// descriptor of its entry. Positions count from 1, as programs count them. A queue belongs to
// the object that created it and is not locked: an owner shared between threads guards it
// with its own critical section. Destroying the queue frees its entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/record/descriptor_walker.h"
#include "runtime/record/entry_layout.h"
#include "runtime/record/queue_entry.h"

namespace tamsil::record {

enum class SortOrder { Ascending, Descending };

class Queue {
 public:
  // A queue of entries laid out by the descriptor, or why the descriptor was refused.
  static DescriptorResult<Queue> create(std::span<const std::uint8_t> entryDescriptor);

  const EntryLayout& layout() const { return *layout_; }
  template <FieldKind K>
  std::optional<Field<K>> field(std::string_view name) const {
    return layout_->field<K>(name);
  }

  // A cleared entry of this queue's layout, to fill and append.
  Entry newEntry() const { return Entry(layout_); }

  std::size_t records() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::span<const Entry> entries() const { return entries_; }

  // Adds entry at the end; an entry made by another queue is a programming error.
  void append(Entry entry);
  // The entry at position 1 ... records(), or null outside.
  const Entry* get(std::size_t position) const;
  Entry* get(std::size_t position);
  // Removes the entry at position; false (and nothing changed) outside 1 ... records().
  bool remove(std::size_t position);
  // Orders the entries by a number or text field, keeping the order of equal entries. Texts
  // compare as the runtime compares texts (blank-padded, by the collation in force).
  void sort(NumberField by, SortOrder order = SortOrder::Ascending);
  void sort(TextField by, SortOrder order = SortOrder::Ascending);
  void sort(InternedField by, SortOrder order = SortOrder::Ascending);
  // Removes every entry; the queue stays usable.
  void free() { entries_.clear(); }

 private:
  explicit Queue(std::shared_ptr<const EntryLayout> layout) : layout_(std::move(layout)) {}
  template <class Key, class Compare>
  void sortBy(Key key, Compare compare, SortOrder order);

  std::shared_ptr<const EntryLayout> layout_;
  std::vector<Entry> entries_;
};

}  // namespace tamsil::record
