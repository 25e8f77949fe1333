#include "components/spread/formats/atomic_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace spread::files {
namespace {

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
  return false;
}

}  // namespace

std::string TempPathBeside(const std::string& path) { return path + ".tmp" + std::to_string(::getpid()); }

bool CommitTempFile(const std::string& tmp, const std::string& path, std::string* error, Durability durability) {
  bool synced = true;
  if (durability == Durability::Synced) {
    const int fd = ::open(tmp.c_str(), O_RDONLY);
    synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
  }
  if (!synced || std::rename(tmp.c_str(), path.c_str()) != 0) {
    const bool r = Fail(error, "cannot write " + path);
    std::remove(tmp.c_str());
    return r;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error, Durability durability) {
  const std::string tmp = TempPathBeside(path);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, "cannot create " + tmp);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.flush();
    if (!out) {
      std::remove(tmp.c_str());
      return Fail(error, "cannot write " + tmp);
    }
  }
  return CommitTempFile(tmp, path, error, durability);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

}  // namespace spread::files
