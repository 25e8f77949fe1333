// The ASCII driver: text files of one record per line, read in order or by byte position,
// written by appending lines or overwriting one in place, tuned by the driver string. Its
// descriptor goes to dispatch() (driver.h), which traces every call.
//
// Arguments of the operations (FileControl::answer and answerText carry what one gives back):
//   OPEN, SHARE               [mode]  open mode (ascii_file.h); OPEN defaults to 0x22, SHARE to 0x42
//   SETfileptr                position (1-based; 0 is the start)
//   GETfileptr, REGETfile     position
//   GETfileptrlen             position, length (bytes of the record to fill)
//   ADDfilelen, APPENDlen     length
//   PUTfileptr                position
//   PUTfileptrlen             position, length
//   RESETfile                 a position POSITIONfile gave
//   LOCKfilesec               seconds
//   RESTORESTATE, FREESTATE   a state GETSTATE gave
//   RENAME, COPY              textArgument(new name)
//   SEND                      textArgument(command); answerText: the switch's previous value
//   POINTERfile, POSITIONfile, BYTES, EOF (1 or 0), GETSTATE, QUERY_VIEW: answer; NAME: answerText
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/file/driver.h"

namespace tamsil::file {

enum AsciiOperation : int {
  OpBuildFile = 3,
  OpClose = 7,
  OpCopy = 9,
  OpCreate = 10,
  OpEmpty = 13,
  OpEof = 14,
  OpLockFile = 20,
  OpLockFileSec = 21,
  OpName = 23,
  OpOpen = 25,
  OpPointerFile = 27,
  OpFlush = 29,
  OpStartTran = 35,
  OpRemove = 37,
  OpRename = 38,
  OpEndTran = 39,
  OpSetFile = 41,
  OpSetFilePtr = 43,
  OpShare = 48,
  OpUnlock = 50,
  OpBytes = 52,
  OpSend = 60,
  OpPositionFile = 61,
  OpResetFile = 63,
  OpQueryView = 74,
  OpInView = 92,
  OpEndView = 93,
  OpGetState = 98,
  OpRestoreState = 99,
  OpFreeState = 102,
  OpDestroy = 104,
};

// "ASCII", "R41ASCX.DLL", "ASCII (Text)", the entry point and what it supports.
const DriverDescriptor& asciiDriver();

// A text argument: the address of a string_view that outlives the call.
inline std::intptr_t textArgument(const std::string_view& text) { return reinterpret_cast<std::intptr_t>(&text); }

// The record cipher of files declared encrypted: applied to a copy of the record before it is
// written and to the record after it is read. Without one, records pass unchanged.
struct RecordCipher {
  void (*encrypt)(std::span<std::byte> data) = nullptr;
  void (*decrypt)(std::span<std::byte> data) = nullptr;
};
void setRecordCipher(const RecordCipher& cipher);

// The hooks of files marked remote, installed by a remote-access library: connect answers 0, or
// 95 "Server Not Found", or 96 "Remote Object Not Found"; forward runs an operation remotely and
// answers its error code. Without hooks every operation on a remote file gives 80.
struct RemoteHooks {
  int (*connect)(FileControl& file) = nullptr;
  int (*forward)(int operation, FileControl& file, std::span<const std::intptr_t> args) = nullptr;
};
void setRemoteHooks(const RemoteHooks& hooks);

// The open-file dialog of a file without a name: the chosen path (".TXT" added when it has no
// extension), or empty when cancelled.
std::string askAsciiFileName();

}  // namespace tamsil::file
