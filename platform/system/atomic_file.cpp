#include "platform/system/detail/atomic_file.h"

#include <fstream>
#include <string>

#include <unistd.h>

namespace platform::detail {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents, bool sole) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::filesystem::path tmp = path;
  tmp += sole ? std::string(".tmp") : ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contents.data(), std::streamsize(contents.size()));
    out.flush();
    if (!out) {
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) std::filesystem::remove(tmp, ec);
  return !ec;
}

}  // namespace platform::detail
