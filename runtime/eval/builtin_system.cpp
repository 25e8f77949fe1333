#include <algorithm>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/system/profile.h"
#include "runtime/eval/builtins.h"
#include "runtime/value/calendar.h"

namespace tamsil::builtin {

namespace {

int32_t toInt32(int64_t v, int64_t limit = INT32_MAX) { return static_cast<int32_t>(std::clamp<int64_t>(v, -limit, limit)); }

// The path argument, the current directory when omitted.
std::filesystem::path pathArg(Arguments a) {
  std::error_code ec;
  if (given(a, 0)) return std::filesystem::path(a[0].asText());
  return std::filesystem::current_path(ec);
}

}  // namespace

Value age(Arguments a) {
  const int32_t birth = toInt32(a[0].asWhole());
  return Value::ofText(given(a, 1) ? ageText(birth, toInt32(a[1].asWhole())) : ageText(birth));
}

// DATE(month, day, year). The fields are held to a range far beyond any valid date first, so that
// the calendar's arithmetic cannot overflow; such dates come out invalid (-1) either way.
Value date(Arguments a) {
  constexpr int64_t kLimit = 10'000'000;
  return Value::ofWhole(dayNumber(toInt32(a[0].asWhole(), kLimit), toInt32(a[1].asWhole(), kLimit), toInt32(a[2].asWhole(), kLimit)));
}

// GETINI(section, key [, default [, file]]): a value of a profile file; without a file the
// platform's "win.ini".
Value getIni(Arguments a) {
  const std::string section = a[0].asText(), key = a[1].asText();
  const std::string fallback = given(a, 2) ? a[2].asText() : std::string();
  const std::string file = given(a, 3) ? a[3].asText() : std::string("win.ini");
  std::string buffer(4096, '\0');
  const uint32_t n =
      platform::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(), uint32_t(buffer.size()), file.c_str());
  buffer.resize(n);
  return Value::ofText(std::move(buffer));
}

// PATH([name]): the name made absolute against the current directory (the directory itself when
// omitted), without resolving links.
Value path(Arguments a) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(pathArg(a), ec).lexically_normal();
  return Value::ofText(ec ? std::string() : p.string());
}

// LONGPATH([name]): the full path with links resolved; the parts that do not exist are kept.
Value longPath(Arguments a) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::weakly_canonical(pathArg(a), ec);
  return Value::ofText(ec ? std::string() : p.string());
}

// MEMORY(kind): memory in kilobytes: 0 what is free now, 1 the machine's total; other kinds 0.
Value memory(Arguments a) {
  const int64_t kind = a[0].asWhole();
  const long pages = kind == 0 ? sysconf(_SC_AVPHYS_PAGES) : kind == 1 ? sysconf(_SC_PHYS_PAGES) : 0;
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return Value::ofWhole(0);
  return Value::ofWhole(static_cast<int64_t>(pages) * (pageSize / 1024));
}

}  // namespace tamsil::builtin
