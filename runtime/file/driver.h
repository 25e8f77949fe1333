// A file driver as the runtime sees it: a fixed descriptor with its names, its entry point and
// what it supports, and the dispatcher that calls the entry point for one operation, posting 80
// for an operation the driver does not support and tracing the call when tracing is on.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/file/codes.h"
#include "runtime/file/driver_trace.h"

namespace tamsil::file {

// The file as a driver receives it: its declaration, record buffer, trace options, the file's
// run-time properties, the driver's own state, and the answer of an operation that gives one.
struct FileControl {
  const FileDeclaration* declaration = nullptr;
  std::span<std::byte> record;
  std::size_t key = 0;
  FileTraceOptions trace;
  void* driverData = nullptr;
  bool silent = false;       // no message boxes for this file
  bool recordBytes = false;  // BYTES answers the bytes the last read consumed, not the file's size
  bool remote = false;       // operations go through the remote-access hooks
  std::int64_t answer = 0;   // POINTERfile, POSITIONfile, BYTES, EOF, GETSTATE ...
  std::string answerText{};  // NAME, SEND
};

// Called with the operation code, the file and the operation's arguments (full machine words:
// pointers are never cut to 32 bits); reports through the thread's error state.
using DriverEntry = void (*)(int operation, FileControl& file, std::span<const std::intptr_t> args);

struct DriverDescriptor {
  std::string_view shortName;    // "ASCII"
  std::string_view libraryName;  // "R41ASCX.DLL"
  std::string_view notice;
  std::string_view displayName;  // "ASCII (Text)"
  DriverEntry entry = nullptr;
  std::bitset<kLastOperation + 1> operations;
  std::bitset<kLastDataType + 1> dataTypes;
};

// Clears the thread's error state, then runs the operation through the driver's entry point, or
// posts 80 when the driver does not support it; traced either way when tracing is on.
void dispatch(const DriverDescriptor& driver, int operation, FileControl& file, std::span<const std::intptr_t> args);

}  // namespace tamsil::file
