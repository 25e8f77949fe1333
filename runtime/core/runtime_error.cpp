#include "runtime/core/runtime_error.h"

#include <cstdio>

#include "runtime/core/file_error_texts.h"

namespace tamsil {

namespace {

constexpr int kInternalErrorBase = 500, kInternalErrors = 15;  // "Internal error NN" is number 500 + NN

// The text of a listed error with one of its own; null for the others.
const char* listedText(int number) {
  // The internal errors are cases too, so that the compiler rejects a number listed twice.
  // clang-format off
#define RUNTIME_ERROR(name, value, text) case value: return text;
#define RUNTIME_INTERNAL_ERROR(name, value) case value: return nullptr;
  // clang-format on
  switch (number) {
#include "runtime/core/runtime_error_list.inc"
    default: return nullptr;
  }
#undef RUNTIME_ERROR
#undef RUNTIME_INTERNAL_ERROR
}

}  // namespace

std::string RuntimeErrorText(int number) {
  if (const char* text = listedText(number)) return text;
  char buf[40];
  if (number > kInternalErrorBase && number <= kInternalErrorBase + kInternalErrors)
    std::snprintf(buf, sizeof buf, "Internal error %02d", number - kInternalErrorBase);
  else if (const char* text = FileErrorText(number)) return text;
  else std::snprintf(buf, sizeof buf, "Runtime error %d", number);
  return buf;
}

std::string RuntimeErrorLine(int number, std::string_view detail) {
  std::string line = RuntimeErrorText(number);
  if (!detail.empty()) line += " : " + std::string(detail);
  return line;
}

}  // namespace tamsil
