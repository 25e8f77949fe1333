// A shared library loaded on its first use instead of at program start. Every library a program
// loads at start costs loading, relocating and a longer search for each symbol the start looks
// up; a library that only some actions need (reading a compound file, a workbook) is better
// loaded when one of them runs. LAZY_LIBRARY_FORWARD defines one of the library's C functions in
// the program: the first call loads the library and looks the function up, every call forwards.
#pragma once

#include <mutex>

namespace platform {

class LazyLibrary {
 public:
  // file: the library's file name with its major version ("libfreexl.so.1").
  explicit constexpr LazyLibrary(const char* file) : file_(file) {}
  LazyLibrary(const LazyLibrary&) = delete;
  LazyLibrary& operator=(const LazyLibrary&) = delete;

  // Loads the library once; null, said once on stderr, when it cannot be loaded.
  void* handle();
  bool load() { return handle() != nullptr; }
  // The library's function, or null when the library or the function is missing. F is the
  // function's type.
  template <typename F>
  F* function(const char* name) {
    return reinterpret_cast<F*>(lookup(name));
  }

 private:
  void* lookup(const char* name);

  const char* file_;
  std::once_flag once_;
  void* handle_ = nullptr;
};

}  // namespace platform

// Defines the C function `name` with the library's own declaration (from its header, so a
// parameter list that differs does not compile); `failure` is what it answers when the library
// cannot be loaded (empty for a function without a result).
#define LAZY_LIBRARY_FORWARD(library, result, name, params, args, failure) \
  extern "C" result name params {                                          \
    static auto* const real = (library).function<result params>(#name);    \
    if (!real) return failure;                                             \
    return real args;                                                      \
  }
#define LAZY_LIBRARY_NO_RESULT
