// Feeds arbitrary bytes to the window definition reader as a container: it must report faults,
// never read outside its input. Every window found is decoded in full, then dumped as source, so
// the dump's own walk over the records is exercised too. Two properties hold for every input:
// a container the dump accepts is exactly what compiling its dump writes, and a source the
// compiler accepts (the same bytes read as source text) gives a container the reader accepts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/window/definition_tree.h"
#include "runtime/window/definition_writer.h"
#include "tools/tamsil/rc_dump.h"
#include "tools/tamsil/rc_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamsil::window;
  const std::span<const std::uint8_t> bytes(data, size);
  if (auto container = parseContainer(bytes)) {
    const DefinitionBuffer buffer = makeDefinitionBuffer(container->body);
    const DefinitionReader reader(buffer);
    if (auto windows = reader.windowOffsets())
      for (std::uint32_t at : *windows) (void)readWindowTree(reader, at);
    (void)reader.findWindow("P1$WINDOW");
    (void)checkContainer(bytes);
  }
  if (auto dumped = tamsil::tool::dumpContainer(bytes)) {
    auto module = tamsil::tool::parseDefinitionSource(*dumped);
    if (!module) __builtin_trap();
    const std::vector<std::uint8_t> again = writeContainer(*module);
    if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) __builtin_trap();
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto module = tamsil::tool::parseDefinitionSource(text)) {
    const std::vector<std::uint8_t> written = writeContainer(*module);
    if (!checkContainer(written) || !tamsil::tool::dumpContainer(written)) __builtin_trap();
  }
  return 0;
}
