// tamsil-rc: the rc subcommand as an executable of its own. The build compiles the window
// definitions with it, so the full tool can embed the compiled definitions without depending on
// itself.
#include <string_view>
#include <vector>

#include "tools/tamsil/command.h"

namespace tamsil::tool {
int rc(Args args);
}

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return tamsil::tool::rc(args);
}
