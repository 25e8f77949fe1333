// The settings file reader on arbitrary bytes, and the locale built from what it read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/value/locale.h"
#include "runtime/value/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tamsil::Settings s = tamsil::parseSettings(text);
  const tamsil::IntlReader intl = [](const char*, const char* def) { return std::string(def); };
  const tamsil::LocaleData l = tamsil::buildLocale(intl, s, 2008);
  (void)tamsil::collatingCompare(l, text.substr(0, size / 2), text.substr(size / 2));
  return 0;
}
