#include "runtime/file/ascii_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

namespace tamsil::file {

namespace {

constexpr std::uint64_t kHugeRecord = 2'147'483'519;
constexpr std::uint64_t kHugeRecordBuffer = 4'294'967'039;
constexpr std::size_t kSmallestBuffer = 11;

int openError(int error) {
  switch (error) {
    case ENOENT: return ErrFileNotFound;
    case ENOTDIR: return ErrPathNotFound;
    case EMFILE:
    case ENFILE: return ErrTooManyFiles;
    case ENAMETOOLONG: return ErrInvalidFilename;
    default: return ErrAccessDenied;
  }
}

bool denies(unsigned sharing) { return sharing == DenyAll || sharing == DenyWrite || sharing == DenyRead; }

// Sharing between handles, kept as open-file-description record locks on marker bytes far past
// any real data: each handle holds a shared lock on the markers of its access and of what it
// denies, and looks for the other handles' markers that exclude it. The markers are taken first
// and checked after, so two conflicting opens racing each other both fail rather than both pass.
enum Marker : off_t { MarkRead, MarkWrite, MarkDenyRead, MarkDenyWrite };
constexpr off_t kMarkerBase = off_t(1) << 62;

bool markerLock(int fd, Marker m, short type, int command) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kMarkerBase + m;
  lock.l_len = 1;
  return ::fcntl(fd, command, &lock) == 0 && (command != F_OFD_GETLK || lock.l_type != F_UNLCK);
}

// Takes the handle's markers; false when another handle's access or sharing excludes it.
bool shareAccess(int fd, unsigned access, unsigned sharing) {
  const bool reads = access != AccessWriteOnly, writes = access != AccessReadOnly;
  const bool denyRead = sharing == DenyAll || sharing == DenyRead, denyWrite = sharing == DenyAll || sharing == DenyWrite;
  const std::pair<bool, Marker> held[] = {{reads, MarkRead}, {writes, MarkWrite}, {denyRead, MarkDenyRead}, {denyWrite, MarkDenyWrite}};
  // A file system without record locks takes none: sharing is then not enforced, the open goes on.
  for (const auto& [on, marker] : held)
    if (on) markerLock(fd, marker, F_RDLCK, F_OFD_SETLK);
  // Another handle's shared lock shows as a conflict with an exclusive test lock.
  const std::pair<bool, Marker> excluded[] = {{reads, MarkDenyRead}, {writes, MarkDenyWrite}, {denyRead, MarkRead}, {denyWrite, MarkWrite}};
  for (const auto& [on, marker] : excluded)
    if (on && markerLock(fd, marker, F_WRLCK, F_OFD_GETLK)) return false;
  return true;
}

// pread until count bytes or the end of the file; an error reads as the end.
std::size_t readFully(int fd, std::byte* to, std::size_t count, std::uint64_t at) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, to + done, count - done, off_t(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += std::size_t(n);
  }
  return done;
}

bool writeFully(int fd, const char* from, std::size_t count, std::uint64_t at) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd, from + done, count - done, off_t(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += std::size_t(n);
  }
  return true;
}

// How a line's first look ended: at the first byte of the delimiter (at; every byte before it
// plain), at a tab or Ctrl-Z (the careful path reads it), or with the last bytes before end, from
// at on, still to look at.
enum class ScanLine { Found, Careful, Rest };
struct Scan {
  ScanLine how;
  std::size_t at;
};

