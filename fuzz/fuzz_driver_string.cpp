// The ASCII driver string with arbitrary text: parsing, applying every switch, the builder's
// check, and the string the builder writes back, which must give the same settings again.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/file/ascii_switches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamsil::file;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  AsciiSwitches settings;
  for (const Switch& s : parseDriverString(text)) {
    const auto previous = applySwitch(s, settings);
    if (s.which() != SwitchName::Unknown && !previous) __builtin_trap();
  }
  (void)driverStringProblems(text);
  if (settings.delimiter.empty() || settings.delimiter.size() > kMaxDelimiterLength) __builtin_trap();
  // Buffer sizes the builder writes back as whole blocks come back unchanged.
  if (settings.bufferBytes % kBufferBlock == 0 && settings.bufferBytes <= bufferBytesFor(8'388'607)) {
    const std::string again = composeDriverString(settings);
    if (!driverStringProblems(again).empty()) __builtin_trap();
    AsciiSwitches reread;
    for (const Switch& s : parseDriverString(again)) applySwitch(s, reread);
    if (reread.bufferBytes != settings.bufferBytes || reread.clip != settings.clip || reread.quickScan != settings.quickScan ||
        reread.ctrlZIsEof != settings.ctrlZIsEof || reread.delimiter != settings.delimiter || reread.tab != settings.tab)
      __builtin_trap();
  }
  return 0;
}
