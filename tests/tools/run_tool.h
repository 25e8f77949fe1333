// Runs the developer tool as a child process and captures what it prints; shared by the tool tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace tamsil::testing {

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the tool with args without a shell, so arguments reach the tool byte for byte.
ToolResult runTool(const std::vector<std::string>& args);

}  // namespace tamsil::testing
