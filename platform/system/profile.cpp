#include "platform/system/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system/detail/atomic_file.h"
#include "platform/system/detail/file_lock.h"
#include "platform/system/last_error.h"

namespace platform {
namespace {

// One process-wide lock: a read never sees a write half done by another thread of this process;
// other processes' readers are protected by the atomic rename, their writers by a FileLock.
std::mutex& profileLock() {
  static std::mutex lock;
  return lock;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A file descriptor closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Whether section, key and value would read back as written: a line break would add lines (and
// so entries or sections), a ']' ends a section's name early, a '=' ends a key early, and a key
// beginning with '[' or ';' reads as a section heading or a comment. Null key and value pass.
bool storable(std::string_view section, const char* key, const char* value) {
  auto breaksLine = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
  if (breaksLine(section) || section.find(']') != std::string_view::npos) return false;
  if (key) {
    const std::string_view k = trim(key);
    if (breaksLine(k) || k.find('=') != std::string_view::npos || k.starts_with('[') || k.starts_with(';')) return false;
  }
  return !value || !breaksLine(value);
}

enum class FileState {
  kRead,     // a regular file within the size limit (or no file: nothing to read)
  kRefused,  // not a regular file, or too large: read as empty, never written over
};

// The whole text of a profile file, or nothing when it is refused. The file is opened without
// waiting (a pipe with no writer would block the open) and checked before anything is read; the
// read stops one byte past the limit, so a file that grows meanwhile is refused too.
std::optional<std::string> readProfileText(const std::filesystem::path& path) {
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || size_t(st.st_size) > kMaxProfileFileSize) return std::nullopt;
  std::string text;
  text.reserve(size_t(st.st_size));
  char chunk[16 * 1024];
  while (text.size() <= kMaxProfileFileSize) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    text.append(chunk, size_t(n));
  }
  if (text.size() > kMaxProfileFileSize) return std::nullopt;
  return text;
}

// The file as lines (without terminators), so that a write keeps comments and layout.
struct ProfileFile {
  std::vector<std::string> lines;
  bool crlf = false;
  FileState state = FileState::kRead;

  static ProfileFile read(const std::filesystem::path& path) {
    ProfileFile f;
    const std::optional<std::string> text = readProfileText(path);
    if (!text) {
      f.state = FileState::kRefused;
      return f;
    }
    std::istringstream in(*text);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
        f.crlf = true;
      }
      f.lines.push_back(std::move(line));
    }
    return f;
  }

  // The section name of a "[name]" line, or nothing for any other line.
  static std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
  }

  // The key of a "key=value" line, or nothing (comments, blank lines, lines without '=').
  static std::optional<std::string_view> keyOf(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trim(t.substr(0, eq));
  }

  // [begin, end) of the first section named name: begin is its header line.
  std::optional<std::pair<size_t, size_t>> findSection(std::string_view name) const {
    for (size_t i = 0; i < lines.size(); ++i) {
      const auto s = sectionOf(lines[i]);
      if (!s || !sameName(*s, name)) continue;
      size_t end = i + 1;
      while (end < lines.size() && !sectionOf(lines[end])) ++end;
      return std::make_pair(i, end);
    }
    return std::nullopt;
  }

  std::optional<size_t> findKey(std::pair<size_t, size_t> section, std::string_view key) const {
    for (size_t i = section.first + 1; i < section.second; ++i) {
      const auto k = keyOf(lines[i]);
      if (k && sameName(*k, key)) return i;
    }
    return std::nullopt;
  }

  // Writes to a temporary file beside the target and renames it over the target; `sole` when
  // the caller holds the target's FileLock.
  bool write(const std::filesystem::path& path, bool sole) const {
    const char* eol = crlf ? "\r\n" : "\n";
    std::string text;
    for (const std::string& l : lines) text += l + eol;
    return detail::writeFileAtomically(path, text, sole);
  }
};

