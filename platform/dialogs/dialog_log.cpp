#include "platform/dialogs/detail/dialog_log.h"

#include <cstdio>

#include "platform/backend.h"
#include "platform/input/script.h"

namespace platform::detail {

bool unattended() { return !backend().interactive() || script::active(); }

void logDialog(std::string_view line) {
  std::fprintf(stderr, "dialog: %.*s\n", int(line.size()), line.data());
  std::fflush(stderr);
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

}  // namespace platform::detail
