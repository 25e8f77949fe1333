// The compiler and the reader agree: a source compiles exactly when the runtime would accept what
// it writes (nesting, field numbers), and a container the dump accepts is exactly what compiling
// its dump writes, whatever byte of a real container is damaged.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/window/definition_tree.h"
#include "runtime/window/definition_writer.h"
#include "runtime/window/little_endian.h"
#include "tools/tamsil/rc_dump.h"
#include "tools/tamsil/rc_source.h"

namespace tamsil::tool {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> compile(const std::string& source, SourceError* error = nullptr) {
  auto module = parseDefinitionSource(source);
  if (!module) {
    if (error) *error = module.error();
    return std::nullopt;
  }
  return window::writeContainer(*module);
}

// ---- the compiler checks what the reader checks ----

// A way to nest records: the record at level 1 (directly in the window), those between, the one
// that holds the innermost record, and the innermost record itself.
struct Nesting {
  const char* name;
  const char* first;
  const char* middle;
  const char* last;
  const char* leaf;
};
constexpr Nesting kNestings[] = {
    {"Groups", "group", "group", "group", "button"},
    {"Menus", "menubar", "menu", "menu", "item"},
    {"OptionInGroups", "group", "group", "option", "radio"},
    {"SheetInGroups", "group", "group", "sheet", "tab"},
};

void PrintTo(const Nesting& n, std::ostream* out) { *out << n.name; }

// A window whose records nest `levels` deep (its own controls are level 1), one line a level
// from line 3 on, every record with a field number of its own.
std::string nested(const Nesting& n, int levels) {
  std::string s = "module name=\"M\"\nwindow label=\"$W\" {\n";
  for (int level = 1; level < levels; ++level) {
    const char* word = level == 1 ? n.first : level == levels - 1 ? n.last : n.middle;
    s += std::string(word) + " field=" + std::to_string(level) + " {\n";
  }
  s += std::string(n.leaf) + " field=" + std::to_string(levels) + "\n";
  for (int level = 1; level < levels; ++level) s += "}\n";
  return s + "}\n";
}

class NestingTest : public ::testing::TestWithParam<Nesting> {};

TEST_P(NestingTest, CompilesExactlyWhenTheReaderAcceptsTheDepth) {
  for (int levels = 3; levels <= window::kMaxNesting + 3; ++levels) {
    const std::string source = nested(GetParam(), levels);
    SourceError error;
    const auto bytes = compile(source, &error);
    EXPECT_EQ(bytes.has_value(), levels <= window::kMaxNesting) << levels << " levels: " << error.message;
    if (bytes) {
      EXPECT_TRUE(window::checkContainer(*bytes)) << levels << " levels";
      EXPECT_TRUE(dumpContainer(*bytes)) << levels << " levels";
    } else {
      EXPECT_EQ(error.line, 3 + window::kMaxNesting) << error.message;
      EXPECT_NE(error.message.find("nested deeper than 32 levels"), std::string::npos) << error.message;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, NestingTest, ::testing::ValuesIn(kNestings), [](const auto& p) { return std::string(p.param.name); });

TEST(NestingTest, AHostileDepthStopsAtTheFirstLevelTooDeep) {
  std::string source = "module name=\"M\"\nwindow {\n";
  for (int i = 0; i < 20000; ++i) source += "group {\n";
  for (int i = 0; i < 20000; ++i) source += "}\n";
  source += "}\n";
  SourceError error;
  EXPECT_FALSE(compile(source, &error));
  EXPECT_EQ(error.line, 3 + window::kMaxNesting);
}

// Two records carrying field numbers, placed anywhere in one or two windows.
struct FieldPair {
  const char* name;
  const char* source;
  int line;  // of the refusal; 0 when the source is fine
};

void PrintTo(const FieldPair& p, std::ostream* out) { *out << p.name; }

class FieldNumberTest : public ::testing::TestWithParam<FieldPair> {};

TEST_P(FieldNumberTest, IsUniqueInItsWindow) {
  const FieldPair& c = GetParam();
  SourceError error;
  const auto bytes = compile(std::string("module name=\"M\"\n") + c.source, &error);
  if (c.line == 0) {
    ASSERT_TRUE(bytes) << error.line << ": " << error.message;
    EXPECT_TRUE(window::checkContainer(*bytes));
  } else {
    ASSERT_FALSE(bytes);
    EXPECT_EQ(error.line, c.line) << error.message;
    EXPECT_NE(error.message.find("is used on line"), std::string::npos) << error.message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Placements, FieldNumberTest,
    ::testing::Values(FieldPair{"TwoControls", "window {\nbutton field=5\nentry field=5\n}\n", 4},
                      FieldPair{"ControlAndMenuItem", "window {\nmenubar {\nmenu {\nitem field=7\n}\n}\nbutton field=7\n}\n", 8},
                      FieldPair{"InsideAGroup", "window {\ngroup field=2 {\ncheck field=2\n}\n}\n", 4},
                      FieldPair{"RadiosOfOneOption", "window {\noption field=1 {\nradio field=3\nradio field=3\n}\n}\n", 5},
                      FieldPair{"NegativeNumbers", "window {\nbutton field=-4\nbutton field=-4\n}\n", 4},
                      FieldPair{"SeparatorsShareZero", "window {\nmenubar {\nmenu field=1 {\nitem\nitem\n}\n}\nbutton\nbutton\n}\n", 0},
                      FieldPair{"TwoWindows", "window {\nbutton field=5\n}\nwindow {\nbutton field=5\n}\n", 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FieldNumberTest, TheReaderRefusesADuplicateTheCompilerWouldHaveRefused) {
  auto bytes = compile("module name=\"M\"\nwindow {\nbutton field=5\nentry field=6\n}\n");
  ASSERT_TRUE(bytes);
  // The entry's field number changed to the button's.
  const auto container = window::parseContainer(*bytes);
  const window::DefinitionBuffer buffer = window::makeDefinitionBuffer(container->body);
  const window::DefinitionReader reader(buffer);
  const auto tree = window::readWindowTree(reader, *reader.firstWindow());
  const std::uint32_t entry = tree->controls[1].record.offset;
  const std::size_t bodyStart = bytes->size() - container->body.size();
  const window::RecordLayout& layout = *tree->controls[1].record.layout;
  window::storeU32(bytes->data() + bodyStart + entry - window::kBodyBias + layout.find(window::Slot::Field)->offset, 5);
  const auto checked = window::checkContainer(*bytes);
  ASSERT_FALSE(checked);
  EXPECT_EQ(checked.error().fault, window::DefinitionFault::DuplicateField);
  EXPECT_FALSE(dumpContainer(*bytes));
}

TEST(SourceTest, AStringHoldsNoNulWrittenOrEscaped) {
  for (const std::string& title : {std::string("a\\x00b"), std::string("a\0b", 3)}) {
    SourceError error;
    EXPECT_FALSE(compile("module name=\"M\"\nwindow title=\"" + title + "\"\n", &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.message.find("NUL"), std::string::npos) << error.message;
  }
}

// ---- whatever the dump accepts compiles back to the same bytes ----

std::string shipped(const char* name) {
  std::ifstream in(std::string(KESTREL_SOURCE_DIR) + "/resources/" + name + ".windef", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// True when the dump refuses the container, or prints a source that compiles to it exactly.
::testing::AssertionResult dumpIsFaithful(const Bytes& container) {
  auto dumped = dumpContainer(container);
  if (!dumped) return ::testing::AssertionSuccess();
  SourceError error;
  const auto again = compile(*dumped, &error);
  if (!again) return ::testing::AssertionFailure() << "the dump does not compile: " << error.line << ": " << error.message << "\n" << *dumped;
  if (*again != container) return ::testing::AssertionFailure() << "the dump compiles to other bytes:\n" << *dumped;
  return ::testing::AssertionSuccess();
}

class MutatedContainer : public ::testing::TestWithParam<const char*> {};

TEST_P(MutatedContainer, IsRefusedOrDumpedFaithfully) {
  const auto original = compile(shipped(GetParam()));
  ASSERT_TRUE(original) << GetParam();
  ASSERT_TRUE(dumpIsFaithful(*original));
  int refused = 0;
  for (std::size_t i = 0; i < original->size(); ++i)
    for (const std::uint8_t change : {std::uint8_t(0x01), std::uint8_t(0x80), std::uint8_t(0xFF)}) {
      Bytes damaged = *original;
      damaged[i] ^= change;
      refused += !dumpContainer(damaged);
      ASSERT_TRUE(dumpIsFaithful(damaged)) << GetParam() << ": byte " << i << " xor " << int(change);
    }
  EXPECT_GT(refused, 0);
  for (const Bytes& junk : {Bytes{0}, Bytes{0, 0, 0, 0}, Bytes{'x'}}) {
    Bytes longer = *original;
    longer.insert(longer.end(), junk.begin(), junk.end());
    EXPECT_FALSE(dumpContainer(longer)) << junk.size() << " bytes of junk";
  }
}

INSTANTIATE_TEST_SUITE_P(Resources, MutatedContainer,
                         ::testing::Values("Kestr001", "FWERROR", "FWEIP", "FWPOPUP", "FWQUERY", "FWUTIL", "ASCMEON"));

// The damage first seen to slip through, each named by the dump.
TEST(MutatedContainer, DamageTheSourceCannotSayIsNamed) {
  const auto original = compile(
      "module name=\"M\"\nwindow label=\"$W\" title=\"Title\" {\n  entry field=1 label=\"?A\" picture=\"@S9\" var=7,4\n"
      "  button field=2 label=\"?B\" text=\"OK\"\n}\n");
  ASSERT_TRUE(original);
  const auto container = window::parseContainer(*original);
  const window::DefinitionBuffer buffer = window::makeDefinitionBuffer(container->body);
  const window::DefinitionReader reader(buffer);
  const auto tree = window::readWindowTree(reader, *reader.firstWindow());
  const std::size_t bodyStart = original->size() - container->body.size();
  auto at = [&](std::uint32_t offset) { return bodyStart + offset - window::kBodyBias; };
  const window::DefinitionRecord& entry = tree->controls[0].record;
  const std::uint32_t label = window::loadU32(entry.bytes.data() + entry.layout->find(window::Slot::Label)->offset);
  const std::uint32_t binding = window::loadU32(entry.bytes.data() + entry.layout->find(window::Slot::Var)->offset);

  Bytes junk = *original;
  junk.push_back('x');
  Bytes shifted = *original;  // the label offset moved one byte into its string
  window::storeU32(shifted.data() + at(entry.offset) + entry.layout->find(window::Slot::Label)->offset, label + 1);
  Bytes runOn = *original;  // the label's NUL changed: it runs on into the next string
  runOn[at(label) + 2] = 'x';
  Bytes unnamed = *original;  // an unnamed byte of the variable binding
  unnamed[at(binding) + 5] = 0x80;

  for (const Bytes* damaged : {&junk, &shifted, &runOn, &unnamed}) {
    const auto dumped = dumpContainer(*damaged);
    ASSERT_FALSE(dumped) << *dumped;
    EXPECT_EQ(dumped.error().fault, window::DefinitionFault::NotAsWritten) << dumped.error().message;
  }
  EXPECT_NE(dumpContainer(junk).error().message.find("1 bytes follow the last definition"), std::string::npos);
  EXPECT_NE(dumpContainer(unnamed).error().message.find("offset " + window::hexText(binding + 5)), std::string::npos)
      << dumpContainer(unnamed).error().message;
}

}  // namespace
}  // namespace tamsil::tool
