// tamsil rc: compiles a window definition source into its binary container, or prints a compiled
// container back as source (--dump). The build runs it for every file in resources/.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "runtime/window/definition_writer.h"
#include "tools/tamsil/command.h"
#include "tools/tamsil/rc_dump.h"
#include "tools/tamsil/rc_source.h"

namespace tamsil::tool {
namespace {

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes through a temporary file and a rename, so a failed run never leaves half a container.
bool writeFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush()) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

int usage() {
  std::fputs("usage: tamsil rc SOURCE -o FILE\n       tamsil rc --dump FILE [-o SOURCE]\n", stderr);
  return 2;
}

int fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return 1;
}

int emit(const std::string& output, std::string_view bytes) {
  if (output.empty()) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return 0;
  }
  return writeFile(output, bytes) ? 0 : fail("tamsil rc: cannot write " + output);
}

}  // namespace

int rc(Args args) {
  bool dump = false;
  std::string input, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dump") dump = true;
    else if (args[i] == "-o" && i + 1 < args.size()) output = std::string(args[++i]);
    else if (input.empty() && !args[i].starts_with("-")) input = std::string(args[i]);
    else return usage();
  }
  if (input.empty() || (!dump && output.empty())) return usage();
  const std::optional<std::string> text = readFile(input);
  if (!text) return fail("tamsil rc: cannot read " + input);

  if (dump) {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text->data()), text->size());
    auto source = dumpContainer(bytes);
    if (!source) return fail(input + ": " + source.error().message);
    return emit(output, *source);
  }
  auto module = parseDefinitionSource(*text);
  if (!module) return fail(input + ":" + std::to_string(module.error().line) + ": " + module.error().message);
  const std::vector<std::uint8_t> container = window::writeContainer(*module);
  return emit(output, {reinterpret_cast<const char*>(container.data()), container.size()});
}

}  // namespace tamsil::tool
