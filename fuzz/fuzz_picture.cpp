// The picture compiler on arbitrary text, then FORMAT and DEFORMAT of a few values under it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/value/deformat.h"
#include "runtime/value/format.h"
#include "runtime/value/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tamsil::CompiledPicture p = tamsil::compilePicture(text);
  if (p.count > tamsil::kMaxPositions) __builtin_trap();
  for (const char* value : {"0", "-1234.5", "0.995", "72687", "4710001", "1e400", "99999999999999999999.99"}) {
    const tamsil::FormattedText out = tamsil::format(value, p);
    if (out.size() != p.count) __builtin_trap();  // always the picture's width
    (void)tamsil::deformat(out.view(), p);
  }
  (void)tamsil::format(-0.001, p);
  (void)tamsil::format(1e300, p);
  (void)tamsil::deformat(text, p);
  return 0;
}
