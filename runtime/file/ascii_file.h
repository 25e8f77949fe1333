// One open text file of the ASCII driver: the handle, the read buffer, the record positions and
// the write lock. Records are lines: reading copies a line into a blank-filled record (tabs
// expanded, a long line cut to the record and the rest of it skipped, Ctrl-Z ending the data);
// writing puts the record, without its trailing blanks when clipping, and the delimiter.
//
// Every call answers a file error code (0 on success) and posts nothing; the driver posts.
// Positions given and answered are 1-based byte positions as the program sees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "runtime/file/ascii_switches.h"

namespace tamsil::file {

// Open-mode bits: access in the low bits, sharing in the high bits.
enum OpenMode : unsigned {
  AccessReadOnly = 0x0,
  AccessWriteOnly = 0x1,
  AccessReadWrite = 0x2,
  AccessMask = 0x3,
  DenyAll = 0x10,
  DenyWrite = 0x20,
  DenyRead = 0x30,
  DenyNone = 0x40,
  ShareMask = 0xF0,
};

// The file error codes the driver answers.
enum AsciiError : int {
  ErrNone = 0,
  ErrFileNotFound = 2,
  ErrPathNotFound = 3,
  ErrTooManyFiles = 4,
  ErrAccessDenied = 5,
  ErrLocked = 32,
  ErrNotAvailable = 33,
  ErrInvalidDataFile = 36,
  ErrNotOpen = 37,
  ErrInvalidFilename = 45,
  ErrNoCreate = 54,
  ErrSharingViolation = 64,
  ErrBadParameters = 78,
  ErrUnsupported = 80,
};

// The position state GETSTATE saves and RESTORESTATE puts back.
struct AsciiPosition {
  std::uint64_t recordStart = 0;
  std::uint64_t recordLength = 0;
  std::uint64_t nextRead = 1;
  bool recordValid = false;
};

// The largest buffer the driver takes, whatever FILEBUFFERS asks (the buffer still holds at
// least one record and its delimiter).
inline constexpr std::uint64_t kMaxBufferBytes = 64u << 20;

class AsciiFile {
 public:
  AsciiFile() = default;
  ~AsciiFile();
  AsciiFile(const AsciiFile&) = delete;
  AsciiFile& operator=(const AsciiFile&) = delete;

  // Opens path with the mode, the defaults for the mode and a record of recordSize bytes.
  // Only regular files open: a folder, a device or a pipe gives 36 (a read would hang or fail).
  // Sharing holds between every handle of the driver, in this process or another: an open whose
  // access another handle denies, or that denies an access another handle has, gives 64.
  int open(const std::string& path, unsigned mode, std::size_t recordSize);
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // The defaults of a mode, before the driver string applies.
  static AsciiSwitches defaultsFor(unsigned mode, std::size_t recordSize);
  AsciiSwitches& switches() { return switches_; }
  // Sizes the buffer after the buffer size or the delimiter changed (halved while it cannot be
  // had, never below a record and its delimiter).
  void resizeBuffer();
  std::size_t bufferSize() const { return bufferSize_; }

  bool shared() const { return shared_; }
  bool readOnly() const { return readOnly_; }

  // Reads the record at 0-based offset start into record; consumed gets the bytes the line took,
  // delimiter included. 33 at or beyond the end of the data.
  int readAt(std::uint64_t start, std::span<std::byte> record, std::uint64_t& consumed);
  // NEXT: reads at the next read position and moves it past the record.
  int next(std::span<std::byte> record) {
    const std::uint64_t start = position_.nextRead - 1;
    std::uint64_t consumed = 0;
    const int rc = readAt(start, record, consumed);
    if (rc == ErrNone) position_.nextRead = start + consumed + 1;
    return rc;
  }
  // Writes data and the delimiter at 1-based position (0: the end of the file).
  int write(std::uint64_t position, std::span<const std::byte> data);

  // Whether the next read position is at the end of the data.
  int atEnd(bool& end);
  // The file's size in bytes (asked of the system again for a shared file without quick scan).
  int size(std::uint64_t& bytes);
  int truncate();
  int flush();

  // The write lock: the first lock takes it, the last unlock releases it. wait: block until it
  // is free; otherwise 32 when another holds it.
  int lock(bool wait);
  int unlock();
  int lockDepth() const { return lockDepth_; }

  AsciiPosition& position() { return position_; }

 private:
  // Bytes of the file from start on, at most want, taken from the buffer or read into it; fewer
  // only at the end of the file.
  std::span<const std::byte> window(std::uint64_t start, std::size_t want);
  // The byte at offset p, or -1 at the end of the file.
  int byteAt(std::uint64_t p);
  bool delimiterAt(std::uint64_t p);
  // Whether the buffer's bytes [offset, offset + length) hold neither a tab nor a Ctrl-Z (a
  // Ctrl-Z counts even when it is data: the careful path reads it the same way). Answered from the
  // last look-ahead while offset lies between where it started and what it found.
  bool plainLine(std::size_t offset, std::size_t length) {
    return offset >= specialFrom_ && special_ >= offset ? special_ >= offset + length : lookAhead(offset, length);
  }
  // Looks ahead from offset for the buffer's next tab or Ctrl-Z, then answers as plainLine.
  bool lookAhead(std::size_t offset, std::size_t length);
  // Whether the delimiter's bytes after its first follow the first byte at at.
  bool delimiterRestAt(const char* at) const;
  int slowRead(std::uint64_t start, std::span<std::byte> record, std::uint64_t& consumed);
  int refreshSize();
  class SharedWrite;

  int fd_ = -1;
  AsciiSwitches switches_;
  bool shared_ = false;
  bool readOnly_ = false;
  bool writeOnly_ = false;
  std::size_t recordSize_ = 0;
  std::uint64_t size_ = 0;

  std::unique_ptr<std::byte[]> buffer_;
  std::size_t bufferSize_ = 0;
  std::uint64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
  bool bufferValid_ = false;
  bool bufferAtEnd_ = false;  // the buffer's last read met the end of the file
  // The buffer offset of the first tab or Ctrl-Z at or after specialFrom_ (bufferLength_ when
  // none): lines that end before it take the fast path without a look of their own.
  static constexpr std::size_t kNoOffset = std::size_t(-1);
  std::size_t specialFrom_ = kNoOffset;
  std::size_t special_ = kNoOffset;

  AsciiPosition position_;
  int lockDepth_ = 0;
  bool ctrlZChecked_ = false;
  std::string scratch_;  // a write's bytes: data and delimiter in one system call
};

}  // namespace tamsil::file
