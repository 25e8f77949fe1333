// Helpers shared by the settings store's tests: a profile directory of the test's own and the
// text of a file in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_profile.h"

namespace tamsil::framework::testing {

inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tamsil::framework::testing
