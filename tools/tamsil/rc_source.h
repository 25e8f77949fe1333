// The text source format of window definitions (docs/window-definitions.md): one file per module,
// one statement per line, records nested with braces. Parsing yields the writer's description of
// the module; any mistake is reported with its line so a definition author can fix it at once.
#pragma once

#include <string>
#include <string_view>

#include "runtime/window/definition_result.h"
#include "runtime/window/definition_writer.h"

namespace tamsil::tool {

struct SourceError {
  int line = 0;
  std::string message;
};

window::Result<window::ModuleDef, SourceError> parseDefinitionSource(std::string_view text);

}  // namespace tamsil::tool
