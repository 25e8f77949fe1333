// Comparisons of stack entries: CompareTop and the operations built on it.
#include "runtime/core/internal_fault.h"
#include "runtime/value/locale.h"
#include "runtime/value/text_compare.h"
#include "runtime/value/value_stack.h"

namespace tamsil {

namespace {

int signOf(int v) { return (v > 0) - (v < 0); }

// -1, 0 or 1 for an extreme key value (lowest, none, highest).
int extremeRank(const StackEntry& e) { return e.isExtreme() ? signOf(e.length) : 0; }

// A wide entry seen as a VT_BSTR variant, without copying the string.
platform::VARIANT asVariant(const StackEntry& e) {
  if (e.form == EntryForm::Variant) return e.variant();
  platform::VARIANT v;
  v.vt = platform::VT_BSTR;
  v.bstrVal = e.wide;
  return v;
}

// The platform's comparison of two variants as -1, 0 or 1; a VT_NULL sorts below everything
// but another VT_NULL. False when the platform cannot compare them (objects, errors).
bool compareVariants(const platform::VARIANT& a, const platform::VARIANT& b, int& result) {
  const platform::HRESULT r = platform::VarCmp(&a, &b, 0, 0);
  if (r == platform::VARCMP_NULL) {
    const bool nullA = (a.vt & ~platform::VT_BYREF) == platform::VT_NULL;
    const bool nullB = (b.vt & ~platform::VT_BYREF) == platform::VT_NULL;
    result = int(nullB) - int(nullA);
    return true;
  }
  if (platform::FAILED(r)) return false;
  result = int(r) - int(platform::VARCMP_EQ);
  return true;
}

// first against second by the rules of CompareTop; both may be converted in place.
int compareEntries(StackEntry& first, StackEntry& second) {
  if (const int x = extremeRank(first), y = extremeRank(second); x != 0 || y != 0) return x - y;
  if (first.form == EntryForm::Fill && second.form == EntryForm::Fill && first.fill == second.fill) return 0;
  const bool wideA = first.form == EntryForm::Wide, wideB = second.form == EntryForm::Wide;
  const bool varA = first.form == EntryForm::Variant, varB = second.form == EntryForm::Variant;
  int result = 0;
  if (wideA && wideB) return signOf(int(platform::VarBstrCmp(first.wide, second.wide, 0, 0)) - 1);
  if ((varA || varB) && (wideA || wideB || (varA && varB))) {
    if (compareVariants(asVariant(first), asVariant(second), result)) return result;
  } else if (varA || varB) {
    // A variant against text: the text is given to the platform as a wide string.
    StackEntry& text = varA ? second : first;
    AsWide(text);
    if (compareVariants(asVariant(first), asVariant(second), result)) return result;
  }
  // Everything else, and variants the platform cannot compare, compare as text.
  AsText(first);
  AsText(second);
  return signOf(compareTexts(loadLocale(), first.text(), second.text()));
}

}  // namespace

std::int32_t CompareTop() {
  ValueStack& stack = threadValueStack();
  StackEntry last = stack.Take();
  StackEntry first = stack.Take();
  return compareEntries(first, last);
}

std::int32_t CompareTopReversed() { return -CompareTop(); }

std::uint8_t TextsDiffer() { return CompareTop() != 0 ? 1 : 0; }

std::int32_t ComparePrefix() {
  ValueStack& stack = threadValueStack();
  StackEntry last = stack.Take();
  StackEntry first = stack.Take();
  AsText(first);
  AsText(last);
  const std::string_view a = first.text(), b = last.text();
  const std::size_t n = std::min(a.size(), b.size());
  return signOf(compareTexts(loadLocale(), a.substr(0, n), b.substr(0, n)));
}

std::int32_t InList(std::int32_t n) {
  if (n < 0) internalFault("InList with a negative count");
  ValueStack& stack = threadValueStack();
  if (stack.count() < n + 1) internalFault("InList with more entries than the value stack holds");
  StackEntry value = stack.Take();
  AsText(value);
  const LocaleData& locale = loadLocale();
  std::int32_t found = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    StackEntry item = stack.Take();
    if (found) continue;  // the rest are only dropped
    AsText(item);
    if (compareTexts(locale, item.text(), value.text()) == 0) found = i;
  }
  return found;
}

}  // namespace tamsil
