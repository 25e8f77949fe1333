#include "runtime/file/ascii_driver.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/errors.h"

namespace tamsil::file {

namespace {

constexpr int kSupported[] = {
    OpAdd,         OpAppend,        OpClose,        OpCopy,       OpCreate,       OpEmpty,     OpEof,        OpGetFilePtr, OpLockFile,
    OpLockFileSec, OpName,          OpNext,         OpOpen,       OpPointerFile,  OpFlush,     OpPut,        OpStartTran,  OpRemove,
    OpRename,      OpEndTran,       OpSetFile,      OpSetFilePtr, OpShare,        OpUnlock,    OpAddFileLen, OpBytes,      OpGetFilePtrLen,
    OpPutFilePtr,  OpPutFilePtrLen, OpAppendLen,    OpSend,       OpPositionFile, OpResetFile, OpRegetFile,  OpQueryView,  OpInView,
    OpEndView,     OpGetState,      OpRestoreState, OpFreeState,  OpDestroy,
};
constexpr int kSupportedTypes[] = {TypeByte,    TypeShort,  TypeUShort,  TypeDate,    TypeTime,     TypeLong,
                                   TypeULong,   TypeSReal,  TypeReal,    TypeDecimal, TypePDecimal, TypeBFloat4,
                                   TypeBFloat8, TypeString, TypeCString, TypePString, TypeGroup};

constexpr unsigned kOpenDefault = AccessReadWrite | DenyWrite;
constexpr unsigned kShareDefault = AccessReadWrite | DenyNone;
constexpr std::uint32_t kUnnamedLineSize = 255;
constexpr auto kLockRetryPause = std::chrono::milliseconds(1000);

void asciiEntry(int operation, FileControl& file, std::span<const std::intptr_t> args);

DriverDescriptor makeDescriptor() {
  DriverDescriptor d;
  d.shortName = "ASCII";
  d.libraryName = "R41ASCX.DLL";
  d.notice = "ASCII text files, one record per line";
  d.displayName = "ASCII (Text)";
  d.entry = asciiEntry;
  for (int op : kSupported) d.operations.set(std::size_t(op));
  for (int type : kSupportedTypes) d.dataTypes.set(std::size_t(type));
  return d;
}

std::mutex hookMutex;
RecordCipher cipher;
RemoteHooks remoteHooks;

// The driver's per-file state, in FileControl::driverData.
struct AsciiState {
  AsciiFile file;
  std::string name;  // the name the file was opened by
  std::map<std::int64_t, AsciiPosition> saved;
  std::int64_t nextSaved = 1;
  bool discard = false;  // REGISTER asked for a fresh state at the next call
  bool remoteConnected = false;
  // A file used through the dynamic structure, without a declaration: a name from the dialog
  // and one 255-character line.
  FileDeclaration ownDeclaration;
  std::vector<std::byte> ownRecord;
};

// Frees the state, and takes back the declaration and record it lent the file.
void freeState(FileControl& file) {
  auto* state = static_cast<AsciiState*>(file.driverData);
  if (!state) return;
  if (file.declaration == &state->ownDeclaration) {
    file.declaration = nullptr;
    file.record = {};
  }
  delete state;
  file.driverData = nullptr;
}

// The file's state, made at its first call. Creation (and the fresh start after REGISTER) runs
// under the driver's lock, except for a THREAD file, which only its own thread sees. A state in
// use is found in the file's own control block, which one thread uses at a time.
AsciiState& stateOf(FileControl& file) {
  if (auto* ready = static_cast<AsciiState*>(file.driverData); ready && !ready->discard) return *ready;
  static std::mutex mutex;
  std::unique_lock lock(mutex, std::defer_lock);
  if (!(file.declaration && file.declaration->thread)) lock.lock();
  auto* state = static_cast<AsciiState*>(file.driverData);
  if (state && state->discard) {
    freeState(file);
    state = nullptr;
  }
  if (!state) {
    state = new AsciiState;
    file.driverData = state;
  }
  return *state;
}

std::string_view textArg(std::span<const std::intptr_t> args) {
  return args.empty() || !args[0] ? std::string_view() : *reinterpret_cast<const std::string_view*>(args[0]);
}

// The name a declared file opens by: its NAME, else its label.
std::string declaredName(const FileControl& file) {
  if (!file.declaration) return {};
  return file.declaration->name.empty() ? file.declaration->label : file.declaration->name;
}

int nameError(int error) {
  switch (error) {
    case ENOENT: return ErrFileNotFound;
    case ENOTDIR: return ErrPathNotFound;
    default: return ErrAccessDenied;
  }
}

int openFile(int operation, AsciiState& state, FileControl& file, std::span<const std::intptr_t> args) {
  const unsigned mode = args.empty() ? (operation == OpShare ? kShareDefault : kOpenDefault) : unsigned(args[0]);
  if (!file.declaration) {
    const std::string chosen = askAsciiFileName();
    if (chosen.empty()) return ErrInvalidFilename;
    FileDeclaration& d = state.ownDeclaration;
    d = FileDeclaration{};
    d.label = "ASCII";
    d.driver = "ASCII";
    d.name = chosen;
    FieldDeclaration line;
    line.label = "Line";
    line.type = TypeString;
    line.size = kUnnamedLineSize;
    d.fields = {line};
    state.ownRecord.assign(kUnnamedLineSize, std::byte(' '));
    file.declaration = &d;
    file.record = state.ownRecord;
  }
  const std::string name = declaredName(file);
  if (name.empty()) return ErrInvalidFilename;
  if (const int rc = state.file.open(name, mode, file.record.size())) return rc;
  state.name = name;
  state.saved.clear();
  for (const Switch& s : parseDriverString(file.declaration->driverString)) applySwitch(s, state.file.switches());
  state.file.resizeBuffer();
  return ErrNone;
}

int createFile(const FileControl& file) {
  if (!file.declaration || !file.declaration->create) return ErrNoCreate;
  const std::string name = declaredName(file);
  if (name.empty()) return ErrInvalidFilename;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nameError(errno);
  ::close(fd);
  return ErrNone;
}

void decryptRecord(std::span<std::byte> record) {
  std::lock_guard lock(hookMutex);
  if (cipher.decrypt) cipher.decrypt(record);
}

// Kept apart from the cipher's call, so that the common case, a file not declared encrypted,
// costs a read's caller one test.
inline void decrypt(const FileControl& file, std::span<std::byte> record) {
  if (file.declaration && file.declaration->encrypt) decryptRecord(record);
}

inline int readNext(AsciiFile& f, FileControl& file) {
  const int rc = f.next(file.record);
  if (rc == ErrNone) decrypt(file, file.record);
  return rc;
}

int readRecord(AsciiState& state, FileControl& file, std::intptr_t position, std::size_t length) {
  if (position < 1) return ErrNotAvailable;
  const auto record = file.record.first(std::min(length, file.record.size()));
  std::uint64_t consumed = 0;
  const int rc = state.file.readAt(std::uint64_t(position - 1), record, consumed);
  if (rc == ErrNone) decrypt(file, record);
  return rc;
}

int writeRecord(AsciiState& state, FileControl& file, std::uint64_t position, std::size_t length) {
  std::span<const std::byte> data = file.record.first(std::min(length, file.record.size()));
  if (state.file.switches().clip)
    while (!data.empty() && data.back() == std::byte(' ')) data = data.first(data.size() - 1);
  if (file.declaration && file.declaration->encrypt) {
    std::vector<std::byte> copy(data.begin(), data.end());
    {
      std::lock_guard lock(hookMutex);
      if (cipher.encrypt) cipher.encrypt(copy);
    }
    return state.file.write(position, copy);
  }
  return state.file.write(position, data);
}

// LOCKfilesec: tries until the seconds have passed, a second apart, noting each failure in the
// file's trace.
int lockWithin(AsciiState& state, FileControl& file, std::intptr_t seconds) {
  constexpr std::intptr_t kLongest = 366 * 24 * 3600;  // keeps the deadline within the clock's range
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::clamp<std::intptr_t>(seconds, 0, kLongest));
  for (;;) {
    const int rc = state.file.lock(false);
    if (rc == ErrNone) return rc;
    if (const auto log = driverTrace(asciiDriver().shortName).logFor(file.trace))
      log->writeLine("Locking failed with error " + std::to_string(rc));
    if (rc != ErrLocked || std::chrono::steady_clock::now() >= deadline) return rc;
    std::this_thread::sleep_for(kLockRetryPause);
  }
}

int send(AsciiState& state, FileControl& file, std::string_view command) {
  const std::string normal = normaliseDriverString(command);
  const std::string_view bare = std::string_view(normal).substr(normal.starts_with('/') ? 1 : 0);
  if (bare == "REGISTER") {
    file.answerText = asciiDriver().shortName;
    state.discard = true;
    return ErrNone;
  }
  if (bare == "IMPORTFILE") {
    if (!file.silent)
      platform::MessageBoxA(nullptr, "File Driver does not support File Import", "File Import", platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return ErrNotOpen;
  }
  DriverTrace& trace = driverTrace(asciiDriver().shortName);
  if (applyTraceCommand(command, trace.settings(), file.trace)) {
    trace.announce(file.trace);
    return ErrNone;
  }
  bool first = true;
  for (const Switch& s : parseDriverString(command)) {
    const auto previous = applySwitch(s, state.file.switches());
    if (first && previous) file.answerText = *previous;
    first = first && !previous;
  }
  state.file.resizeBuffer();
  return ErrNone;
}

int copyFile(const std::string& from, std::string_view to) {
  std::error_code error;
  if (!std::filesystem::exists(from, error)) return ErrFileNotFound;
  std::filesystem::copy_file(from, std::string(to), std::filesystem::copy_options::overwrite_existing, error);
  return error ? nameError(error.value()) : ErrNone;
}

// The name operations act on: the open name, else the declared one.
std::string currentName(const AsciiState& state, const FileControl& file) { return state.name.empty() ? declaredName(file) : state.name; }

int run(int operation, AsciiState& state, FileControl& file, std::span<const std::intptr_t> args) {
  AsciiFile& f = state.file;
  AsciiPosition& pos = f.position();
  const auto arg = [&](std::size_t i) -> std::optional<std::intptr_t> {
    return i < args.size() ? std::optional<std::intptr_t>(args[i]) : std::nullopt;
  };
  switch (operation) {
    case OpOpen:
    case OpShare: return openFile(operation, state, file, args);
    case OpCreate: return createFile(file);
    case OpClose: f.close(); return ErrNone;
    case OpDestroy: return ErrNone;  // the entry frees the state
    case OpSetFile: pos.nextRead = 1; return f.isOpen() ? ErrNone : ErrNotOpen;
    case OpSetFilePtr: pos.nextRead = std::max<std::intptr_t>(arg(0).value_or(0), 1); return f.isOpen() ? ErrNone : ErrNotOpen;
    case OpNext: return readNext(f, file);
    case OpGetFilePtr:
    case OpRegetFile:
      if (!arg(0)) return ErrBadParameters;
      return readRecord(state, file, *arg(0), file.record.size());
    case OpGetFilePtrLen:
      if (!arg(1) || *arg(1) < 0) return ErrBadParameters;
      return readRecord(state, file, *arg(0), std::size_t(*arg(1)));
    case OpAdd:
    case OpAppend: return writeRecord(state, file, 0, file.record.size());
    case OpAddFileLen:
    case OpAppendLen:
      if (!arg(0) || *arg(0) < 0) return ErrBadParameters;
      return writeRecord(state, file, 0, std::size_t(*arg(0)));
    case OpPut:
      if (!pos.recordValid) return ErrNotAvailable;
      return writeRecord(state, file, pos.recordStart + 1, file.record.size());
    case OpPutFilePtr:
    case OpPutFilePtrLen: {
      const std::size_t length = operation == OpPutFilePtr ? file.record.size() : std::size_t(std::max<std::intptr_t>(arg(1).value_or(-1), -1));
      if (!arg(0) || length == std::size_t(-1)) return ErrBadParameters;
      if (*arg(0) < 1) return ErrNotAvailable;
      return writeRecord(state, file, std::uint64_t(*arg(0)), length);
    }
    case OpPointerFile: file.answer = pos.recordValid ? std::int64_t(pos.recordStart + 1) : 0; return ErrNone;
    case OpPositionFile: file.answer = pos.recordValid ? std::int64_t(pos.recordStart + 1) : std::int64_t(pos.nextRead); return ErrNone;
    case OpResetFile:
      if (!arg(0)) return ErrBadParameters;
      pos.nextRead = std::uint64_t(std::max<std::intptr_t>(*arg(0), 1));
      pos.recordValid = false;
      return f.isOpen() ? ErrNone : ErrNotOpen;
    case OpBytes: {
      if (file.recordBytes) {
        file.answer = std::int64_t(pos.recordLength);
        return ErrNone;
      }
      std::uint64_t bytes = 0;
      const int rc = f.size(bytes);
      file.answer = std::int64_t(bytes);
      return rc;
    }
    case OpEof: {
      bool end = true;
      const int rc = f.atEnd(end);
      file.answer = end ? 1 : 0;
      return rc;
    }
    case OpEmpty: return f.truncate();
    case OpFlush: return f.flush();
    case OpRemove: {
      const std::string name = currentName(state, file);
      return ::unlink(name.c_str()) == 0 ? ErrNone : nameError(errno);
    }
    case OpRename: {
      const std::string target(textArg(args));
      if (target.empty()) return ErrInvalidFilename;
      if (std::rename(currentName(state, file).c_str(), target.c_str()) != 0) return nameError(errno);
      state.name = target;
      return ErrNone;
    }
    case OpCopy: {
      const std::string_view target = textArg(args);
      if (target.empty()) return ErrInvalidFilename;
      return copyFile(currentName(state, file), target);
    }
    case OpName: file.answerText = currentName(state, file); return ErrNone;
    case OpLockFile: return f.lock(true);
    case OpLockFileSec: return lockWithin(state, file, arg(0).value_or(0));
    case OpUnlock: return f.unlock();
    case OpSend: return send(state, file, textArg(args));
    case OpGetState:
      state.saved[state.nextSaved] = pos;
      file.answer = state.nextSaved++;
      return ErrNone;
    case OpRestoreState: {
      const auto it = arg(0) ? state.saved.find(*arg(0)) : state.saved.end();
      if (it == state.saved.end()) return ErrBadParameters;
      pos = it->second;
      return ErrNone;
    }
    case OpFreeState:
      if (arg(0)) state.saved.erase(*arg(0));
      return ErrNone;
    case OpQueryView: file.answer = 0; return ErrNone;
    case OpStartTran:
    case OpEndTran:
    case OpInView:
    case OpEndView: return ErrNone;
    default: return ErrUnsupported;
  }
}

bool isWrite(int operation) {
  switch (operation) {
    case OpAdd:
    case OpAppend:
    case OpAddFileLen:
    case OpAppendLen:
    case OpPut:
    case OpPutFilePtr:
    case OpPutFilePtrLen:
    case OpRemove:
    case OpFlush: return true;
    default: return false;
  }
}

// A remote file: connected once through the hooks, then its operations are forwarded, except the
// writes, which the remote side does not take.
int runRemote(int operation, AsciiState& state, FileControl& file, std::span<const std::intptr_t> args) {
  RemoteHooks hooks;
  {
    std::lock_guard lock(hookMutex);
    hooks = remoteHooks;
  }
  if (!hooks.connect || !hooks.forward) return ErrUnsupported;
  if (!state.remoteConnected) {
    if (const int rc = hooks.connect(file)) return rc;
    state.remoteConnected = true;
  }
  if (isWrite(operation)) return ErrUnsupported;
  return hooks.forward(operation, file, args);
}

void asciiEntry(int operation, FileControl& file, std::span<const std::intptr_t> args) {
  file.answer = 0;
  file.answerText.clear();
  AsciiState& state = stateOf(file);
  // NEXT, the call a reading loop makes once a line, goes straight to the file.
  const int rc = file.remote           ? runRemote(operation, state, file, args)
                 : operation == OpNext ? readNext(state.file, file)
                                       : run(operation, state, file, args);
  if (operation == OpDestroy) freeState(file);  // whatever a remote side answered
  if (rc != ErrNone) postError(rc);
}

}  // namespace

const DriverDescriptor& asciiDriver() {
  static const DriverDescriptor descriptor = makeDescriptor();
  return descriptor;
}

void setRecordCipher(const RecordCipher& c) {
  std::lock_guard lock(hookMutex);
  cipher = c;
}

void setRemoteHooks(const RemoteHooks& hooks) {
  std::lock_guard lock(hookMutex);
  remoteHooks = hooks;
}

std::string askAsciiFileName() {
  platform::FileDialogRequest request;
  request.title = "Open ASCII File";
  request.filter = "Text Files (*.txt,*.doc)|*.TXT;*.DOC|All Files (*.*)|*.*";
  request.flags = platform::OFN_FILEMUSTEXIST | platform::OFN_PATHMUSTEXIST | platform::OFN_HIDEREADONLY;
  const auto chosen = platform::FileDialog(request);
  if (!chosen || chosen->empty()) return {};
  if (std::filesystem::path(*chosen).extension().empty()) return *chosen + ".TXT";
  return *chosen;
}

}  // namespace tamsil::file
