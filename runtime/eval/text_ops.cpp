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
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
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

// The stack takes the list entries nearest the top first, so the list goes on in reverse order
// and the count it gives is the position in the list as written.
int64_t inList(std::string_view value, std::span<const std::string> list) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) push(*it);
  push(value);
  return InList(static_cast<int32_t>(list.size()));
}

int compare(std::string_view a, std::string_view b) { return compareTexts(loadLocale(), a, b); }

std::string realToText(double v) {
  PushReal(v);
  return takeText();
}

}  // namespace tamsil::textops
