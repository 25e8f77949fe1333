// What the text driver's tests share: a folder of their own, files written and read back whole,
// and a file driven through the dispatcher.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "runtime/core/thread_context.h"
#include "runtime/file/ascii_driver.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/driver_file.h"

namespace tamsil::file::testing {

class AsciiTest : public ::testing::Test {
 protected:
  AsciiTest() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');  // cases of a table: one folder each, removed whole
    dir_ = std::filesystem::temp_directory_path() / ("kestrel-ascii-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::create_directories(dir_);
  }
  ~AsciiTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::string write(const std::string& name, const std::string& content) const {
    const std::string p = path(name);
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // A file of the given content opened with the mode and driver string.
  std::unique_ptr<DriverFile> open(const std::string& content, std::size_t recordSize, const std::string& driverString = {},
                                   unsigned mode = AccessReadWrite | DenyNone, const std::string& name = "data.txt") {
    auto f = std::make_unique<DriverFile>(asciiDriver(), write(name, content), recordSize, driverString);
    EXPECT_EQ(f->call(OpOpen, {std::intptr_t(mode)}), 0);
    return f;
  }

  // The records NEXT reads until it fails, each cut of its trailing blanks.
  static std::vector<std::string> records(DriverFile& f) {
    std::vector<std::string> out;
    while (f.call(OpNext) == 0) {
      std::string r(f.recordText());
      r.erase(r.find_last_not_of(' ') + 1);
      out.push_back(r);
    }
    return out;
  }

  ThreadContextScope context_;
  std::filesystem::path dir_;
};

}  // namespace tamsil::file::testing
