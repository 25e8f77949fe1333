#include "tools/tamsil/command.h"

namespace tamsil::tool {

// Entry points, each defined in the file of its subcommand.
int help(Args);
int rc(Args);
int show(Args);

namespace {
constexpr Command kCommands[] = {
    {"help", "", help},
    {"rc", "SOURCE -o FILE | --dump FILE [-o SOURCE]", rc},
    {"show", "MODULE LABEL", show},
};
}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace tamsil::tool
