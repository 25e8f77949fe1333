#include <algorithm>
#include <string>
#include <vector>

#include "runtime/eval/builtins.h"
#include "runtime/eval/match.h"
#include "runtime/eval/text_ops.h"
#include "runtime/value/deformat.h"
#include "runtime/value/format.h"

namespace tamsil::builtin {

namespace {

int64_t width(Arguments a, size_t i, int64_t otherwise) { return std::min(wholeArg(a, i, otherwise), kMaxTextWidth); }

Value justified(Arguments a, textops::Justify mode) {
  const int64_t w = width(a, 1, -1);
  // A negative width given explicitly is treated like an omitted one: the text's own length.
  return Value::ofText(textops::justify(a[0].asText(), mode, w < 0 ? -1 : w));
}

}  // namespace

Value repeatAll(Arguments a) { return Value::ofText(textops::repeat(a[0].asText(), width(a, 1, 255))); }
Value left(Arguments a) { return justified(a, textops::Justify::Left); }
Value right(Arguments a) { return justified(a, textops::Justify::Right); }
Value center(Arguments a) { return justified(a, textops::Justify::Center); }

// CHOOSE(n, v1, v2...): the n-th value, the last one for an n out of range; CHOOSE(x) alone is
// the truth of x as "1" or "0".
Value choose(Arguments a) {
  if (a.size() == 1) return Value::ofText(a[0].truth() ? "1" : "0");
  const int64_t n = a[0].asWhole();
  const size_t last = a.size() - 1;
  const size_t pick = n < 1 || n > static_cast<int64_t>(last) ? last : static_cast<size_t>(n);
  return Value::ofText(a[pick].asText());
}

Value sub(Arguments a) { return Value::ofText(textops::sub(a[0].asText(), a[1].asWhole(), a[2].asWhole())); }

Value inList(Arguments a) {
  std::vector<std::string> list;
  list.reserve(a.size() - 1);
  for (size_t i = 1; i < a.size(); ++i) list.push_back(a[i].asText());
  return Value::ofWhole(textops::inList(a[0].asText(), list));
}

Value inString(Arguments a) { return Value::ofWhole(textops::inString(a[0].asText(), a[1].asText(), wholeArg(a, 2, 0), wholeArg(a, 3, 1))); }

Value numeric(Arguments a) {
  const std::string t = a[0].asText();
  return Value::ofWhole(numberFromText(std::string_view(t).substr(0, 40)).has_value());
}

// QUOTE(text, wrap): every single quote doubled, so the text can stand between quotes in an
// expression; a non-zero wrap also puts the quotes around it, giving a text constant that
// EVALUATE reads back as the original text.
Value quote(Arguments a) {
  const std::string t = a[0].asText();
  std::string r;
  r.reserve(t.size() + 2);
  const bool wrap = given(a, 1) && a[1].truth();
  if (wrap) r += '\'';
  for (char c : t) {
    if (c == '\'') r += '\'';
    r += c;
  }
  if (wrap) r += '\'';
  return Value::ofText(std::move(r));
}

// UNQUOTE(text): the reverse of QUOTE: quotes around the (clipped) text removed, doubled quotes
// inside made single.
Value unquote(Arguments a) {
  std::string t = textops::clip(a[0].asText());
  std::string_view inner = t;
  if (inner.size() >= 2 && inner.front() == '\'' && inner.back() == '\'') inner = inner.substr(1, inner.size() - 2);
  std::string r;
  r.reserve(inner.size());
  for (size_t i = 0; i < inner.size(); ++i) {
    r += inner[i];
    if (inner[i] == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'') ++i;
  }
  return Value::ofText(std::move(r));
}

Value match(Arguments a) { return Value::ofWhole(matchText(a[0].asText(), a[1].asText(), wholeArg(a, 2, 1))); }

Value strPos(Arguments a) { return Value::ofWhole(stringPosition(a[0].asText(), a[1].asText(), wholeArg(a, 2, 0))); }

// FORMAT(value, picture): whole numbers pass as their exact digits, reals as reals, texts as is.
Value formatValue(Arguments a) {
  const CompiledPicture picture = compilePicture(a[1].asText());
  switch (a[0].cls) {
    case ValueClass::Real: return Value::ofText(format(a[0].real, picture).str());
    default: return Value::ofText(format(a[0].asText(), picture).str());
  }
}

Value deformatText(Arguments a) {
  const std::string t = a[0].asText();
  return Value::ofText(given(a, 1) ? deformat(t, compilePicture(a[1].asText())) : deformat(t));
}

}  // namespace tamsil::builtin
