// Scripted runs: bad scripts are refused with the line at fault, and a whole run of the example
// program on the headless backend ends by itself with the dialogs written to stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/input/script.h"
#include "tests/tools/run_tool.h"

namespace platform::testing {
namespace {

struct BadScript {
  const char* text;
  const char* error;
};

class BadScriptTest : public ::testing::TestWithParam<BadScript> {};

TEST_P(BadScriptTest, IsRefusedWithItsLineNumber) {
  const auto r = script::parse(GetParam().text, "s.txt");
  ASSERT_EQ(r.errors.size(), 1u) << GetParam().text;
  EXPECT_EQ(r.errors[0], GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, BadScriptTest,
    ::testing::Values(BadScript{"press OK\nfly away\n", "s.txt:2: unknown command 'fly'"},
                      BadScript{"# comment\n\nmove 10\n", "s.txt:3: wrong arguments for 'move': move X Y"},
                      BadScript{"resize ten 20\n", "s.txt:1: 'resize' needs two whole numbers"},
                      BadScript{"key Hyper+Q\n", "s.txt:1: unknown key 'Hyper+Q'"},
                      BadScript{"key F99999999999\n", "s.txt:1: unknown key 'F99999999999'"},
                      BadScript{"type\n", "s.txt:1: 'type' needs an argument: type TEXT"},
                      BadScript{"wait soon\n", "s.txt:1: 'wait' needs a number of milliseconds"},
                      BadScript{"wait 60001\n", "s.txt:1: 'wait' takes at most 60000 milliseconds"},
                      BadScript{"wait 2147483647\n", "s.txt:1: 'wait' takes at most 60000 milliseconds"},
                      BadScript{"wait 2147483648\n", "s.txt:1: 'wait' needs a number of milliseconds"},
                      BadScript{"answer file /no/such/book.xls\n", "s.txt:1: answer file: no such file '/no/such/book.xls'"},
                      BadScript{"answer print maybe\n", "s.txt:1: answer print takes ok or cancel"},
                      BadScript{"answer fax 12\n", "s.txt:1: unknown dialog 'fax' for 'answer' (file, save, message or print)"}));

TEST(ScriptParseTest, ReadsMenuPathsKeysAndPathsWithBlanks) {
  const auto r = script::parse("menu File > Load Excel Book\nkey Ctrl+Shift+F4\nanswer save /tmp/a b.xlsx\n", "s");
  ASSERT_TRUE(r.errors.empty());
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0].args, (std::vector<std::string>{"File", "Load Excel Book"}));
  EXPECT_EQ(r.lines[1].args, (std::vector<std::string>{"Ctrl+Shift+F4"}));
  EXPECT_EQ(r.lines[2].args, (std::vector<std::string>{"save", "/tmp/a b.xlsx"}));
}

TEST(ScriptParseTest, TheLongestWaitIsAccepted) {
  const auto r = script::parse("wait 60000\nwait 0\n", "s");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.lines.size(), 2u);
}

// Whatever byte a line holds, its error is one whole line of printable text: a NUL or another
// control character is shown escaped, never cutting the message short.
TEST(ScriptParseTest, ErrorsShowEveryByteOfTheLine) {
  EXPECT_EQ(script::parse(std::string("fl\0y\n", 5), "s").errors, std::vector<std::string>{"s:1: unknown command 'fl\\0y'"});
  EXPECT_EQ(script::parse("key Ctrl+\x1b\n", "s").errors, std::vector<std::string>{"s:1: unknown key 'Ctrl+\\x1B'"});
  const char* const kLines[] = {"fl?y", "answer file /no/such?book", "key Ctrl+?", "answer fa?x 1", "move ? 2"};
  for (int byte = 0; byte < 256; ++byte) {
    if (byte == '\n') continue;  // ends the line
    for (std::string line : kLines) {
      line[line.find('?')] = char(byte);
      for (const std::string& error : script::parse(line + "\n", "s").errors) {
        EXPECT_EQ(error.rfind("s:1: ", 0), 0u) << error;
        for (const char c : error) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) << "byte " << byte << " in " << error;
      }
    }
  }
}

// Menu and control texts are named as a person reads them: whatever marks, accelerator, dots
// and blanks the shown text carries, and whichever of the dots the script line writes.
TEST(ScriptParseTest, ItemsAreNamedWithoutMarksAcceleratorsAndDots) {
  const char* const kNames[] = {"Print Setup", "Open", "Save As", "E", "Load Excel Book"};
  const char* const kShown[] = {"%s", "&%s", "%s...", "%s ...", "&%s ...", "%s ...\tCtrl+P", "  %s\t F2", " &%s...  ", "%s ... "};
  const char* const kWritten[] = {"%s", "%s...", "%s ...", " %s "};
  auto fill = [](const char* pattern, const std::string& name) {
    std::string out = pattern;
    out.replace(out.find("%s"), 2, name);
    return out;
  };
  for (std::string name : kNames) {
    for (const char* shown : kShown) {
      for (const char* written : kWritten)
        EXPECT_EQ(script::visibleText(fill(shown, name)), script::visibleText(fill(written, name))) << fill(shown, name) << " | " << written;
    }
  }
  EXPECT_EQ(script::visibleText("&Print Setup ..."), "Print Setup");
  EXPECT_EQ(script::visibleText("Fish && Chips"), "Fish & Chips");
  EXPECT_EQ(script::visibleText("..."), "...");
}

class ExampleRunTest : public ::testing::Test {
 protected:
  tamsil::testing::ToolResult run(const std::string& scriptText, const std::string& log = "") {
    // CTest runs cases in parallel processes: each needs a folder of its own.
    const auto dir = std::filesystem::temp_directory_path() / ("platform-example-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "run.script";
    std::ofstream(path) << scriptText;
    return tamsil::testing::runProcess(EXAMPLE_PROGRAM, {},
                                       {"TAMSIL_PLATFORM=headless", "TAMSIL_SCRIPT=" + path.string(), "EXAMPLE_LOG=" + log});
  }
};

TEST_F(ExampleRunTest, RunEndsByItselfWithDialogsOnStderr) {
  // Enter in the entry adds to the list, so closing asks first; the answer is queued before.
  const auto r = run("type milk\nkey Enter\nmenu Help > About\nkey Enter\nanswer message Yes\nclose\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("dialog: message box \"About\" \"Platform example\\nA window, a menu and some controls.\" -> \"OK\""), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("dialog: message box \"Close\" \"The list is not empty. Close anyway?\" -> \"Yes\""), std::string::npos) << r.err;
}

TEST_F(ExampleRunTest, ErrorsNameTheLineAndNothingHangs) {
  const auto bad = run("press OK\nexplode\n");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("run.script:2: unknown command 'explode'"), std::string::npos) << bad.err;

  const auto missing = run("press Nothing Here\n");
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("run.script:1: no control 'Nothing Here' on window 'Platform example'; the script stops here"), std::string::npos)
      << missing.err;
}

TEST_F(ExampleRunTest, RunTimeErrorsShowEveryByteOfTheLine) {
  const auto r = run(std::string("press No\0Such\n", 13));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("run.script:1: no control 'No\\0Such' on window 'Platform example'; the script stops here"), std::string::npos) << r.err;
}

TEST_F(ExampleRunTest, WindowThatRefusesToCloseEndsTheRunWithAnError) {
  const auto r = run("type bread\npress Add\n");  // the list is not empty, closing asks, No is the default
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("script: window 'Platform example' does not close; ending the run"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace platform::testing
