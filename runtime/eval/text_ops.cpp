// Stand-ins for the value stack's text operations until the stack lands in the runtime; each
// follows the stack operation of the same name.
#include "runtime/eval/text_ops.h"

#include <algorithm>
#include <cstdio>

#include "runtime/value/locale.h"

namespace tamsil::textops {

std::string clip(std::string_view text) {
  const size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

std::string justify(std::string_view t, Justify mode, int64_t width) {
  const size_t w = width < 0 ? t.size() : static_cast<size_t>(width);
  if (w == 0) return {};
  auto fit = [w](std::string_view s) {
    std::string r(s.substr(0, std::min(s.size(), w)));
    r.resize(w, ' ');
    return r;
  };
  std::string_view content = t;
  const bool trimLead = mode != Justify::Left || (!t.empty() && t.front() == ' ');
  if (mode == Justify::Left && !trimLead) return fit(t);
  if (trimLead && mode != Justify::Right) {
    const size_t s = content.find_first_not_of(' ');
    content = s == std::string_view::npos ? std::string_view{} : content.substr(s);
  }
  if (mode != Justify::Left) {
    const size_t e = content.find_last_not_of(' ');
    content = e == std::string_view::npos ? std::string_view{} : content.substr(0, e + 1);
  }
  if (content.empty()) return fit(t);
  const size_t n = content.size();
  if (n >= w) {
    if (mode == Justify::Left) return std::string(content.substr(0, w));
    if (mode == Justify::Right) return std::string(content.substr(n - w));
    return std::string(content.substr((n - w + 1) / 2, w));
  }
  const size_t pad = w - n;
  const size_t before = mode == Justify::Left ? 0 : mode == Justify::Right ? pad : (pad + 1) / 2;
  return std::string(before, ' ') + std::string(content) + std::string(pad - before, ' ');
}

std::string sub(std::string_view t, int64_t s, int64_t length) {
  const int64_t n = static_cast<int64_t>(t.size());
  int64_t offset = s < 0 ? std::max<int64_t>(0, n + s) : s > 0 ? std::min(s - 1, n) : 0;
  if (length == -1) return std::string(t.substr(offset));
  if (length < 0) return {};
  return std::string(t.substr(offset, static_cast<size_t>(std::min(length, n - offset))));
}

std::string repeat(std::string_view t, int64_t length) {
  if (length <= 0) return {};
  if (t.empty()) t = " ";
  std::string r;
  r.reserve(static_cast<size_t>(length));
  while (static_cast<int64_t>(r.size()) < length)
    r.append(t.substr(0, std::min<size_t>(t.size(), static_cast<size_t>(length) - r.size())));
  return r;
}

std::string upper(std::string_view t) {
  const LocaleData& l = loadLocale();
  std::string r(t);
  for (char& c : r) c = static_cast<char>(l.toUpper(static_cast<uint8_t>(c)));
  return r;
}

std::string lower(std::string_view t) {
  const LocaleData& l = loadLocale();
  std::string r(t);
  for (char& c : r) c = static_cast<char>(l.toLower(static_cast<uint8_t>(c)));
  return r;
}

int64_t inString(std::string_view pattern, std::string_view text, int64_t step, int64_t start) {
  const int64_t p = static_cast<int64_t>(pattern.size()), t = static_cast<int64_t>(text.size());
  if (p == 0 || p > t || start <= 0) return 0;
  if (step == 0) step = p;
  if (p == 1 && step == -1) {
    for (int64_t o = std::min(start - 1, t - 1); o >= 0; --o)
      if (text[static_cast<size_t>(o)] == pattern[0]) return o + 1;
    return 0;
  }
  if (step < 0) return 0;
  for (int64_t o = start - 1; o <= t - p; o += step)
    if (text.compare(static_cast<size_t>(o), static_cast<size_t>(p), pattern) == 0) return o / step + 1;
  return 0;
}

int64_t inList(std::string_view value, std::span<const std::string> list) {
  for (size_t i = 0; i < list.size(); ++i)
    if (compare(value, list[i]) == 0) return static_cast<int64_t>(i) + 1;
  return 0;
}

int compare(std::string_view a, std::string_view b) {
  const auto& weight = loadLocale().collation;
  const size_t n = std::max(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = i < a.size() ? static_cast<uint8_t>(a[i]) : ' ';
    const uint8_t y = i < b.size() ? static_cast<uint8_t>(b[i]) : ' ';
    if (x != y) return int(weight[x]) - int(weight[y]);
  }
  return 0;
}

std::string realToText(double v) {
  char buffer[40];
  const int n = std::snprintf(buffer, sizeof buffer, "%.15g", v);
  return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace tamsil::textops
