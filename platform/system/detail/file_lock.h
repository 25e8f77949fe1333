// An exclusive lock, across processes, on a file that is only ever replaced whole (written beside
// it and renamed over it), held for one read-change-replace: without it two processes changing
// different entries at once would each write back the file they read, and one change would be
// lost. The lock is on the file itself (no lock file is left behind); since every write replaces
// the file, a lock that was granted on a file replaced meanwhile is let go and taken again on the
// new one. Something that is not a regular file is not locked. The kernel drops the lock of a
// process that dies.
#pragma once

#include <filesystem>

namespace platform::detail {

class FileLock {
 public:
  // Waits for the lock on the file at path, creating an empty file (and its folders) if needed.
  explicit FileLock(const std::filesystem::path& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform::detail
