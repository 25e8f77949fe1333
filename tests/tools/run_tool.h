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

// Runs a program without a shell, so arguments arrive byte for byte; env entries "NAME=VALUE"
// are added to the child's environment ("NAME=" with nothing after removes NAME).
ToolResult runProcess(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// Runs the developer tool with args.
ToolResult runTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

}  // namespace tamsil::testing
