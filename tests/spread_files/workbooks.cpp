#include "tests/spread_files/workbooks.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>

namespace spread::files {

namespace {

// The test's temporary folder, removed when the test program ends.
struct TempDir {
  std::filesystem::path path = std::filesystem::temp_directory_path() / ("spread_files_" + std::to_string(::getpid()));
  TempDir() { std::filesystem::create_directories(path); }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

std::string TempPath(const std::string& name) {
  static const TempDir dir;
  return (dir.path / name).string();
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
