// Every accessor of the wrapper's typed face as a pair of plain functions, expanded from the
// accessor table in its order: a read that answers the value as text (an indexed accessor at index
// 2) and, for a writable one, a write of a sample value (1, or the text "x"). Tests and the
// benchmark walk all of them without naming each.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <type_traits>

#include "wrapper/spread_wrapper.h"

namespace kestrel::wrapper::testing {

inline constexpr std::int32_t kSampleIndex = 2;

template <class V>
std::string AsText(const V& value) {
  if constexpr (std::is_same_v<V, std::string>) {
    return value;
  } else if constexpr (std::is_same_v<V, double>) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  } else {
    return std::to_string(value);
  }
}

template <class W>
W Sample() {
  if constexpr (std::is_same_v<W, std::string_view>) return "x";
  else return W(1);
}

struct AccessorCall {
  std::string (*read)(SpreadWrapper&);
  void (*write)(SpreadWrapper&);  // null for a read-only accessor
};

#define KESTREL_CALL_RW(name, type) \
  {[](SpreadWrapper& s) { return AsText(s.name()); }, [](SpreadWrapper& s) { s.name(Sample<ValueTraits<ValueType::type>::Write>()); }},
#define KESTREL_CALL_RO(name, type) {[](SpreadWrapper& s) { return AsText(s.name()); }, nullptr},
#define KESTREL_CALL_RWIndexed(name, type)                        \
  {[](SpreadWrapper& s) { return AsText(s.name(kSampleIndex)); }, \
   [](SpreadWrapper& s) { s.name(kSampleIndex, Sample<ValueTraits<ValueType::type>::Write>()); }},
#define KESTREL_CALL_ROIndexed(name, type) {[](SpreadWrapper& s) { return AsText(s.name(kSampleIndex)); }, nullptr},

inline const AccessorCall kAccessorCalls[] = {
#define X(name, property, readProperty, type, shape, fallback, attachment) KESTREL_CALL_##shape(name, type)
#include "wrapper/accessor_list.inc"
#undef X
};

#undef KESTREL_CALL_RW
#undef KESTREL_CALL_RO
#undef KESTREL_CALL_RWIndexed
#undef KESTREL_CALL_ROIndexed

}  // namespace kestrel::wrapper::testing
