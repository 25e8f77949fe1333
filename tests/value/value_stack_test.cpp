// The value stack: pushes and pops with their padding and cutting, entry forms and storage,
// comparisons, and misuse ending the program.
#include "runtime/value/value_stack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/core/thread_context.h"
#include "runtime/heap/heap.h"

namespace tamsil {
namespace {

class ValueStackTest : public ::testing::Test {
 protected:
  ThreadContextScope context;
  ValueStack& stack = threadValueStack();

  // Pops the top as a zero-terminated text of any length.
  std::string popText() {
    StackEntry e = stack.Take();
    AsText(e);
    return std::string(e.text());
  }
  void push(const std::string& s) { PushZeroText(s.c_str()); }
};

TEST_F(ValueStackTest, ThirtyTwoPushesFitAndTheStackEmptiesAgain) {
  for (int i = 0; i < ValueStack::kCapacity; ++i) PushLong(i);
  EXPECT_EQ(stack.count(), 32);
  for (int i = 31; i >= 0; --i) EXPECT_EQ(PopToLong(), i);
  EXPECT_EQ(stack.count(), 0);
}

using ValueStackDeathTest = ValueStackTest;

TEST_F(ValueStackDeathTest, MisuseIsAnInternalFault) {
  EXPECT_DEATH(
      {
        for (int i = 0; i <= ValueStack::kCapacity; ++i) PushLong(i);
      },
      "internal fault: value stack is full");
  EXPECT_DEATH(Drop(), "internal fault: take from an empty value stack");
  EXPECT_DEATH(
      {
        PushLong(1);
        stack.Peek(1);
      },
      "peek below the bottom");
  EXPECT_DEATH(
      {
        PushLong(1);
        InList(1);
      },
      "InList with more entries");
  EXPECT_DEATH(InList(-1), "negative count");
}

TEST(ValueStackNoContextDeathTest, ThreadWithoutContextIsAnInternalFault) { EXPECT_DEATH(PushLong(1), "without a ThreadContext"); }

TEST_F(ValueStackTest, PushLongWritesDecimalDigits) {
  const struct {
    std::int32_t value;
    const char* text;
  } cases[] = {{0, "0"}, {7, "7"}, {-7, "-7"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (const auto& c : cases) {
    PushLong(c.value);
    EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Inline) << c.text;
    EXPECT_EQ(popText(), c.text);
  }
}

TEST_F(ValueStackTest, PushRealKeepsFifteenSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{1.0, "1"},    {-0.0, "0"}, {0.1, "0.1"}, {1.0 / 3, "0.333333333333333"}, {123456789012345678.0, "1.23456789012346e+17"},
               {-2.5, "-2.5"}};
  for (const auto& c : cases) {
    PushReal(c.value);
    EXPECT_EQ(popText(), c.text);
  }
}

TEST_F(ValueStackTest, StorageOfEachPush) {
  char caller[] = "a text that is longer than twenty-four bytes";
  PushText(caller, 6);
  EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Borrowed);
  EXPECT_EQ(stack.Peek(0).address, caller);  // not copied
  PushZeroText(caller);
  EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Owned);
  caller[0] = 'X';  // the owned copy does not change with the caller's buffer
  EXPECT_EQ(popText(), "a text that is longer than twenty-four bytes");
  EXPECT_EQ(popText(), "X text");
  PushZeroText("short");
  EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Inline);
  char* block = static_cast<char*>(Allocate(3));
  std::memcpy(block, "abc", 3);
  PushOwnedText(block, 3);  // freed by the stack (the leak checker would see it otherwise)
  EXPECT_EQ(popText(), "abc");
  EXPECT_EQ(popText(), "short");
  PushText(nullptr, 5);
  PushZeroText(nullptr);
  EXPECT_EQ(popText(), "");
  EXPECT_EQ(popText(), "");
}

TEST_F(ValueStackTest, OwnCopiesAtMostNBytes) {
  const char caller[] = "0123456789012345678901234567890";
  PushText(caller, 30);
  Own(stack.Peek(0), 26);
  EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Owned);
  EXPECT_EQ(popText(), "01234567890123456789012345");
  PushText(caller, 30);
  Own(stack.Peek(0), 4);
  EXPECT_EQ(stack.Peek(0).storage, EntryStorage::Inline);
  EXPECT_EQ(popText(), "0123");
}

// Pops into program variables: fixed-width, zero-terminated and length-prefixed texts.
struct PopCase {
  const char* name;
  int kind;  // 0 string, 1 zero text, 2 length text
  std::string text;
  int extreme;  // -1 lowest, 1 highest, 0 the text
  std::size_t size;
  std::string expected;  // the destination's bytes
};

class PopTest : public ValueStackTest, public ::testing::WithParamInterface<PopCase> {};

TEST_P(PopTest, FillsTheDestination) {
  const PopCase& c = GetParam();
  if (c.extreme) PushExtreme(c.extreme > 0);
  else push(c.text);
  std::string dest(c.size, '#');
  if (c.kind == 0) PopToString(dest.data(), dest.size());
  if (c.kind == 1) PopToZeroText(dest.data(), dest.size());
  if (c.kind == 2) PopToLengthText(reinterpret_cast<unsigned char*>(dest.data()), dest.size());
  EXPECT_EQ(dest, c.expected);
  EXPECT_EQ(stack.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pops, PopTest,
                         ::testing::Values(PopCase{"StringPadded", 0, "abc", 0, 5, "abc  "}, PopCase{"StringCut", 0, "abcdef", 0, 5, "abcde"},
                                           PopCase{"StringHighest", 0, "", 1, 3, "\xFF\xFF\xFF"},
                                           PopCase{"StringLowest", 0, "", -1, 3, std::string(3, '\0')},
                                           PopCase{"ZeroCut", 1, "abcdef", 0, 4, std::string("abc\0", 4)},
                                           PopCase{"ZeroShort", 1, "ab", 0, 4, std::string("ab\0#", 4)},
                                           PopCase{"ZeroHighest", 1, "", 1, 3, std::string("\xFF\xFF\0", 3)},
                                           PopCase{"ZeroLowest", 1, "", -1, 3, std::string("\0##", 3)},
                                           PopCase{"ZeroSizeZero", 1, "abc", 0, 0, ""}, PopCase{"LengthCut", 2, "abcdef", 0, 4, "\3abc"},
                                           PopCase{"LengthShort", 2, "ab", 0, 4, "\2ab#"}, PopCase{"LengthHighest", 2, "", 1, 3, "\2\xFF\xFF"},
                                           PopCase{"LengthLongTextCutAt255", 2, std::string(300, 'x'), 0, 300,
                                                   "\xFF" + std::string(255, 'x') + std::string(44, '#')}),
                         [](const auto& p) { return p.param.name; });

TEST_F(ValueStackTest, PopsToNumbers) {
  push("  12.75  ");
  EXPECT_DOUBLE_EQ(PopToReal(), 12.75);
  push("-1e3");
  EXPECT_EQ(PopToLong(), -1000);
  push("99999999999");
  EXPECT_EQ(PopToLong(), INT32_MAX);  // saturated
  push("12abc");
  EXPECT_EQ(PopToLong(), 12);
  push("abc");
  EXPECT_EQ(PopToLong(), 0);
  push("-7.9");
  EXPECT_EQ(PopToLong(), -7);  // truncated toward zero
}

TEST_F(ValueStackTest, FillFormBecomesItsBytes) {
  PushFill('*', 30);
  EXPECT_EQ(popText(), std::string(30, '*'));
  PushFill('*', -4);
  EXPECT_EQ(popText(), "");
}

}  // namespace
}  // namespace tamsil
