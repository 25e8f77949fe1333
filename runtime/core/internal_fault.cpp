#include "runtime/core/internal_fault.h"

#include <cstdio>
#include <cstdlib>

namespace tamsil {

void internalFault(std::string_view what) {
  std::fprintf(stderr, "Tamsil internal fault: %.*s\n", int(what.size()), what.data());
  std::fflush(stderr);
  std::abort();
}

}  // namespace tamsil
