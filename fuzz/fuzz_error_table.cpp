// The stored error-table reader on arbitrary bytes: it either refuses them or reads entries whose
// texts lie inside the bytes, and writing the entries again gives exactly the bytes read. The
// token expansion of every message read stays within its limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "framework/error/error_table.h"
#include "framework/error/expand_tokens.h"

using namespace tamsil::framework;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> stored(data, size);
  const auto entries = decodeErrorTable(stored);
  if (!entries) return 0;
  const auto written = encodeErrorTable(*entries);
  if (!written || written->size() != size || !std::equal(written->begin(), written->end(), data)) __builtin_trap();
  ErrorContext context;
  context.FILENAME = "%File%File";
  context.MESSAGETEXT = std::string(254, 'm');
  TokenSources sources;
  sources.procedure = "%Procedure";
  for (const ErrorDefinition& e : *entries) {
    context.ERRORBUFFER.MESSAGE = std::string(e.message);
    if (expandTokens(context, sources).size() > kExpandedTextSize) __builtin_trap();
  }
  return 0;
}
