// Text operations on the value stack and the pure functions beneath them: comparison by
// collation weights, substring search, justification, sub-texts, repetition, case, and the
// wide and variant forms.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/core/thread_context.h"
#include "runtime/value/substring_search.h"
#include "runtime/value/text_compare.h"
#include "runtime/value/text_functions.h"
#include "runtime/value/value_stack.h"

namespace tamsil {
namespace {

class StackTextTest : public ::testing::Test {
 protected:
  ThreadContextScope context;
  ValueStack& stack = threadValueStack();

  void push(const std::string& s) { PushZeroText(s.c_str()); }
  std::string popText() {
    StackEntry e = stack.Take();
    AsText(e);
    return std::string(e.text());
  }
};

// --- comparison -----------------------------------------------------------------------------

LocaleData localeWith(Settings settings) {
  return buildLocale([](const char*, const char* def) { return std::string(def); }, settings, 2008);
}

TEST(CompareTextsTest, BlankPaddingAndCollationWeights) {
  Settings s;
  s.collationSequence = "A,a,B,b,C,c";  // letters ordered case by case: A < a < B < b
  const LocaleData l = localeWith(s);
  const LocaleData plain = localeWith(Settings{});
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc", "abc   ", 0}, {"", "   ", 0}, {"ab", "ab\x01", 1},  // control below blank
      {"aB", "ab", -1},                                           // B before b
      {"b", "A", 1},        {"a", "B", -1},                       // byte values say otherwise
  };
  for (const auto& c : cases) {
    const int r = compareTexts(l, c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
  EXPECT_GT(compareTexts(plain, "a", "B"), 0);  // the default table keeps byte order
  EXPECT_EQ(compareTexts(l, "b", "a"), int(l.collation['b']) - int(l.collation['a']));
}

TEST(CompareTextsTest, DigraphsExpandFromTheFirstDifference) {
  Settings s;
  s.digraphs = {"\xDFSS"};  // ß sorts as SS
  const LocaleData l = localeWith(s);
  EXPECT_EQ(compareTexts(l,
                         "STRA\xDF"
                         "E",
                         "STRASSE"),
            0);
  EXPECT_LT(compareTexts(l, "\xDF", "SST"), 0);
  EXPECT_GT(compareTexts(l, "\xDF", "SR"), 0);
  EXPECT_GT(compareTexts(l, "\xDF", "S"), 0);  // the used-up side continues with a blank
  EXPECT_EQ(compareTexts(l, "\xDF  ", "SS"), 0);
}

TEST_F(StackTextTest, CompareTopOrdersFirstPushedAgainstLast) {
  const struct {
    std::string a, b;
    int sign;
  } cases[] = {{"abc", "abd", -1}, {"abd", "abc", 1}, {"abc", "abc  ", 0}, {"", "", 0}};
  for (const auto& c : cases) {
    push(c.a);
    push(c.b);
    EXPECT_EQ(CompareTop(), c.sign) << c.a << "/" << c.b;
    push(c.a);
    push(c.b);
    EXPECT_EQ(CompareTopReversed(), -c.sign);
    push(c.a);
    push(c.b);
    EXPECT_EQ(TextsDiffer(), c.sign != 0 ? 1 : 0);
  }
  EXPECT_EQ(stack.count(), 0);
}

TEST_F(StackTextTest, ExtremesAndFillsCompare) {
  PushExtreme(true);
  push("\xFF\xFF\xFF");
  EXPECT_EQ(CompareTop(), 1);
  PushExtreme(false);
  PushText(nullptr, 0);
  EXPECT_EQ(CompareTop(), -1);
  PushFill('x', 3);
  PushFill('x', 9);
  EXPECT_EQ(CompareTop(), 0);  // same character, any length
  PushFill(' ', 3);
  push("");
  EXPECT_EQ(CompareTop(), 0);
}

TEST_F(StackTextTest, ComparePrefixUsesTheShorterLength) {
  push("abcdef");
  push("abc");
  EXPECT_EQ(ComparePrefix(), 0);
  push("abd");
  push("abcdef");
  EXPECT_EQ(ComparePrefix(), 1);
}

TEST_F(StackTextTest, InListGivesTheFirstEqualEntryAndTakesAll) {
  PushLong(99);  // stays below the list
  push("one");
  push("two");
  push("three");
  push("two  ");
  // The entry nearest the top is list entry 1: "three", then "two".
  EXPECT_EQ(InList(3), 2);
  EXPECT_EQ(stack.count(), 1);
  push("x");
  push("y");
  EXPECT_EQ(InList(1), 0);
  push("v");
  EXPECT_EQ(InList(0), 0);
  EXPECT_EQ(PopToLong(), 99);
}

// --- wide strings and variants ----------------------------------------------------------------

TEST_F(StackTextTest, WideAndVariantEntriesBecomeAnsiText) {
  PushWide(platform::Bstr(u"caf\u00E9 \u20AC \u0100"));
  EXPECT_EQ(popText(), "caf\xE9 \x80 ?");
  platform::Variant number;
  number->vt = platform::VT_I4;
  number->lVal = -42;
  PushVariant(std::move(number));
  EXPECT_EQ(popText(), "-42");
  platform::VARIANT null;
  null.vt = platform::VT_NULL;
  PushBorrowedVariant(&null);
  EXPECT_EQ(popText(), "");
}

struct FakeObject final : platform::IUnknown {
  int refs = 1;
  platform::HRESULT QueryInterface(const platform::IID&, void**) override { return platform::E_NOINTERFACE; }
  platform::ULONG AddRef() override { return platform::ULONG(++refs); }
  platform::ULONG Release() override { return platform::ULONG(--refs); }
};

TEST_F(StackTextTest, ObjectVariantBecomesABackquotedReference) {
  FakeObject object;
  platform::Variant v;
  v->vt = platform::VT_UNKNOWN;
  v->punkVal = &object;
  object.AddRef();  // the variant's reference
  PushVariant(std::move(v));
  EXPECT_EQ(popText(), "`" + std::to_string(reinterpret_cast<std::uintptr_t>(&object)));
  EXPECT_EQ(object.refs, 1);  // the stack released the variant's reference
}

TEST_F(StackTextTest, ConcatenateKeepsSingleByteTextOrGoesWide) {
  push("abc");
  PushFill('-', 2);
  Concatenate();
  EXPECT_EQ(stack.Peek(0).form, EntryForm::Text);
  EXPECT_EQ(popText(), "abc--");
  push(std::string(20, 'x'));
  push(std::string(20, 'y'));
  Concatenate();
  EXPECT_EQ(popText(), std::string(20, 'x') + std::string(20, 'y'));
  push("\xE9=");
  PushWide(platform::Bstr(u"\u20AC"));
  Concatenate();
  ASSERT_EQ(stack.Peek(0).form, EntryForm::Wide);
  EXPECT_EQ(platform::bstrView(stack.Peek(0).wide), u"\u00E9=\u20AC");
  Drop();
}

TEST_F(StackTextTest, VariantsCompareByThePlatform) {
  platform::Variant a, b;
  a->vt = platform::VT_I4;
  a->lVal = 10;
  b->vt = platform::VT_R8;
  b->dblVal = 9.5;
  PushVariant(std::move(a));
  PushVariant(std::move(b));
  EXPECT_EQ(CompareTop(), 1);  // by value, where as text "10" < "9.5"
  platform::Variant c;
  c->vt = platform::VT_I4;
  c->lVal = 10;
  PushVariant(std::move(c));
  push("10.0");
  EXPECT_EQ(CompareTop(), 0);
  PushWide(platform::Bstr(u"abc"));
  PushWide(platform::Bstr(u"abd"));
  EXPECT_EQ(CompareTop(), -1);
}

// --- substring search -------------------------------------------------------------------------

struct SearchCase {
  const char* name;
  std::string text, pattern;
  std::int32_t step, start, expected;
};

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsThePosition) {
  const SearchCase& c = GetParam();
  EXPECT_EQ(findSubstring(c.text, c.pattern, c.step, c.start), c.expected);
}

const std::string kLong = std::string(600, 'a') + "needle" + std::string(300, 'b') + "needle";

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchTest,
    ::testing::Values(SearchCase{"OneCharForward", "abxdex", "x", 1, 1, 3}, SearchCase{"OneCharForwardFromStart", "abxdex", "x", 1, 4, 6},
                      SearchCase{"OneCharBackward", "abxdex", "x", -1, 6, 6}, SearchCase{"OneCharBackwardInside", "abxdex", "x", -1, 5, 3},
                      SearchCase{"OneCharBackwardNone", "abxdex", "x", -1, 2, 0}, SearchCase{"OneCharStepped", "abcdefx", "x", 3, 1, 3},
                      SearchCase{"OneCharSteppedMisses", "abcdexf", "x", 3, 1, 0}, SearchCase{"ThreeCharsStepThree", "abcxyz", "xyz", 3, 1, 2},
                      SearchCase{"StepZeroIsPatternLength", "abcxyz", "xyz", 0, 1, 2},
                      SearchCase{"SteppedFromOffsetCountsFromTextStart", "xxxxxxabc", "abc", 3, 4, 3},
                      SearchCase{"EmptyPattern", "abc", "", 1, 1, 0}, SearchCase{"PatternLongerThanText", "ab", "abc", 1, 1, 0},
                      SearchCase{"StartZero", "abc", "a", 1, 0, 0}, SearchCase{"StartNegative", "abc", "a", 1, -5, 0},
                      SearchCase{"StartBeyondText", "abc", "c", 1, 4, 0}, SearchCase{"StepBelowMinusOne", "abcabc", "a", -2, 6, 0},
                      SearchCase{"MultiCharBackward", "abcabcab", "abc", -1, 8, 4},
                      SearchCase{"MultiCharBackwardFromStart", "abcabcab", "abc", -1, 3, 1},
                      SearchCase{"HugeStep", "abcdef", "a", INT32_MAX, 1, 1}, SearchCase{"HugeStepMisses", "abcdef", "f", INT32_MAX, 1, 0},
                      SearchCase{"ShortTextNaive", "xxneedlex", "needle", 1, 1, 3}, SearchCase{"LongText", kLong, "needle", 1, 1, 601},
                      SearchCase{"LongTextFromStart", kLong, "needle", 1, 602, 907}, SearchCase{"LongTextNoMatch", kLong, "needlf", 1, 1, 0},
                      SearchCase{"LongRepeatedLastChar", std::string(400, 'e') + "eeef", "eeef", 1, 1, 401},
                      SearchCase{"HighBytes", std::string(300, '\xFF') + std::string("\x80\x00\xFF\x01", 4), std::string("\x80\x00\xFF\x01", 4),
                                 1, 1, 301}),
    [](const auto& p) { return p.param.name; });

TEST_F(StackTextTest, InStringTakesPatternAndText) {
  push("abxdex");
  push("x");
  EXPECT_EQ(InString(-1, 6), 6);
  EXPECT_EQ(stack.count(), 0);
}

// --- text functions ---------------------------------------------------------------------------

struct FunctionCase {
  const char* name;
  std::string text;
  void (*apply)();
  std::string expected;
};

class TextFunctionTest : public StackTextTest, public ::testing::WithParamInterface<FunctionCase> {};

TEST_P(TextFunctionTest, ReplacesTheTop) {
  const FunctionCase& c = GetParam();
  PushText(c.text.data(), std::int32_t(c.text.size()));
  c.apply();
  EXPECT_EQ(popText(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Functions, TextFunctionTest,
                         ::testing::Values(FunctionCase{"Clip", "ab  ", [] { ClipTop(); }, "ab"},
                                           FunctionCase{"ClipAllBlanks", "   ", [] { ClipTop(); }, ""},
                                           FunctionCase{"RightTrailingBlanks", "ab  ", [] { JustifyTop(1, 6); }, "    ab"},
                                           FunctionCase{"CentreThreeInSix", "abc", [] { JustifyTop(2, 6); }, "  abc "},
                                           FunctionCase{"LeftLeadingBlanks", "  ab", [] { JustifyTop(0, -1); }, "ab  "},
                                           FunctionCase{"LeftNonBlankIsCut", "abcdef", [] { JustifyTop(0, 3); }, "abc"},
                                           FunctionCase{"RightKeepsTheEnd", "abcdef  ", [] { JustifyTop(1, 3); }, "def"},
                                           FunctionCase{"CentreDropsLeftHalf", "abcdef", [] { JustifyTop(2, 3); }, "cde"},
                                           FunctionCase{"AllBlanksAsIs", "    ", [] { JustifyTop(2, 2); }, "  "},
                                           FunctionCase{"WidthZero", "abc", [] { JustifyTop(1, 0); }, ""},
                                           FunctionCase{"WidthNegative", "abc", [] { JustifyTop(1, -7); }, ""},
                                           FunctionCase{"SubFromEnd", "0123456789", [] { SubTop(-3, -1); }, "789"},
                                           FunctionCase{"SubBeyondEnd", "0123456789", [] { SubTop(12, 2); }, ""},
                                           FunctionCase{"SubMiddle", "0123456789", [] { SubTop(3, 4); }, "2345"},
                                           FunctionCase{"SubStartZero", "0123456789", [] { SubTop(0, 2); }, "01"},
                                           FunctionCase{"SubFarBeforeStart", "0123456789", [] { SubTop(INT32_MIN, 2); }, "01"},
                                           FunctionCase{"SubNegativeLength", "0123456789", [] { SubTop(2, -2); }, ""},
                                           FunctionCase{"SubOfLongText", std::string(40, 'a') + "bc", [] { SubTop(41, 2); }, "bc"},
                                           FunctionCase{"Repeat", "ab", [] { RepeatTop(5); }, "ababa"},
                                           FunctionCase{"RepeatEmptyIsBlank", "", [] { RepeatTop(3); }, "   "},
                                           FunctionCase{"RepeatNegative", "ab", [] { RepeatTop(-1); }, ""},
                                           FunctionCase{"Upper", "abc \xE9z", [] { UpperTop(); }, "ABC \xE9Z"},
                                           FunctionCase{"Lower", "ABC-Z", [] { LowerTop(); }, "abc-z"}),
                         [](const auto& p) { return p.param.name; });

TEST_F(StackTextTest, FunctionsOnBorrowedTextLeaveTheCallersBytes) {
  std::string caller = "  hello  ";
  PushText(caller.data(), std::int32_t(caller.size()));
  UpperTop();
  EXPECT_EQ(popText(), "  HELLO  ");
  PushText(caller.data(), std::int32_t(caller.size()));
  SubTop(3, 5);
  EXPECT_EQ(stack.Peek(0).address, caller.data() + 2);  // a part, not a copy
  EXPECT_EQ(popText(), "hello");
  EXPECT_EQ(caller, "  hello  ");
}

}  // namespace
}  // namespace tamsil
