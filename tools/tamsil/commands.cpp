#include "tools/tamsil/command.h"

namespace tamsil::tool {

// Entry points, each defined in the file of its subcommand.
int help(Args);
int rc(Args);
int show(Args);
int formatCommand(Args);
int deformatCommand(Args);
int evalCommand(Args);
int sqlCommand(Args);
int oleCommand(Args);
int asciiCommand(Args);

namespace {
constexpr Command kCommands[] = {
    {"help", "", help},
    {"rc", "SOURCE -o FILE | --dump FILE [-o SOURCE]", rc},
    {"show", "MODULE LABEL", show},
    {"format", "VALUE PICTURE", formatCommand},
    {"deformat", "TEXT [PICTURE]", deformatCommand},
    {"eval", "[--bind NAME=VALUE]... EXPRESSION", evalCommand},
    {"sql", "[--bind NAME=VALUE]... [--sort] EXPRESSION", sqlCommand},
    {"ole", "PROGID [FILE]", oleCommand},
    {"ascii", "cat|append|count [--driver STRING] [--record N] FILE", asciiCommand},
};
}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace tamsil::tool
