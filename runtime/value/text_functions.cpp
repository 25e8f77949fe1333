#include "runtime/value/text_functions.h"

#include <algorithm>

namespace tamsil {

namespace {

std::string_view withoutLeadingBlanks(std::string_view t) {
  const std::size_t first = t.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : t.substr(first);
}

std::string_view withoutTrailingBlanks(std::string_view t) {
  const std::size_t last = t.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : t.substr(0, last + 1);
}

// The text cut or padded with blanks to the width.
JustifiedText asIs(std::string_view t, std::size_t w) {
  const std::string_view body = t.substr(0, w);
  return {0, body, w - body.size()};
}

}  // namespace

JustifiedText justifyText(std::string_view t, int mode, std::int32_t width) {
  if (width < -1) return {};
  const std::size_t w = width == -1 ? t.size() : std::size_t(width);
  if (w == 0) return {};
  const Justify how = mode == 1 ? Justify::Right : mode == 2 ? Justify::Centre : Justify::Left;
  std::string_view content;
  switch (how) {
    case Justify::Left:
      if (t.empty() || t[0] != ' ') return asIs(t, w);
      content = withoutLeadingBlanks(t);
      break;
    case Justify::Right: content = withoutTrailingBlanks(t); break;
    case Justify::Centre: content = withoutLeadingBlanks(withoutTrailingBlanks(t)); break;
  }
  if (content.empty()) return asIs(t, w);
  const std::size_t n = content.size();
  if (n >= w) {
    switch (how) {
      case Justify::Left: return {0, content.substr(0, w), 0};
      case Justify::Right: return {0, content.substr(n - w), 0};
      case Justify::Centre: return {0, content.substr((n - w + 1) / 2, w), 0};
    }
  }
  const std::size_t blanks = w - n;
  switch (how) {
    case Justify::Left: return {0, content, blanks};
    case Justify::Right: return {blanks, content, 0};
    case Justify::Centre: break;
  }
  const std::size_t before = (blanks + 1) / 2;
  return {before, content, blanks - before};
}

TextRange subTextRange(std::size_t n, std::int32_t start, std::int32_t length) {
  std::size_t offset = 0;
  if (start < 0) offset = std::size_t(std::max<std::int64_t>(0, std::int64_t(n) + start));
  else if (start > 0) offset = std::min(std::size_t(start) - 1, n);
  const std::size_t rest = n - offset;
  if (length < -1) return {offset, 0};
  return {offset, length == -1 ? rest : std::min(rest, std::size_t(length))};
}

}  // namespace tamsil
