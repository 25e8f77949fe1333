// DEFORMAT of arbitrary text, without a picture and under pictures of every kind; FORMAT of the
// same text read as a value.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/value/deformat.h"
#include "runtime/value/format.h"
#include "runtime/value/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tamsil::CompiledPicture pictures[] = {
      tamsil::compilePicture("@N-12.2"),          tamsil::compilePicture("@N$(15`3)"), tamsil::compilePicture("@N_9v2"),
      tamsil::compilePicture("@E14.3"),           tamsil::compilePicture("@D1"),       tamsil::compilePicture("@D4"),
      tamsil::compilePicture("@D14>10"),          tamsil::compilePicture("@T6"),       tamsil::compilePicture("@T4."),
      tamsil::compilePicture("@P(<##)###-####P"), tamsil::compilePicture("@K@^_?|#K"), tamsil::compilePicture("@S20"),
  };
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)tamsil::deformat(text);
  for (const tamsil::CompiledPicture& p : pictures) {
    (void)tamsil::deformat(text, p);
    if (tamsil::format(text, p).size() != p.count) __builtin_trap();
  }
  return 0;
}
