#include "components/spread/call_log.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "platform/com/wide_text.h"

namespace spread {

using namespace platform;

namespace {

struct TypeName {
  VARTYPE vt;
  std::string_view name;
};

// The VARIANT types by the names the log gives them (the Win32 names without "VT_").
constexpr TypeName kTypeNames[] = {
    {VT_EMPTY, "EMPTY"}, {VT_NULL, "NULL"}, {VT_I2, "I2"},           {VT_I4, "I4"},           {VT_R4, "R4"},
    {VT_R8, "R8"},       {VT_CY, "CY"},     {VT_DATE, "DATE"},       {VT_BSTR, "BSTR"},       {VT_DISPATCH, "DISPATCH"},
    {VT_ERROR, "ERROR"}, {VT_BOOL, "BOOL"}, {VT_VARIANT, "VARIANT"}, {VT_UNKNOWN, "UNKNOWN"}, {VT_DECIMAL, "DECIMAL"},
    {VT_I1, "I1"},       {VT_UI1, "UI1"},   {VT_UI2, "UI2"},         {VT_UI4, "UI4"},         {VT_I8, "I8"},
    {VT_UI8, "UI8"},     {VT_INT, "INT"},   {VT_UINT, "UINT"},
};

std::string typeName(VARTYPE vt) {
  for (const TypeName& t : kTypeNames)
    if (t.vt == vt) return std::string(t.name);
  return "VT" + std::to_string(vt);
}

template <class Number>
std::string number(Number n) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, n);
  return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

// The decimal digits of a 96-bit unsigned number (hi:lo), by long division of 32-bit words.
std::string digitsOf(std::uint32_t hi, std::uint64_t lo) {
  std::uint32_t words[3] = {hi, std::uint32_t(lo >> 32), std::uint32_t(lo)};
  std::string digits;
  do {
    std::uint64_t rest = 0;
    for (std::uint32_t& w : words) {
      const std::uint64_t part = rest << 32 | w;
      w = std::uint32_t(part / 10);
      rest = part % 10;
    }
    digits.insert(digits.begin(), char('0' + rest));
  } while (words[0] || words[1] || words[2]);
  return digits;
}

// A 96-bit magnitude scaled down by 10^scale, written exactly: 1234567 with scale 4 is
// "123.4567"; trailing zeros of the fraction are dropped.
std::string scaled(bool negative, std::uint32_t hi, std::uint64_t lo, unsigned scale) {
  std::string digits = digitsOf(hi, lo);
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  std::string text = digits.substr(0, digits.size() - scale);
  std::string fraction = digits.substr(digits.size() - scale);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return negative && text != "0" ? "-" + text : text;
}

// A text in double quotes with inner quotes doubled; line breaks are written as \r and \n so
// that every entry stays on its line.
std::string quoted(BSTR text) {
  const std::string ansi = wideToAnsi(bstrView(text));
  std::string out = "\"";
  for (const char c : ansi) {
    if (c == '"') out += "\"\"";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out + "\"";
}

// The value's representation after "TYPE:"; empty for the types that have none.
std::string representation(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return number(int(v.cVal));
    case VT_I2: return number(v.iVal);
    case VT_I4: return number(v.lVal);
    case VT_INT: return number(v.intVal);
    case VT_I8: return number(v.llVal);
    case VT_UI1: return number(unsigned(v.bVal));
    case VT_UI2: return number(v.uiVal);
    case VT_UI4: return number(v.ulVal);
    case VT_UINT: return number(v.uintVal);
    case VT_UI8: return number(v.ullVal);
    case VT_R4: return number(v.fltVal);
    case VT_R8: return number(v.dblVal);
    case VT_DATE: return number(v.date);
    case VT_CY: {
      // Currency counts ten-thousandths.
      const bool negative = v.cyVal.int64 < 0;
      const std::uint64_t magnitude = negative ? 0 - std::uint64_t(v.cyVal.int64) : std::uint64_t(v.cyVal.int64);
      return scaled(negative, 0, magnitude, 4);
    }
    case VT_DECIMAL: return scaled(v.decVal.sign & 0x80, v.decVal.Hi32, v.decVal.Lo64, v.decVal.scale);
    case VT_BOOL: return v.boolVal ? "-1" : "0";
    case VT_BSTR: return quoted(v.bstrVal);
    case VT_DISPATCH:
    case VT_UNKNOWN: return v.punkVal ? "object" : "nothing";
    case VT_ERROR: {
      char buffer[16];
      const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::uint32_t(v.scode), 16);
      return "0x" + std::string(buffer, error == std::errc() ? end : buffer);
    }
    default: return {};
  }
}

void appendArguments(std::string& line, std::span<const VARIANT> args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) line += ',';
    line += FormatValue(args[i]);
  }
}

}  // namespace

std::string FormatValue(const VARIANT& v) {
  if (v.vt & VT_BYREF) {
    // A value passed by reference: its type with "BYREF|", and the value it refers to now.
    const VARTYPE base = v.vt & VT_TYPEMASK;
    if (base == VT_VARIANT) return "BYREF|" + (v.byref ? FormatValue(*static_cast<const VARIANT*>(v.byref)) : std::string("VARIANT"));
    Variant value;
    if (FAILED(VariantChangeType(value.get(), &v, 0, base))) return "BYREF|" + typeName(base);
    return "BYREF|" + FormatValue(*value.get());
  }
  const std::string repr = representation(v);
  return repr.empty() ? typeName(v.vt) : typeName(v.vt) + ":" + repr;
}

std::string FormatCallLine(LogVerb verb, std::string_view name, std::span<const VARIANT> args, const VARIANT* value) {
  static constexpr std::string_view kVerbs[] = {"put ", "get ", "call ", "event "};
  std::string line(kVerbs[size_t(verb)]);
  line += name;
  // Properties show their arguments only when they have some; methods and events always.
  if (!args.empty() || verb == LogVerb::Call || verb == LogVerb::Event) {
    line += '(';
    appendArguments(line, args);
    line += ')';
  }
  const VARIANT empty{};
  if (verb == LogVerb::Put) line += " = " + FormatValue(value ? *value : empty);
  else if (verb != LogVerb::Event) line += " -> " + FormatValue(value ? *value : empty);
  return line + "\n";
}

CallLog::CallLog(const std::string& path) : fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {}

CallLog::~CallLog() {
  if (fd_ >= 0) ::close(fd_);
}

void CallLog::write(std::string_view line) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return;
  // One write for the whole line: an append of a regular file is never interleaved with another
  // process's append. Only an interrupted write that wrote nothing is tried again.
  while (::write(fd_, line.data(), line.size()) < 0 && errno == EINTR) {}
}

CallLog* CallLog::process() {
  // Made once and never destroyed, so members carried out while statics are torn down still log.
  static CallLog* const log = []() -> CallLog* {
    const char* path = std::getenv("OVSPREAD_CALLLOG");
    if (!path || !*path) return nullptr;
    auto* made = new CallLog(path);
    if (made->open()) return made;
    delete made;
    return nullptr;
  }();
  return log;
}

}  // namespace spread
