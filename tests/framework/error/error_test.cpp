#include "tests/framework/error/error_test.h"

#include <unistd.h>

#include <fstream>

#include "runtime/core/error_state.h"

namespace tamsil::framework::testing {

std::vector<window::MessageBoxRequest> ErrorTest::boxes;
std::deque<unsigned> ErrorTest::answers;

namespace {
unsigned recordBox(const window::MessageBoxRequest& request) {
  ErrorTest::boxes.push_back(request);
  if (ErrorTest::answers.empty()) return request.defaultButton;
  const unsigned answer = ErrorTest::answers.front();
  ErrorTest::answers.pop_front();
  return answer;
}
}  // namespace

void ErrorTest::SetUp() {
  RuntimeTest::SetUp();
  boxes.clear();
  answers.clear();
  previousHook_ = window::SetMessageHook(recordBox);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir = std::filesystem::temp_directory_path() / ("kestrel-error-" + std::to_string(::getpid()) + "-" + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  previousDir_ = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  clearError();
}

void ErrorTest::TearDown() {
  std::filesystem::current_path(previousDir_);
  std::filesystem::remove_all(dir);
  window::SetMessageHook(previousHook_);
  RuntimeTest::TearDown();
}

std::vector<std::string> ErrorTest::lines(const std::string& name) const {
  std::ifstream in(dir / name);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();  // the driver ends its lines with CR LF
    out.push_back(line);
  }
  return out;
}

}  // namespace tamsil::framework::testing
