#include "platform/system/lazy_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform {

void* LazyLibrary::handle() {
  std::call_once(once_, [this] {
    // Local: the library's symbols stay out of the program's global scope, so nothing loaded
    // later binds to them by accident.
    handle_ = ::dlopen(file_, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) std::fprintf(stderr, "cannot load %s: %s\n", file_, ::dlerror());
  });
  return handle_;
}

void* LazyLibrary::lookup(const char* name) {
  void* h = handle();
  return h ? ::dlsym(h, name) : nullptr;
}

}  // namespace platform
