// tamsil deformat TEXT [PICTURE]: DEFORMAT of the text, without a picture when none is given.
#include <cstdio>

#include "runtime/value/deformat.h"
#include "tools/tamsil/command.h"

namespace tamsil::tool {

int deformatCommand(Args args) {
  if (args.empty() || args.size() > 2) {
    std::fputs("usage: tamsil deformat TEXT [PICTURE]\n", stderr);
    return 2;
  }
  const std::string value = args.size() == 2 ? deformat(args[0], compilePicture(args[1])) : deformat(args[0]);
  std::fwrite(value.data(), 1, value.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace tamsil::tool
