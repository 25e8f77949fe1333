// Implementations of the built-in functions that take more than a line; the table in
// function_table.cpp names them. Each takes its arguments already counted by the parser.
#pragma once

#include "runtime/eval/functions.h"

namespace tamsil::builtin {

// Texts and numbers wider than this are cut to it: a width comes from data and must not be able
// to ask for gigabytes.
constexpr int64_t kMaxTextWidth = 1 << 20;

// Numbers (builtin_math.cpp)
Value round(Arguments a);
Value bitShift(Arguments a);
Value inRange(Arguments a);
Value random(Arguments a);

// Texts (builtin_text.cpp)
Value repeatAll(Arguments a);
Value left(Arguments a);
Value right(Arguments a);
Value center(Arguments a);
Value choose(Arguments a);
Value sub(Arguments a);
Value inList(Arguments a);
Value inString(Arguments a);
Value numeric(Arguments a);
Value quote(Arguments a);
Value unquote(Arguments a);
Value match(Arguments a);
Value strPos(Arguments a);
Value formatValue(Arguments a);
Value deformatText(Arguments a);

// Dates, the profile, paths and memory (builtin_system.cpp)
Value age(Arguments a);
Value date(Arguments a);
Value getIni(Arguments a);
Value path(Arguments a);
Value longPath(Arguments a);
Value memory(Arguments a);

}  // namespace tamsil::builtin
