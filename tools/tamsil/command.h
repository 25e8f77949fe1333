// The developer tool's subcommands: one table from name to entry point.
#pragma once

#include <span>
#include <string_view>

namespace tamsil::tool {

using Args = std::span<const std::string_view>;

struct Command {
  std::string_view name;
  std::string_view usage;  // arguments after the name, for the help text
  int (*run)(Args args);   // returns the process exit code
};

std::span<const Command> commands();

}  // namespace tamsil::tool
