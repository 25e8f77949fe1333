// DEFORMAT of arbitrary text, without a picture and under pictures of every kind; FORMAT of the
// same text read as a value. Whatever FORMAT shows of that value reads back as a value that shows
// the same (the round trip), unless the field overflowed, shows no digit, or is blank when zero.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/value/deformat.h"
#include "runtime/value/format.h"
#include "runtime/value/picture.h"

namespace {

bool showsAValue(std::string_view shown) {
  return shown.find('#') == std::string_view::npos && shown.find_first_of("0123456789") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tamsil::CompiledPicture pictures[] = {
      tamsil::compilePicture("@N-12.2"),   tamsil::compilePicture("@N$(15`3)"),
      tamsil::compilePicture("@N_9v2"),    tamsil::compilePicture("@E14.3"),
      tamsil::compilePicture("@D1"),       tamsil::compilePicture("@D4"),
      tamsil::compilePicture("@D14>10"),   tamsil::compilePicture("@T6"),
      tamsil::compilePicture("@T4."),      tamsil::compilePicture("@P(<##)###-####P"),
      tamsil::compilePicture("@K@^_?|#K"), tamsil::compilePicture("@S20"),
      tamsil::compilePicture("@N*9.2"),    tamsil::compilePicture("@N-9.3B"),
      tamsil::compilePicture("@N7v"),      tamsil::compilePicture("@D*2"),
      tamsil::compilePicture("@D_6-"),     tamsil::compilePicture("@T*5"),
  };
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)tamsil::deformat(text);
  for (const tamsil::CompiledPicture& p : pictures) {
    (void)tamsil::deformat(text, p);
    const tamsil::FormattedText shown = tamsil::format(text, p);
    if (shown.size() != p.count) __builtin_trap();
    if (p.kind == tamsil::PictureKind::kString || p.kind == tamsil::PictureKind::kKeyIn || !showsAValue(shown.view())) continue;
    const std::string back = tamsil::deformat(shown.view(), p);
    if (p.blankWhenZero && tamsil::format(back, tamsil::compilePicture("@N-20.4")).view().find_first_of("123456789") == std::string::npos)
      continue;
    if (tamsil::format(back, p).view() != shown.view()) __builtin_trap();
  }
  return 0;
}
