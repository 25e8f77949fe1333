// tamsil format VALUE PICTURE: FORMAT of the value under the picture, every position kept.
#include <cstdio>

#include "runtime/value/format.h"
#include "tools/tamsil/command.h"

namespace tamsil::tool {

int formatCommand(Args args) {
  if (args.size() != 2) {
    std::fputs("usage: tamsil format VALUE PICTURE\n", stderr);
    return 2;
  }
  const FormattedText text = format(args[0], compilePicture(args[1]));
  std::fwrite(text.view().data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace tamsil::tool
