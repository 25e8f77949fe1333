// The ASCII driver reading arbitrary bytes under arbitrary switches. The input is a record size
// (first byte), a driver string (up to the first zero byte) and the file's content; the content
// lives in an in-memory file opened by its /proc name. Every record NEXT reads, reads by position
// and EOF run under the sanitizers: no crash, no read outside a buffer, and every NEXT moves on.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/core/thread_context.h"
#include "runtime/file/ascii_driver.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/driver_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamsil::file;
  if (size < 2) return 0;
  // One context per input, so what the driver leaves in the thread's state goes with it.
  const tamsil::ThreadContextScope context;
  const std::size_t recordSize = data[0];
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(data + 1, 0, size - 1));
  const std::size_t stringEnd = end ? std::size_t(end - data) : size;
  const std::string driverString(reinterpret_cast<const char*>(data + 1), stringEnd - 1);
  const std::uint8_t* content = data + std::min(size, stringEnd + 1);
  const std::size_t contentSize = std::size_t(data + size - content);

  const int fd = memfd_create("ascii", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (contentSize && write(fd, content, contentSize) != ssize_t(contentSize)) {
    close(fd);
    return 0;
  }
  {
    DriverFile f(asciiDriver(), "/proc/self/fd/" + std::to_string(fd), recordSize, driverString);
    const unsigned mode = AccessReadOnly | (recordSize & 1 ? DenyWrite : DenyNone);
    if (f.call(OpOpen, {std::intptr_t(mode)}) == 0) {
      std::int64_t last = 0;
      for (std::size_t n = 0; n <= contentSize && f.call(OpNext) == 0; ++n) {
        f.call(OpPointerFile);
        if (f.answer() <= last) __builtin_trap();  // NEXT always moves forward
        last = f.answer();
      }
      for (std::size_t p = 1; p <= contentSize + 1; p += 1 + p / 3) f.call(OpGetFilePtr, {std::intptr_t(p)});
      f.call(OpEof);
    }
  }
  close(fd);
  return 0;
}
