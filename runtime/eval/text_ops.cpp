// The evaluator's text operations carried out by the value stack and its text functions: the
// operands are pushed, the stack operation runs, and the result is taken off the top.
#include "runtime/eval/text_ops.h"

#include <algorithm>
#include <limits>

#include "runtime/value/locale.h"
#include "runtime/value/substring_search.h"
#include "runtime/value/text_compare.h"
#include "runtime/value/text_functions.h"
#include "runtime/value/value_stack.h"

namespace tamsil::textops {

namespace {

// Stack lengths and positions are 32-bit; longer texts are seen through their first 2^31 bytes.
int32_t to32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
void push(std::string_view t) { PushText(t.data(), to32(static_cast<int64_t>(t.size()))); }

std::string takeText() {
  StackEntry e = threadValueStack().Take();
  AsText(e);
  return std::string(e.text());
}

}  // namespace

std::string clip(std::string_view text) {
  push(text);
  ClipTop();
  return takeText();
}

std::string justify(std::string_view text, Justify mode, int64_t width) {
  const JustifiedText j = justifyText(text, static_cast<int>(mode), to32(width));
  std::string r(j.lead, ' ');
  r.append(j.body);
  r.append(j.trail, ' ');
  return r;
}

std::string sub(std::string_view text, int64_t start, int64_t length) {
  const TextRange r = subTextRange(text.size(), to32(start), to32(length));
  return std::string(text.substr(r.offset, r.count));
}

std::string repeat(std::string_view text, int64_t length) {
  push(text);
  RepeatTop(to32(length));
  return takeText();
}

std::string upper(std::string_view text) {
  push(text);
  UpperTop();
  return takeText();
}

std::string lower(std::string_view text) {
  push(text);
  LowerTop();
  return takeText();
}

int64_t inString(std::string_view pattern, std::string_view text, int64_t step, int64_t start) {
  return findSubstring(text, pattern, to32(step), to32(start));
}

// InList's comparison, entry by entry, without pushing the list: 26 entries on a stack of 32
// that the caller may already be using could overflow it, and an expression text must never be
// able to end the program.
int64_t inList(std::string_view value, std::span<const std::string> list) {
  const LocaleData& locale = loadLocale();
  for (size_t i = 0; i < list.size(); ++i)
    if (compareTexts(locale, value, list[i]) == 0) return static_cast<int64_t>(i) + 1;
  return 0;
}

int compare(std::string_view a, std::string_view b) { return compareTexts(loadLocale(), a, b); }

std::string realToText(double v) {
  PushReal(v);
  return takeText();
}

}  // namespace tamsil::textops
