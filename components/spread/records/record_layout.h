// How a format lays a record's fields out: the fields its first line holds and, for a record a
// format spreads over two lines, those of the second, each by name in the order written. Fields
// a layout does not name follow, in the record's order, on the first line: a field added to a
// record reaches every format without a change to any layout.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/records/book_records.h"

namespace spread::records {

struct Layout {
  std::initializer_list<std::string_view> first, second;
};

// The positions in a record's fields of what each line holds.
struct LineFields {
  std::vector<std::size_t> first, second;
};

template <class Record>
LineFields FieldsByLine(const Layout& layout) {
  Record r;
  const auto fields = r.fields();
  const auto find = [&](std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (fields[i].name == name) return i;
    throw std::logic_error("a layout names a field the record does not have: " + std::string(name));
  };
  LineFields out;
  std::vector<bool> placed(fields.size());
  for (const std::string_view name : layout.first) out.first.push_back(find(name)), placed[out.first.back()] = true;
  for (const std::string_view name : layout.second) out.second.push_back(find(name)), placed[out.second.back()] = true;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!placed[i]) out.first.push_back(i);
  return out;
}

}  // namespace spread::records
