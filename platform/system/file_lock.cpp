#include "platform/system/detail/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform::detail {

namespace {

// The descriptor holding the lock on the file now at path, or -1 for no lock.
int acquire(const std::filesystem::path& path) {
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  for (;;) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) return -1;
    struct stat held {};
    bool locked = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode);
    while (locked && ::flock(fd, LOCK_EX) != 0) locked = errno == EINTR;
    if (!locked) {
      ::close(fd);
      return -1;
    }
    if (::stat(path.c_str(), &st) == 0 && st.st_dev == held.st_dev && st.st_ino == held.st_ino) return fd;
    ::close(fd);  // replaced while we waited: lock the new file
  }
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& path) : fd_(acquire(path)) {}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace platform::detail
