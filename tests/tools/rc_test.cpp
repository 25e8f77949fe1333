// tamsil rc as its users run it: every shipped source survives compile -> dump -> compile byte for
// byte, mistakes in a source are reported as FILE:LINE: message with exit code 1.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

std::string temp(const std::string& name) { return ::testing::TempDir() + "rc_test_" + name; }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Compiles, dumps and compiles again; returns the dumped text.
std::string roundTrip(const std::string& source, const std::string& tag) {
  const std::string first = temp(tag + ".1.bin"), dumped = temp(tag + ".windef"), second = temp(tag + ".2.bin");
  ToolResult r = runTool({"rc", source, "-o", first});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = runTool({"rc", "--dump", first, "-o", dumped});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = runTool({"rc", dumped, "-o", second});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(slurp(first).empty());
  EXPECT_EQ(slurp(first), slurp(second)) << "dump of " << source << " does not compile to the same bytes";
  return slurp(dumped);
}

class ShippedSource : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedSource, SurvivesDumpAndRecompile) {
  roundTrip(std::string(KESTREL_SOURCE_DIR) + "/resources/" + GetParam() + ".windef", GetParam());
}

INSTANTIATE_TEST_SUITE_P(Resources, ShippedSource,
                         ::testing::Values("Kestr001", "FWERROR", "FWEIP", "FWPOPUP", "FWQUERY", "FWUTIL", "ASCMEON"));

TEST(RcTool, UnnamedBytesSurviveAsRawStatements) {
  const std::string source = temp("raw.windef");
  write(source,
        "module name=\"M\"\n"
        "window label=\"$W\" {\n"
        "  list field=1 {\n"
        "    raw at=0x69 bytes=0,0,0,0\n"  // clears the fill word a list normally carries
        "  }\n"
        "  button field=2 text=\"tab\\there \\\"q\\\" \\xE9\" {\n"
        "    raw at=0x50 bytes=1,2,0xFF\n"
        "  }\n"
        "}\n");
  const std::string dumped = roundTrip(source, "raw");
  EXPECT_NE(dumped.find("raw at=0x69 bytes=0x0,0x0,0x0,0x0"), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("raw at=0x50 bytes=0x1,0x2,0xFF"), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("text=\"tab\\x09here \\\"q\\\" \\xE9\""), std::string::npos) << dumped;
}

struct BadSource {
  const char* name;
  const char* text;
  int line;
  const char* message;
};

class BadSourceTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadSourceTest, IsReportedWithItsLine) {
  const BadSource& b = GetParam();
  const std::string source = temp(std::string(b.name) + ".windef");
  write(source, b.text);
  const ToolResult r = runTool({"rc", source, "-o", temp("bad.bin")});
  EXPECT_EQ(r.exitCode, 1);
  const std::string prefix = source + ":" + std::to_string(b.line) + ": ";
  EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
  EXPECT_NE(r.err.find(b.message), std::string::npos) << r.err;
}

#define M "module name=\"M\"\n"
INSTANTIATE_TEST_SUITE_P(
    Errors, BadSourceTest,
    ::testing::Values(BadSource{"NoModule", "window label=\"$W\"\n", 1, "module name="},
                      BadSource{"SecondModule", M M, 2, "module is given twice"},
                      BadSource{"UnknownStatement", M "widget field=1\n", 2, "unknown statement 'widget'"},
                      BadSource{"ControlOutsideWindow", M "button field=1\n", 2, "must stand inside a window"},
                      BadSource{"WindowInsideWindow", M "window {\n window\n}\n", 3, "cannot stand inside"},
                      BadSource{"PropertyOfAnotherKind", M "window {\n  ole text=\"x\"\n}\n", 3, "'text' does not apply to a ole"},
                      BadSource{"PropertyTwice", M "window title=\"a\" title=\"b\"\n", 2, "given twice"},
                      BadSource{"NumberTooLarge", M "window attributes=0x100000000\n", 2, "is not a number"},
                      BadSource{"FieldOutOfRange", M "window {\n  button field=3000000000\n}\n", 3, "out of range"},
                      BadSource{"PosNeedsFour", M "window pos=1,2,3\n", 2, "takes 4 numbers"},
                      BadSource{"UnterminatedString", M "window title=\"abc\n", 2, "not terminated"},
                      BadSource{"NulInString", M "window title=\"a\\x00b\"\n", 2, "NUL"},
                      BadSource{"UnknownEscape", M "window title=\"a\\qb\"\n", 2, "unknown escape"},
                      BadSource{"StrayBrace", M "}\n", 2, "without an open record"},
                      BadSource{"UnclosedBrace", M "window {\n  button\n", 2, "never closed"},
                      BadSource{"ChildrenOfAButton", M "window {\n  button {\n    button\n  }\n}\n", 4, "cannot contain"},
                      BadSource{"TwoMenuBars", M "window {\n  menubar\n  menubar\n}\n", 4, "has a menubar already"},
                      BadSource{"MenuBarInGroup", M "window {\n  group {\n    menubar\n  }\n}\n", 4, "directly inside a window"},
                      BadSource{"FontWithoutSize", M "window {\n  font face=\"Arial\"\n}\n", 3, "size="},
                      BadSource{"FontOnALine", M "window {\n  line {\n    font face=\"A\" size=1\n  }\n}\n", 4, "has no font"},
                      BadSource{"RawOverField", M "window {\n  button {\n    raw at=0x0D bytes=1\n  }\n}\n", 4, "overlap"},
                      BadSource{"RawPastRecord", M "window {\n  button {\n    raw at=95 bytes=1,2\n  }\n}\n", 4, "outside"}),
    [](const auto& p) { return std::string(p.param.name); });
#undef M

TEST(RcTool, DumpOfADamagedContainerFailsClearly) {
  const std::string file = temp("damaged.bin");
  write(file, std::string("M\0\x40\0\0\0", 6));
  const ToolResult r = runTool({"rc", "--dump", file});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind(file + ": ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("outside the definition body"), std::string::npos) << r.err;
}

TEST(RcTool, UsageMistakesExitWithTwo) {
  EXPECT_EQ(runTool({"rc"}).exitCode, 2);
  EXPECT_EQ(runTool({"rc", "x.windef"}).exitCode, 2) << "compiling needs -o";
  EXPECT_EQ(runTool({"rc", "a", "b", "-o", "c"}).exitCode, 2);
  EXPECT_EQ(runTool({"rc", "/no/such/file", "-o", temp("x")}).exitCode, 1);
}

}  // namespace
}  // namespace tamsil::testing
