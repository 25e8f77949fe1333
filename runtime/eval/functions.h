// The built-in functions: one table of name, argument counts, result class and implementation.
// A function's code is its place in the table plus one.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/eval/value.h"

namespace tamsil {

using Arguments = std::span<const Value>;
using FunctionImpl = Value (*)(Arguments args);

struct FunctionInfo {
  std::string_view name;
  uint8_t minArgs, maxArgs;
  ValueClass result;
  FunctionImpl run;  // null for SQL, which the parser keeps as raw text
};

std::span<const FunctionInfo> functionTable();
const FunctionInfo& functionInfo(uint8_t code);

// Helpers for the implementations: an argument is given when present and not left empty.
inline bool given(Arguments a, size_t i) { return i < a.size() && !a[i].omitted; }
inline int64_t wholeArg(Arguments a, size_t i, int64_t otherwise) { return given(a, i) ? a[i].asWhole() : otherwise; }

}  // namespace tamsil
