#include "platform/backend.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ascii.h"

namespace platform {

namespace {
std::unique_ptr<Backend>& installed() {
  static std::unique_ptr<Backend> b;
  return b;
}
}  // namespace

Backend& backend() {
  auto& b = installed();
  if (!b) {
    std::fputs("platform: no backend installed (start the program through platform::startPlatform)\n", stderr);
    std::abort();
  }
  return *b;
}

void installBackend(std::unique_ptr<Backend> b) { installed() = std::move(b); }

FontMetrics headlessFontMetrics(std::string_view face, int points) {
  if (ascii::equalsNoCase(face, "System")) return {8, 16};
  // A 96-dpi screen: the cell height is the em height and a fifth; the average width of the
  // letters is about 0.45 of it ("MS Sans Serif" 8 comes out as 6 by 13, as on that platform).
  const int height = int(std::lround(points * 96.0 / 72.0 * 1.2));
  return {std::max(1, int(std::lround(height * 0.45))), std::max(1, height)};
}

}  // namespace platform
