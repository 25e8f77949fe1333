#include "runtime/window/definition_lookup.h"

#include <optional>
#include <vector>

namespace tamsil::window {
namespace {

// The definition buffer and its lock: process-wide, as only one definition is loaded at a time.
std::mutex& definitionLock() {
  static std::mutex m;
  return m;
}
DefinitionBuffer& definitionBuffer() {
  static DefinitionBuffer buffer;
  return buffer;
}
thread_local bool tHoldsDefinition = false;

WindowLayerError dialogError(std::string reason) { return {RuntimeError::InternalNotFound, kDetailDialog, std::move(reason)}; }

std::span<const std::uint8_t> resourceBytes(platform::HMODULE module, const std::string& name) {
  platform::HRSRC res = platform::FindResourceA(module, name.c_str(), std::string(kResourceType).c_str());
  if (res == nullptr) return {};
  const void* data = platform::LockResource(platform::LoadResource(module, res));
  if (data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), platform::SizeofResource(module, res)};
}

}  // namespace

std::string resourceNameFor(std::string_view moduleName) {
  const std::size_t dollar = moduleName.find('$');
  const std::string_view base = dollar == std::string_view::npos ? moduleName : moduleName.substr(dollar + 1);
  return std::string(base) + std::string(kResourceSuffix);
}

void LoadedDefinition::release() {
  if (!lock_.owns_lock()) return;
  DefinitionBuffer().swap(definitionBuffer());
  tHoldsDefinition = false;
  lock_.unlock();
}

Result<LoadedDefinition, WindowLayerError> FindWindowDefinition(std::string_view moduleName, std::string_view label,
                                                                std::span<const platform::HMODULE> modules) {
  const std::string where = "window \"" + std::string(label) + "\" of module \"" + std::string(moduleName) + "\"";
  if (tHoldsDefinition) return dialogError(where + ": this thread has not released its previous definition");
  std::vector<platform::HMODULE> all;
  if (modules.empty()) {
    all = platform::RegisteredModules();
    modules = all;
  }
  const std::string resourceName = resourceNameFor(moduleName);
  std::unique_lock lock(definitionLock());
  std::optional<std::string> corruption;  // reported when no module has the window
  for (platform::HMODULE module : modules) {
    const std::span<const std::uint8_t> bytes = resourceBytes(module, resourceName);
    if (bytes.empty()) continue;
    auto container = parseContainer(bytes);
    if (!container) {
      corruption = resourceName + ": " + container.error().message;
      continue;
    }
    if (!sameName(container->moduleName, moduleName)) continue;
    DefinitionBuffer& buffer = definitionBuffer();
    buffer = makeDefinitionBuffer(container->body);
    const DefinitionReader reader(buffer);
    auto found = reader.findWindow(label);
    if (!found) {
      if (found.error().fault != DefinitionFault::LabelNotFound) corruption = resourceName + ": " + found.error().message;
      continue;
    }
    auto tree = readWindowTree(reader, *found);
    if (!tree) {
      DefinitionBuffer().swap(buffer);
      return dialogError(where + ": " + tree.error().message);
    }
    tHoldsDefinition = true;
    return LoadedDefinition(std::move(lock), reader, std::move(tree).value(), module);
  }
  DefinitionBuffer().swap(definitionBuffer());
  if (corruption) return dialogError(where + " not found; " + *corruption);
  return dialogError(where + " not found");
}

}  // namespace tamsil::window