// Looks at data[0, end) for the first byte of the delimiter and, with kSpecials, a tab or a
// Ctrl-Z. A record of 128 bytes is looked at in one block of 128 whose two halves are combined
// without a branch, so that the one branch that finds a line's end goes the same way for every
// line the record holds; longer records go on in blocks, shorter ones in 64 and 16 bytes.
template <bool kSpecials>
[[gnu::always_inline]] inline Scan scanLine(const char* data, std::size_t end, char delimiter) {
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(delimiter);
  const auto stops16 = [&](std::size_t i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    __m128i stop = _mm_cmpeq_epi8(bytes, first);
    if constexpr (kSpecials)
      stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(kCtrlZ))));
    return std::uint64_t(unsigned(_mm_movemask_epi8(stop)));
  };
  const auto stops64 = [&](std::size_t i) { return stops16(i) | stops16(i + 16) << 16 | stops16(i + 32) << 32 | stops16(i + 48) << 48; };
  // The first stop decides: a tab or Ctrl-Z before the delimiter needs the careful path.
  const auto stopAt = [&](std::size_t at) { return Scan{data[at] == delimiter ? ScanLine::Found : ScanLine::Careful, at}; };
  std::size_t i = 0;
  for (; i + 128 <= end; i += 128) {
    const std::uint64_t low = stops64(i), high = stops64(i + 64);
    // The half that holds the first stop, picked with masks rather than a branch.
    if (low | high) {
      const std::uint64_t inHigh = -std::uint64_t(low == 0), half = (low & ~inHigh) | (high & inHigh);
      return stopAt(i + (64 & inHigh) + std::size_t(__builtin_ctzll(half)));
    }
  }
  for (; i + 64 <= end; i += 64)
    if (const std::uint64_t mask = stops64(i)) return stopAt(i + std::size_t(std::countr_zero(mask)));
  for (; i + 16 <= end; i += 16)
    if (const std::uint64_t mask = stops16(i)) return stopAt(i + std::size_t(std::countr_zero(mask)));
  return {ScanLine::Rest, i};
#else
  (void)data, (void)end, (void)delimiter;
  return {ScanLine::Rest, 0};
#endif
}

// The largest record filled by the blended copy below; a larger one is copied and then blanked.
constexpr std::size_t kBlendedRecord = 256;

// The lanes the blended copy keeps: byte k is all ones below kBlendedRecord, zero from there on,
// so that the sixteen bytes from kBlendedRecord - length + j keep the lanes of record offsets
// j ... j + 15 that lie before length.
constexpr auto kKeepLanes = [] {
  std::array<std::int8_t, 2 * kBlendedRecord + 16> keep{};
  for (std::size_t k = 0; k < kBlendedRecord; ++k) keep[k] = -1;
  return keep;
}();

// Puts a line of length bytes into the record and blanks after it. available: the bytes readable
// at data. Where the whole record's width can be read, each sixteen bytes of the record are the
// line's or blanks lane by lane, the same steps for every line.
void fillRecord(std::span<std::byte> record, const char* data, std::size_t length, std::size_t available) {
  const std::size_t size = record.size();
#if defined(__SSE2__)
  if (size >= 16 && size <= kBlendedRecord && available >= size) {
    const std::int8_t* keepFrom = kKeepLanes.data() + kBlendedRecord - length;
    const __m128i blanks = _mm_set1_epi8(' ');
    const auto step = [&](std::size_t j) {
      const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keepFrom + j));
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + j));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(record.data() + j), _mm_or_si128(_mm_and_si128(keep, bytes), _mm_andnot_si128(keep, blanks)));
    };
    for (std::size_t j = 0; j + 16 <= size; j += 16) step(j);
    if (size % 16) step(size - 16);  // the last bytes, again from the same rule
    return;
  }
#endif
  (void)available;
  if (length) std::memcpy(record.data(), data, length);
  if (size > length) std::memset(record.data() + length, ' ', size - length);
}

}  // namespace

AsciiFile::~AsciiFile() { close(); }

AsciiSwitches AsciiFile::defaultsFor(unsigned mode, std::size_t recordSize) {
  AsciiSwitches s;
  const bool denying = denies(mode & ShareMask);
  s.bufferBytes = denying ? 1024 : 512;
  const std::uint64_t twoRecords = recordSize >= kHugeRecord ? kHugeRecordBuffer : 2 * std::uint64_t(recordSize);
  s.bufferBytes = std::max(s.bufferBytes, twoRecords);
  s.quickScan = denying;
  return s;
}

