#include <cmath>
#include <cstdint>

#include "runtime/eval/builtins.h"
#include "runtime/eval/text_ops.h"
#include "runtime/value/calendar.h"

namespace tamsil {

namespace {

constexpr ValueClass L = ValueClass::Whole, R = ValueClass::Real, T = ValueClass::Text;

Value whole(int64_t v) { return Value::ofWhole(v); }
Value real(double v) { return Value::ofReal(v); }
Value text(std::string v) { return Value::ofText(std::move(v)); }
double r0(Arguments a) { return a[0].asReal(); }
// Bitwise functions work on the 32-bit pattern of their arguments, as the runtime's LONG does.
uint32_t bits(Arguments a, size_t i) { return static_cast<uint32_t>(a[i].asWhole()); }
Value bitResult(uint32_t v) { return whole(static_cast<int32_t>(v)); }
int32_t day(Arguments a) {
  const int64_t d = a[0].asWhole();
  return d < 0 || d > INT32_MAX ? 0 : static_cast<int32_t>(d);
}

// Sorted by name; a function's code is its index plus one.
constexpr FunctionInfo kFunctions[] = {
    {"ABS", 1, 1, R, [](Arguments a) { return real(std::fabs(r0(a))); }},
    {"ACOS", 1, 1, R, [](Arguments a) { return real(std::acos(r0(a))); }},
    {"AGE", 1, 2, T, builtin::age},
    {"ALL", 1, 2, T, builtin::repeatAll},
    {"ASIN", 1, 1, R, [](Arguments a) { return real(std::asin(r0(a))); }},
    {"ATAN", 1, 1, R, [](Arguments a) { return real(std::atan(r0(a))); }},
    {"BAND", 2, 2, L, [](Arguments a) { return bitResult(bits(a, 0) & bits(a, 1)); }},
    {"BOR", 2, 2, L, [](Arguments a) { return bitResult(bits(a, 0) | bits(a, 1)); }},
    {"BSHIFT", 2, 2, L, builtin::bitShift},
    {"BXOR", 2, 2, L, [](Arguments a) { return bitResult(bits(a, 0) ^ bits(a, 1)); }},
    {"CENTER", 1, 2, T, builtin::center},
    {"CHOOSE", 1, 25, T, builtin::choose},
    {"CHR", 1, 1, T, [](Arguments a) { return text(std::string(1, char(a[0].asWhole() & 0xFF))); }},
    {"CLIP", 1, 1, T, [](Arguments a) { return text(textops::clip(a[0].asText())); }},
    {"CLOCK", 0, 0, L, [](Arguments) { return whole(clockTime()); }},
    {"COS", 1, 1, R, [](Arguments a) { return real(std::cos(r0(a))); }},
    {"DATE", 3, 3, L, builtin::date},
    {"DAY", 1, 1, L, [](Arguments a) { return whole(dayOf(day(a))); }},
    {"DEFORMAT", 1, 2, T, builtin::deformatText},
    {"FORMAT", 2, 2, T, builtin::formatValue},
    {"GETINI", 2, 4, T, builtin::getIni},
    {"INLIST", 3, 26, L, builtin::inList},
    {"INRANGE", 3, 3, L, builtin::inRange},
    {"INSTRING", 2, 4, L, builtin::inString},
    {"INT", 1, 1, L, [](Arguments a) { return whole(a[0].asWhole()); }},
    {"LEFT", 1, 2, T, builtin::left},
    {"LEN", 1, 1, L, [](Arguments a) { return whole(int64_t(a[0].asText().size())); }},
    {"LOG10", 1, 1, R, [](Arguments a) { return real(std::log10(r0(a))); }},
    {"LOGE", 1, 1, R, [](Arguments a) { return real(std::log(r0(a))); }},
    {"LONGPATH", 0, 1, T, builtin::longPath},
    {"LOWER", 1, 1, T, [](Arguments a) { return text(textops::lower(a[0].asText())); }},
    {"MATCH", 2, 3, L, builtin::match},
    {"MEMORY", 1, 1, L, builtin::memory},
    {"MONTH", 1, 1, L, [](Arguments a) { return whole(monthOf(day(a))); }},
    {"NULL", 1, 1, L, [](Arguments a) { return whole(a[0].asWhole() == 0); }},
    {"NUMERIC", 1, 1, L, builtin::numeric},
    {"PATH", 0, 1, T, builtin::path},
    {"QUOTE", 2, 2, T, builtin::quote},
    {"RANDOM", 2, 2, L, builtin::random},
    {"RIGHT", 1, 2, T, builtin::right},
    {"ROUND", 2, 2, R, builtin::round},
    // Linux file systems keep no short aliases: the short form of a path is its long form.
    {"SHORTPATH", 0, 1, T, builtin::longPath},
    {"SIN", 1, 1, R, [](Arguments a) { return real(std::sin(r0(a))); }},
    {"SQL", 0, 0, ValueClass::None, nullptr},
    {"SQRT", 1, 1, R, [](Arguments a) { return real(std::sqrt(r0(a))); }},
    {"STRPOS", 2, 3, L, builtin::strPos},
    {"SUB", 3, 3, T, builtin::sub},
    {"TAN", 1, 1, R, [](Arguments a) { return real(std::tan(r0(a))); }},
    {"TODAY", 0, 0, L, [](Arguments) { return whole(today()); }},
    {"UNQUOTE", 1, 1, T, builtin::unquote},
    {"UPPER", 1, 1, T, [](Arguments a) { return text(textops::upper(a[0].asText())); }},
    {"VAL", 1, 1, L,
     [](Arguments a) {
       const std::string t = a[0].asText();
       return whole(t.empty() ? 0 : static_cast<uint8_t>(t[0]));
     }},
    {"YEAR", 1, 1, L, [](Arguments a) { return whole(yearOf(day(a))); }},
};

}  // namespace

std::span<const FunctionInfo> functionTable() { return kFunctions; }

const FunctionInfo& functionInfo(uint8_t code) { return kFunctions[code - 1]; }

}  // namespace tamsil
