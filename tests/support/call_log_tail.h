// The lines the process's grid call log (OVSPREAD_CALLLOG, a temporary file of the test process's
// own, set before the grid first logs: the component reads the variable once) received since the
// last mark. Tests that drive the grid compare what it was sent with these lines.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kestrel::testing {

class CallLogTail {
 public:
  CallLogTail() { mark(); }

  void mark() {
    std::error_code ignored;
    const auto size = std::filesystem::file_size(path(), ignored);
    start_ = ignored ? 0 : std::size_t(size);
  }

  std::vector<std::string> lines() const {
    std::ifstream in(path());
    in.seekg(std::streamoff(start_));
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }

  static const std::string& path() {
    static const std::string p = [] {
      const std::string made = (std::filesystem::temp_directory_path() / ("kestrel_calllog." + std::to_string(getpid()))).string();
      setenv("OVSPREAD_CALLLOG", made.c_str(), 1);
      return made;
    }();
    return p;
  }

 private:
  std::size_t start_ = 0;
};

}  // namespace kestrel::testing
