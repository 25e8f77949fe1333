// Finding a window's stored definition at run time. Each module's container is a resource of type
// DABDUMP named after the module; the window is found in it by label, and the module's body is
// copied into the one process-wide definition buffer, where offsets are buffer positions. The
// buffer is guarded by the definition lock, held from a successful lookup until the definition is
// released, so one window is built completely before any thread loads another definition.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "platform/system/resource.h"
#include "runtime/core/runtime_error.h"
#include "runtime/window/definition_reader.h"
#include "runtime/window/definition_result.h"
#include "runtime/window/definition_tree.h"

namespace tamsil::window {

// An internal error of the window layer: its number, its detail word and, for logs and tests,
// what exactly went wrong. The runtime error report shows number and detail.
struct WindowLayerError {
  RuntimeError number = RuntimeError::InternalNotFound;
  std::string_view detail;
  std::string reason;
};
constexpr std::string_view kDetailDialog = "WSLDIAL";

// The resource name of a module: the part after its first "$" (all of it without one), then
// "_RSC". "Kestrel24$Kestr001" gives "Kestr001_RSC"; resource names compare without case.
std::string resourceNameFor(std::string_view moduleName);

// A found window in the locked definition buffer. Releasing it (explicitly, or by destruction)
// frees the buffer and gives up the definition lock; this is the step that follows building the
// window. Release it on the thread that found it: the lock belongs to that thread.
class LoadedDefinition {
 public:
  LoadedDefinition(LoadedDefinition&&) noexcept = default;
  LoadedDefinition& operator=(LoadedDefinition&&) = delete;
  ~LoadedDefinition() { release(); }

  std::uint32_t window() const { return tree_.window.offset; }  // definition offset
  const WindowTree& tree() const { return tree_; }
  const DefinitionReader& reader() const { return reader_; }
  platform::HMODULE module() const { return module_; }  // the window's resource module
  bool held() const { return lock_.owns_lock(); }
  void release();

 private:
  friend Result<LoadedDefinition, WindowLayerError> FindWindowDefinition(std::string_view, std::string_view,
                                                                         std::span<const platform::HMODULE>);
  LoadedDefinition(std::unique_lock<std::mutex> lock, DefinitionReader reader, WindowTree tree, platform::HMODULE module)
      : lock_(std::move(lock)), reader_(reader), tree_(std::move(tree)), module_(module) {}

  std::unique_lock<std::mutex> lock_;
  DefinitionReader reader_;
  WindowTree tree_;
  platform::HMODULE module_;
};

// Looks for the window in the given modules, in order (all registered modules, the program's own
// first, when the list is empty). A label found nowhere, or a definition that is corrupt, gives
// RuntimeError::InternalNotFound with the detail "WSLDIAL". Looking up a second definition on a
// thread that still holds one is refused with the same error instead of waiting for itself forever.
Result<LoadedDefinition, WindowLayerError> FindWindowDefinition(std::string_view moduleName, std::string_view label,
                                                                std::span<const platform::HMODULE> modules = {});

}  // namespace tamsil::window
