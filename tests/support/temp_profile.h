// A profile directory of a test's own: created empty, made the process's TAMSIL_PROFILE_DIR for
// the object's lifetime, then removed with everything written into it and the previous setting
// put back. Tests that touch INI files or the registry never see the user's profile, nor another
// test's.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace kestrel::testing {

class TempProfileDir {
 public:
  explicit TempProfileDir(const std::string& name = "kestrel_profile") {
    std::string templ = (std::filesystem::temp_directory_path() / (name + ".XXXXXX")).string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("cannot create a temporary profile directory");
    path_ = templ;
    if (const char* old = getenv("TAMSIL_PROFILE_DIR")) previous_ = old;
    setenv("TAMSIL_PROFILE_DIR", path_.c_str(), 1);
  }
  ~TempProfileDir() {
    if (previous_) setenv("TAMSIL_PROFILE_DIR", previous_->c_str(), 1);
    else unsetenv("TAMSIL_PROFILE_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempProfileDir(const TempProfileDir&) = delete;
  TempProfileDir& operator=(const TempProfileDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::optional<std::string> previous_;
};

}  // namespace kestrel::testing
