#include "tools/tamsil/command.h"

namespace tamsil::tool {

// Entry points, each defined in the file of its subcommand.
int help(Args);
int formatCommand(Args);
int deformatCommand(Args);

namespace {
constexpr Command kCommands[] = {
    {"help", "", help},
    {"format", "VALUE PICTURE", formatCommand},
    {"deformat", "TEXT [PICTURE]", deformatCommand},
};
}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace tamsil::tool