std::string_view valueOf(std::string_view line) {
  std::string_view v = trim(line.substr(line.find('=') + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return v;
}

// Copies a single value with the Win32 truncation rule (size - 1 characters at most).
uint32_t copyValue(std::string_view value, char* buffer, uint32_t size) {
  if (size == 0 || buffer == nullptr) return 0;
  const size_t n = std::min<size_t>(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return uint32_t(n);
}

// Copies a NUL-separated list ending in a double NUL; a list that does not fit is cut so that it
// still ends in two NULs, and size - 2 is returned.
uint32_t copyList(const std::vector<std::string_view>& names, char* buffer, uint32_t size) {
  if (size == 0 || buffer == nullptr) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  std::string all;
  for (std::string_view n : names) {
    all.append(n);
    all.push_back('\0');
  }
  if (all.size() + 1 <= size) {
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    return uint32_t(all.size());
  }
  std::memcpy(buffer, all.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace

std::filesystem::path profileDirectory() {
  if (const char* dir = std::getenv("TAMSIL_PROFILE_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "kestrel24";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".config" / "kestrel24";
}

std::filesystem::path profilePath(std::string_view fileName) {
  if (fileName.find('/') != std::string_view::npos) return std::filesystem::path(fileName);
  return profileDirectory() / std::filesystem::path(fileName);
}

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, uint32_t size,
                                  const char* fileName) {
  if (fileName == nullptr) fileName = "win.ini";
  std::lock_guard<std::mutex> hold(profileLock());
  const ProfileFile file = ProfileFile::read(profilePath(fileName));
  std::vector<std::string_view> names;
  if (section == nullptr) {
    for (const std::string& l : file.lines)
      if (const auto s = ProfileFile::sectionOf(l)) names.push_back(*s);
    return copyList(names, buffer, size);
  }
  const auto found = file.findSection(section);
  if (key == nullptr) {
    if (found)
      for (size_t i = found->first + 1; i < found->second; ++i)
        if (const auto k = ProfileFile::keyOf(file.lines[i])) names.push_back(*k);
    return copyList(names, buffer, size);
  }
  if (found)
    if (const auto line = file.findKey(*found, key)) return copyValue(valueOf(file.lines[*line]), buffer, size);
  std::string_view def = defaultValue ? defaultValue : "";
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return copyValue(def, buffer, size);
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* fileName) {
  if (section == nullptr || key == nullptr) return unsigned(defaultValue);
  constexpr const char* kAbsent = "\x01";  // a value no stored line can hold
  char text[64];
  GetPrivateProfileStringA(section, key, kAbsent, text, sizeof text, fileName);
  if (std::strcmp(text, kAbsent) == 0) return unsigned(defaultValue);
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  }
  unsigned value = 0;
  for (;; ++p) {
    int digit;
    if (*p >= '0' && *p <= '9') digit = *p - '0';
    else if (base == 16 && *p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
    else if (base == 16 && *p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
    else break;
    value = value * unsigned(base) + unsigned(digit);  // wraps like the 32-bit original
  }
  return negative ? 0u - value : value;
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName) {
  if (section == nullptr) return key == nullptr && value == nullptr ? 1 : 0;
  if (!storable(section, key, value)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (fileName == nullptr) fileName = "win.ini";
  std::lock_guard<std::mutex> hold(profileLock());
  const std::filesystem::path path = profilePath(fileName);
  std::error_code ignored;
  // Removing from a file that does not exist changes nothing (and must not create it).
  if ((key == nullptr || value == nullptr) && !std::filesystem::exists(path, ignored)) return 1;
  const detail::FileLock locked(path);
  ProfileFile file = ProfileFile::read(path);
  if (file.state == FileState::kRefused) return 0;
  auto found = file.findSection(section);
  if (key == nullptr) {
    if (!found) return 1;
    file.lines.erase(file.lines.begin() + long(found->first), file.lines.begin() + long(found->second));
    return file.write(path, locked.held()) ? 1 : 0;
  }
  if (!found) {
    if (value == nullptr) return 1;
    file.lines.push_back("[" + std::string(section) + "]");
    found = std::make_pair(file.lines.size() - 1, file.lines.size());
  }
  if (const auto line = file.findKey(*found, key)) {
    if (value == nullptr) {
      file.lines.erase(file.lines.begin() + long(*line));
    } else {
      std::string written = std::string(*ProfileFile::keyOf(file.lines[*line])) + "=" + value;  // keeps the stored spelling
      // A value already stored as it would be written leaves the file untouched: no rewrite,
      // no rename, so a program saving unchanged settings costs one read.
      if (written == file.lines[*line]) return 1;
      file.lines[*line] = std::move(written);
    }
  } else {
    if (value == nullptr) return 1;
    // After the section's last non-blank line, so blank separator lines stay between sections.
    size_t at = found->second;
    while (at > found->first + 1 && trim(file.lines[at - 1]).empty()) --at;
    file.lines.insert(file.lines.begin() + long(at), std::string(key) + "=" + value);
  }
  return file.write(path, locked.held()) ? 1 : 0;
}

uint32_t GetProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, uint32_t size) {
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, "win.ini");
}

unsigned GetProfileIntA(const char* section, const char* key, int defaultValue) {
  return GetPrivateProfileIntA(section, key, defaultValue, "win.ini");
}

int WriteProfileStringA(const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, "win.ini");
}

}  // namespace platform
