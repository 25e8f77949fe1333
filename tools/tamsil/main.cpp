// tamsil: the developer tool of the Tamsil runtime (window definitions, pictures, expressions).
#include <cstdio>
#include <string_view>
#include <vector>

#include "tools/tamsil/command.h"

namespace tamsil::tool {
namespace {
void printUsage(std::FILE* to) {
  std::fputs("usage: tamsil COMMAND [ARGS...]\ncommands:\n", to);
  for (const Command& c : commands()) std::fprintf(to, "  %.*s %.*s\n", int(c.name.size()), c.name.data(), int(c.usage.size()), c.usage.data());
}
}  // namespace

int help(Args) {
  printUsage(stdout);
  return 0;
}
}  // namespace tamsil::tool

int main(int argc, char** argv) {
  using namespace tamsil::tool;
  if (argc < 2) {
    printUsage(stderr);
    return 2;
  }
  std::vector<std::string_view> args(argv + 2, argv + argc);
  const std::string_view name = argv[1];
  for (const Command& c : commands())
    if (c.name == name) return c.run(args);
  std::fprintf(stderr, "tamsil: unknown command '%s'\n", argv[1]);
  printUsage(stderr);
  return 2;
}
