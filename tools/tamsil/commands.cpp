#include "tools/tamsil/command.h"

namespace tamsil::tool {

// Entry points, each defined in the file of its subcommand.
int help(Args);

namespace {
constexpr Command kCommands[] = {
    {"help", "", help},
};
}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace tamsil::tool
