// Feeds arbitrary bytes to the window definition reader as a container: it must report faults,
// never read outside its input. Every window found is decoded in full, then dumped as source, so
// the dump's own walk over the records is exercised too.
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/window/definition_tree.h"
#include "tools/tamsil/rc_dump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamsil::window;
  const std::span<const std::uint8_t> bytes(data, size);
  auto container = parseContainer(bytes);
  if (!container) return 0;
  const std::vector<std::uint8_t> buffer = makeDefinitionBuffer(container->body);
  const DefinitionReader reader(buffer);
  if (auto windows = reader.windowOffsets())
    for (std::uint32_t at : *windows) (void)readWindowTree(reader, at);
  (void)reader.findWindow("P1$WINDOW");
  (void)checkContainer(bytes);
  (void)tamsil::tool::dumpContainer(bytes);
  return 0;
}