int AsciiFile::open(const std::string& path, unsigned mode, std::size_t recordSize) {
  close();
  const unsigned access = mode & AccessMask;
  if (access == AccessMask) return ErrAccessDenied;
  // A write-only file is still opened for reading: the first append looks for a trailing Ctrl-Z.
  // O_NONBLOCK keeps a pipe from holding the open until a writer comes; it is refused below.
  const int fd = ::open(path.c_str(), (access == AccessReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return openError(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ErrInvalidDataFile;
  }
  if (!shareAccess(fd, access, mode & ShareMask)) {
    ::close(fd);  // lets its markers go
    return ErrSharingViolation;
  }
  fd_ = fd;
  size_ = std::uint64_t(st.st_size);
  shared_ = (mode & ShareMask) == DenyNone;
  readOnly_ = access == AccessReadOnly;
  writeOnly_ = access == AccessWriteOnly;
  recordSize_ = recordSize;
  switches_ = defaultsFor(mode, recordSize);
  position_ = {};
  lockDepth_ = 0;
  ctrlZChecked_ = false;
  bufferValid_ = false;
  resizeBuffer();
  return ErrNone;
}

void AsciiFile::close() {
  if (fd_ >= 0) ::close(fd_);  // releases the write lock with the handle
  fd_ = -1;
  lockDepth_ = 0;
  bufferValid_ = false;
  position_.recordValid = false;
}

void AsciiFile::resizeBuffer() {
  const std::size_t needed = std::max(recordSize_ + switches_.delimiter.size() + 1, kSmallestBuffer);
  std::size_t bytes = std::size_t(std::max<std::uint64_t>(std::min(switches_.bufferBytes, kMaxBufferBytes), needed));
  if (bytes != bufferSize_ || !buffer_) {
    std::unique_ptr<std::byte[]> fresh;
    for (;; bytes /= 2) {
      fresh.reset(new (std::nothrow) std::byte[bytes]);
      if (fresh || bytes / 2 < needed) break;
    }
    if (!fresh) {
      bytes = needed;
      fresh.reset(new std::byte[bytes]);
    }
    buffer_ = std::move(fresh);
    bufferSize_ = bytes;
    bufferValid_ = false;
  }
  switches_.bufferBytes = bufferSize_;
}

int AsciiFile::refreshSize() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return ErrAccessDenied;
  size_ = std::uint64_t(st.st_size);
  return ErrNone;
}

int AsciiFile::size(std::uint64_t& bytes) {
  if (fd_ < 0) return ErrNotOpen;
  if (shared_ && !switches_.quickScan)
    if (const int rc = refreshSize()) return rc;
  bytes = size_;
  return ErrNone;
}

std::span<const std::byte> AsciiFile::window(std::uint64_t start, std::size_t want) {
  want = std::min(want, bufferSize_);
  if (bufferValid_ && start >= bufferStart_) {
    const std::uint64_t offset = start - bufferStart_;
    if (offset <= bufferLength_ && (offset + want <= bufferLength_ || bufferAtEnd_))
      return {buffer_.get() + offset, std::min<std::size_t>(want, bufferLength_ - std::size_t(offset))};
  }
  bufferLength_ = readFully(fd_, buffer_.get(), bufferSize_, start);
  bufferStart_ = start;
  bufferValid_ = true;
  specialFrom_ = special_ = kNoOffset;
  bufferAtEnd_ = bufferLength_ < bufferSize_;
  return {buffer_.get(), std::min(want, bufferLength_)};
}

int AsciiFile::byteAt(std::uint64_t p) {
  if (bufferValid_ && p >= bufferStart_ && p - bufferStart_ < bufferLength_) return int(buffer_[std::size_t(p - bufferStart_)]);
  const auto w = window(p, bufferSize_);
  return w.empty() ? -1 : int(w[0]);
}

bool AsciiFile::delimiterAt(std::uint64_t p) {
  for (std::size_t k = 0; k < switches_.delimiter.size(); ++k)
    if (byteAt(p + k) != int(std::uint8_t(switches_.delimiter[k]))) return false;
  return true;
}

int AsciiFile::readAt(std::uint64_t start, std::span<std::byte> record, std::uint64_t& consumed) {
  position_.recordValid = false;
  if (fd_ < 0) return ErrNotOpen;
  if (writeOnly_) return ErrAccessDenied;
  if (!switches_.quickScan) bufferValid_ = false;
  std::uint64_t bytes = 0;
  if (const int rc = size(bytes)) return rc;
  if (start >= bytes) return ErrNotAvailable;

  const std::size_t recordSize = record.size();
  const std::string& delimiter = switches_.delimiter;
  // A line well within the buffer (the common case while reading on) is found without a call.
  const std::size_t want = std::min(recordSize + delimiter.size(), bufferSize_);
  const bool inBuffer = bufferValid_ && start >= bufferStart_ && start - bufferStart_ + want <= bufferLength_;
  const auto view = inBuffer ? std::span<const std::byte>(buffer_.get() + (start - bufferStart_), want) : window(start, want);
  if (view.empty()) return ErrNotAvailable;  // the file shrank under a trusted size
  const bool ctrlZ = switches_.ctrlZIsEof;
  if (ctrlZ && view[0] == std::byte(kCtrlZ)) return ErrNotAvailable;

  // A whole line within the record, without tabs and Ctrl-Z: found, then copied with the blanks after it.
  const char* data = reinterpret_cast<const char*>(view.data());
  const std::size_t lineEnd = std::min(view.size(), recordSize + 1);
  const std::size_t offset = std::size_t(view.data() - buffer_.get());
  std::size_t length = kNoOffset;  // the plain line's length, once found
  // Where the buffer's look-ahead shows neither a tab nor a Ctrl-Z in the bytes the line can take,
  // the scan looks for the delimiter alone.
  const char first = delimiter[0];
  const Scan scan = plainLine(offset, lineEnd) ? scanLine<false>(data, lineEnd, first) : scanLine<true>(data, lineEnd, first);
  switch (scan.how) {
    case ScanLine::Careful: break;
    case ScanLine::Found: length = scan.at; break;
    case ScanLine::Rest:
      // The last bytes, fewer than a scan step: the buffer's look-ahead answers for tabs and Ctrl-Z.
      if (const void* hit = std::memchr(data + scan.at, first, lineEnd - scan.at)) {
        const std::size_t end = std::size_t(static_cast<const char*>(hit) - data);
        if (plainLine(offset + scan.at, end - scan.at)) length = end;
      }
      break;
  }
  if (length != kNoOffset && length + delimiter.size() <= view.size() && delimiterRestAt(data + length)) {
    fillRecord(record, data, length, view.size());
    consumed = length + delimiter.size();
    position_ = {start, consumed, position_.nextRead, true};
    return ErrNone;
  }
  const int rc = slowRead(start, record, consumed);
  if (rc == ErrNone) position_ = {start, consumed, position_.nextRead, true};
  return rc;
}

bool AsciiFile::delimiterRestAt(const char* at) const {
  const std::string& delimiter = switches_.delimiter;
  for (std::size_t k = 1; k < delimiter.size(); ++k)
    if (at[k] != delimiter[k]) return false;
  return true;
}

bool AsciiFile::lookAhead(std::size_t offset, std::size_t length) {
  // Once for the buffer's next tab or Ctrl-Z; lines before it need no look of their own.
  const std::byte* from = buffer_.get() + offset;
  const std::size_t rest = bufferLength_ - offset;
  const void* tab = std::memchr(from, '\t', rest);
  const void* ctrlZ = std::memchr(from, kCtrlZ, tab ? std::size_t(static_cast<const std::byte*>(tab) - from) : rest);
  const void* first = ctrlZ ? ctrlZ : tab;
  special_ = first ? std::size_t(static_cast<const std::byte*>(first) - buffer_.get()) : bufferLength_;
  specialFrom_ = offset;
  return special_ >= offset + length;
}

int AsciiFile::slowRead(std::uint64_t start, std::span<std::byte> record, std::uint64_t& consumed) {
  if (!record.empty()) std::memset(record.data(), ' ', record.size());
  const bool ctrlZ = switches_.ctrlZIsEof;
  const int first = std::uint8_t(switches_.delimiter[0]);
  const int tab = switches_.tab;
  std::size_t out = 0;
  std::uint64_t p = start;
  while (out < record.size()) {
    const int c = byteAt(p);
    if (c < 0 || (ctrlZ && c == kCtrlZ)) {
      consumed = p - start;
      return ErrNone;
    }
    if (c == first && delimiterAt(p)) {
      consumed = p - start + switches_.delimiter.size();
      return ErrNone;
    }
    ++p;
    if (c == '\t' && tab != kTabKeep) {
      const std::size_t blanks = tab == 0 ? 0 : tab < 0 ? std::size_t(-tab) : std::size_t(tab) - out % std::size_t(tab);
      out += std::min(blanks, record.size() - out);  // the record is already blank
      continue;
    }
    record[out++] = std::byte(c);
  }
  // The record is full: the rest of the line is skipped, up to and including its delimiter.
  for (;;) {
    const int c = byteAt(p);
    if (c < 0 || (ctrlZ && c == kCtrlZ)) break;
    if (c == first && delimiterAt(p)) {
      p += switches_.delimiter.size();
      break;
    }
    ++p;
  }
  consumed = p - start;
  return ErrNone;
}

// Holds the write lock of a shared file for one change (no lock for other files).
class AsciiFile::SharedWrite {
 public:
  explicit SharedWrite(AsciiFile& file) : file_(file.shared_ ? &file : nullptr) {
    if (file_ && file_->lock(true) != ErrNone) failed_ = true, file_ = nullptr;
  }
  ~SharedWrite() {
    if (file_) file_->unlock();
  }
  SharedWrite(const SharedWrite&) = delete;
  SharedWrite& operator=(const SharedWrite&) = delete;
  bool failed() const { return failed_; }

 private:
  AsciiFile* file_;
  bool failed_ = false;
};

int AsciiFile::write(std::uint64_t position, std::span<const std::byte> data) {
  if (fd_ < 0) return ErrNotOpen;
  if (readOnly_) return ErrAccessDenied;
  const SharedWrite guard(*this);
  if (guard.failed()) return ErrAccessDenied;
  // A shared file's size is taken again under the lock, whatever quick scan says.
  if (shared_ && refreshSize() != ErrNone) return ErrAccessDenied;
  std::uint64_t at = 0;
  if (position > 0) {
    at = position - 1;
    if (at > size_) return ErrNotAvailable;  // past the end would leave a hole of zero bytes
  } else {
    at = size_;
    if (!ctrlZChecked_ && switches_.ctrlZIsEof && size_ > 0) {
      std::byte last{};
      if (readFully(fd_, &last, 1, size_ - 1) == 1 && last == std::byte(kCtrlZ)) at = size_ - 1;
    }
    ctrlZChecked_ = true;
  }
  scratch_.assign(reinterpret_cast<const char*>(data.data()), data.size());
  scratch_ += switches_.delimiter;
  if (!writeFully(fd_, scratch_.data(), scratch_.size(), at)) return ErrAccessDenied;
  size_ = std::max(size_, at + scratch_.size());
  bufferValid_ = false;
  position_.recordStart = at;
  position_.recordLength = scratch_.size();
  position_.recordValid = true;
  return ErrNone;
}

int AsciiFile::atEnd(bool& end) {
  if (fd_ < 0) return ErrNotOpen;
  if (writeOnly_) return ErrAccessDenied;
  if (!switches_.quickScan) bufferValid_ = false;
  const int c = byteAt(position_.nextRead - 1);
  end = c < 0 || (switches_.ctrlZIsEof && c == kCtrlZ);
  return ErrNone;
}

int AsciiFile::truncate() {
  if (fd_ < 0) return ErrNotOpen;
  if (readOnly_) return ErrAccessDenied;
  const SharedWrite guard(*this);  // not in the middle of another handle's append
  if (guard.failed()) return ErrAccessDenied;
  if (::ftruncate(fd_, 0) != 0) return ErrAccessDenied;
  size_ = 0;
  bufferValid_ = false;
  position_ = {};
  ctrlZChecked_ = false;
  return ErrNone;
}

int AsciiFile::flush() {
  if (fd_ < 0) return ErrNotOpen;
  if (readOnly_) return ErrNone;
  return ::fsync(fd_) == 0 ? ErrNone : ErrAccessDenied;
}

int AsciiFile::lock(bool wait) {
  if (fd_ < 0) return ErrNotOpen;
  if (lockDepth_ > 0) {
    ++lockDepth_;
    return ErrNone;
  }
  // An advisory lock of the open file: every handle of the driver, in this process or another,
  // excludes the others, and a waiting caller sleeps in the kernel instead of retrying.
  int rc;
  do rc = ::flock(fd_, LOCK_EX | (wait ? 0 : LOCK_NB));
  while (rc != 0 && errno == EINTR);
  if (rc != 0) return errno == EWOULDBLOCK ? ErrLocked : ErrAccessDenied;
  lockDepth_ = 1;
  return ErrNone;
}

int AsciiFile::unlock() {
  if (fd_ < 0) return ErrNotOpen;
  if (lockDepth_ == 0) return ErrNone;
  if (--lockDepth_ == 0) ::flock(fd_, LOCK_UN);
  return ErrNone;
}

}  // namespace tamsil::file
