#include "tests/spread_files/workbooks.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>

namespace spread::files {

std::string TempPath(const std::string& name) {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("spread_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return (dir / name).string();
}

std::string SampleWorkbook(const std::string& extension) {
  static const bool made = [] {
    const std::string command = "/usr/bin/python3 " SPREAD_FILES_TEST_DATA "/make_workbooks.py " + TempPath("") + " 10000";
    return std::system(command.c_str()) == 0;
  }();
  EXPECT_TRUE(made) << "python3-xlwt and python3-openpyxl are needed (scripts/install-deps)";
  return TempPath("sample." + extension);
}

}  // namespace spread::files
