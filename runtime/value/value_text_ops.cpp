// Text operations on the top of the value stack: concatenation, substring search and the text
// functions of the expression language.
#include <algorithm>
#include <cstring>

#include "runtime/value/locale.h"
#include "runtime/value/substring_search.h"
#include "runtime/value/text_functions.h"
#include "runtime/value/value_stack.h"

namespace tamsil {

namespace {

// The top entry, converted to text in place.
StackEntry& topText() {
  StackEntry& e = threadValueStack().Peek(0);
  AsText(e);
  return e;
}

bool isSingleByte(const StackEntry& e) { return e.form == EntryForm::Text || e.form == EntryForm::Fill; }

void caseTop(std::uint8_t (LocaleData::*convert)(std::uint8_t) const) {
  StackEntry& e = topText();
  const LocaleData& locale = loadLocale();
  const std::string_view t = e.text();
  StackEntry result;
  if (char* out = result.makeText(t.size()))
    for (std::size_t i = 0; i < t.size(); ++i) out[i] = char((locale.*convert)(static_cast<std::uint8_t>(t[i])));
  e = std::move(result);
}

}  // namespace

void Concatenate() {
  ValueStack& stack = threadValueStack();
  StackEntry last = stack.Take();
  StackEntry first = stack.Take();
  StackEntry result;
  if (isSingleByte(first) && isSingleByte(last)) {
    AsText(first);
    AsText(last);
    const std::string_view a = first.text(), b = last.text();
    if (char* out = result.makeText(a.size() + b.size())) {
      std::memcpy(out, a.data(), a.size());
      std::memcpy(out + a.size(), b.data(), b.size());
    }
  } else {
    AsWide(first);
    AsWide(last);
    const std::u16string_view a = platform::bstrView(first.wide), b = platform::bstrView(last.wide);
    platform::Bstr joined = platform::Bstr::adopt(platform::SysAllocStringLen(nullptr, platform::UINT(a.size() + b.size())));
    if (joined.get()) {
      std::copy(a.begin(), a.end(), joined.get());
      std::copy(b.begin(), b.end(), joined.get() + a.size());
    }
    result.form = EntryForm::Wide;
    result.storage = EntryStorage::Owned;
    result.wide = joined.release();
  }
  stack.Reserve() = std::move(result);
}

std::int32_t InString(std::int32_t step, std::int32_t start) {
  ValueStack& stack = threadValueStack();
  StackEntry pattern = stack.Take();
  StackEntry text = stack.Take();
  AsText(pattern);
  AsText(text);
  return findSubstring(text.text(), pattern.text(), step, start);
}

void ClipTop() {
  StackEntry& e = topText();
  const std::string_view t = e.text();
  e.narrow(0, t.find_last_not_of(' ') + 1);  // npos + 1 is 0: all blanks leave nothing
}

void JustifyTop(int mode, std::int32_t width) {
  StackEntry& e = topText();
  const std::string_view t = e.text();
  const JustifiedText j = justifyText(t, mode, width);
  if (j.lead == 0 && j.trail == 0) {
    e.narrow(std::size_t(j.body.data() - t.data()), j.body.size());
    return;
  }
  StackEntry result;
  if (char* out = result.makeText(j.size())) {
    std::memset(out, ' ', j.lead);
    std::memcpy(out + j.lead, j.body.data(), j.body.size());
    std::memset(out + j.lead + j.body.size(), ' ', j.trail);
  }
  e = std::move(result);
}

void SubTop(std::int32_t start, std::int32_t length) {
  StackEntry& e = topText();
  const TextRange r = subTextRange(e.text().size(), start, length);
  e.narrow(r.offset, r.count);
}

void RepeatTop(std::int32_t length) {
  StackEntry& e = topText();
  const std::string_view t = e.text().empty() ? std::string_view(" ") : e.text();
  StackEntry result;
  if (char* out = result.makeText(std::size_t(std::max(length, 0))))
    for (std::size_t i = 0; i < std::size_t(result.length); i += t.size())
      std::memcpy(out + i, t.data(), std::min(t.size(), std::size_t(result.length) - i));
  e = std::move(result);
}

void UpperTop() { caseTop(&LocaleData::toUpper); }
void LowerTop() { caseTop(&LocaleData::toLower); }

}  // namespace tamsil
