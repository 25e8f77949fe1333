// `tamsil ascii` through the built tool: cat, count and append with driver strings, errors and
// usage, and four processes appending to one shared file at once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

class AsciiToolTest : public ::testing::Test {
 protected:
  AsciiToolTest() : dir_(std::filesystem::temp_directory_path() / ("kestrel-ascii-tool-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
  }
  ~AsciiToolTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string write(const std::string& name, const std::string& content) {
    const std::string p = (dir_ / name).string();
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Runs a shell line with $TAMSIL naming the tool.
  static ToolResult shell(const std::string& line) { return runProcess("/bin/sh", {"-c", line}, {std::string("TAMSIL=") + TAMSIL_TOOL_PATH}); }

  std::filesystem::path dir_;
};

TEST_F(AsciiToolTest, CatAndCountReadRecordsAsNextDoes) {
  const std::string file = write("in.txt", "a\tb\r\nlong line here\r\ntrailing   \r\n\x1Ahidden\r\n");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"ascii", "cat", file}, "a       b\nlong line here\ntrailing\n"},
      {{"ascii", "cat", "--driver", "/TAB=0 /CTRLZISEOF=OFF", "--record", "4", file}, "ab\nlong\ntrai\n\x1Ahid\n"},
      {{"ascii", "count", file}, "3\n"},
      {{"ascii", "count", "--driver", "/ctrlziseof=off", file}, "4\n"},
  };
  for (const auto& c : cases) {
    const ToolResult r = runTool(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.back();
  }
}

TEST_F(AsciiToolTest, AppendAddsEachLineOfInput) {
  const std::string file = write("out.txt", "first\r\n\x1A");
  const ToolResult r = shell("printf 'one  \\ntwo\\r\\n\\nthree\\n' | \"$TAMSIL\" ascii append " + file);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(read(file), "first\r\none\r\ntwo\r\n\r\nthree\r\n");
  const ToolResult lf = shell("printf 'x\\n' | \"$TAMSIL\" ascii append --driver '/ENDOFRECORD=1,10 /CLIP=OFF' --record 3 " + file);
  EXPECT_EQ(lf.exitCode, 0) << lf.err;
  EXPECT_EQ(read(file), "first\r\none\r\ntwo\r\n\r\nthree\r\nx  \n");
}

TEST_F(AsciiToolTest, ErrorsAndUsage) {
  const ToolResult missing = runTool({"ascii", "cat", (dir_ / "missing.txt").string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("error 2: File Not Found"), std::string::npos) << missing.err;
  const ToolResult folder = runTool({"ascii", "count", dir_.string()});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_NE(folder.err.find("error 36: Invalid Data File"), std::string::npos) << folder.err;
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"ascii"}, {"ascii", "cat"}, {"ascii", "grep", "f"}, {"ascii", "cat", "--record", "0", "f"}, {"ascii", "cat", "f", "g"}}) {
    const ToolResult r = runTool(bad);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: tamsil ascii"), std::string::npos);
  }
}

TEST_F(AsciiToolTest, FourProcessesAppendingToOneFileLoseAndInterleaveNothing) {
  constexpr int kProcesses = 4, kLines = 10'000;
  std::string command;
  for (int p = 0; p < kProcesses; ++p) {
    std::string lines;
    for (int i = 0; i < kLines; ++i) {
      const std::string tag = "p" + std::to_string(p) + "-" + std::to_string(i);
      lines += tag + " " + std::string(60, char('a' + p)) + " " + tag + "\n";
    }
    // Every process is started before the input flows, so the four really write at once.
    command +=
        "(sleep 0.5; cat " + write("in" + std::to_string(p), lines) + ") | \"$TAMSIL\" ascii append " + (dir_ / "shared.txt").string() + " & ";
  }
  write("shared.txt", "");
  const ToolResult r = shell(command + "wait");
  ASSERT_EQ(r.exitCode, 0) << r.err;

  std::istringstream in(read((dir_ / "shared.txt").string()));
  std::map<std::string, int> seen;
  int lines = 0;
  for (std::string line; std::getline(in, line); ++lines) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << line;
    line.pop_back();
    // A whole line: the same tag at both ends, one process's letters between.
    const std::string tag = line.substr(0, line.find(' '));
    ASSERT_GE(tag.size(), 4u) << line;
    const char letter = char('a' + (tag[1] - '0'));
    ASSERT_EQ(line, tag + " " + std::string(60, letter) + " " + tag);
    ++seen[tag];
  }
  EXPECT_EQ(lines, kProcesses * kLines);
  EXPECT_EQ(seen.size(), std::size_t(kProcesses * kLines));
  const ToolResult count = runTool({"ascii", "count", (dir_ / "shared.txt").string()});
  EXPECT_EQ(count.out, std::to_string(kProcesses * kLines) + "\n");
}

}  // namespace
}  // namespace tamsil::testing
