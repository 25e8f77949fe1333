// The sample workbooks the file tests share: written once per test run by
// data/make_workbooks.py with Debian's python3-xlwt and python3-openpyxl.
#pragma once

#include <string>

namespace spread::files {

// ".../sample.xls" or ".../sample.xlsx", made on first use (the test fails when they cannot be).
std::string SampleWorkbook(const std::string& extension);
// A path in the test's own temporary folder.
std::string TempPath(const std::string& name);

}  // namespace spread::files
