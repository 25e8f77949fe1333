// Error texts and posting, declaration messages, and the code tables.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/system/last_error.h"
#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/file/codes.h"
#include "runtime/file/declaration_error.h"
#include "runtime/file/errors.h"

namespace tamsil::file {
namespace {

class FileErrorTest : public ::testing::Test {
 protected:
  ThreadContextScope context;
  std::string text() const {
    const std::string& t = currentErrorState().text;
    return t.substr(0, t.find_last_not_of(' ') + 1);
  }
};

TEST_F(FileErrorTest, TextsOfCodes) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {2, "File Not Found"},
      {0, "Unknown Error Posted"},
      {81, "Unknown Error Posted"},
      {90, "File System Error"},
      {100, "Trigger Error"},
      {302, "File Not Found"},
      {301, "Invalid Function"},
      {391, "Unknown Error"},
      {335, "Unknown Error"},
      {1234, "Unknown Error Posted : 1234"},
      {-5, "Unknown Error Posted : -5"},
      {392, "Unknown Error Posted : 392"},
  };
  for (const auto& c : cases) EXPECT_EQ(errorText(c.code), c.text) << c.code;
}

TEST_F(FileErrorTest, PostingZeroTakesTheOperatingSystemError) {
  std::FILE* f = std::fopen(::testing::TempDir().append("kestrel-missing.dat").c_str(), "rb");
  ASSERT_EQ(f, nullptr);
  platform::SetLastError(platform::win32ErrorFromErrno(errno));
  postError(0);
  EXPECT_EQ(currentErrorState().code, 302);
  EXPECT_EQ(currentErrorState().osError, 2u);
  EXPECT_EQ(text(), "File Not Found");
  EXPECT_EQ(currentErrorState().text.size(), 256u);
}

TEST_F(FileErrorTest, StoredTextLosesLeadingBlanksAndIsCut) {
  storeError(7, "   padded");
  EXPECT_EQ(text(), "padded");
  storeError(7, std::string(400, 'x'));
  EXPECT_EQ(currentErrorState().text, std::string(255, 'x') + " ");
}

TEST_F(FileErrorTest, DriverErrorRidesOnCode90AndIsClearedByTheNextPost) {
  postDriverError("E17", "disk on fire");
  EXPECT_EQ(currentErrorState().code, 90);
  EXPECT_EQ(currentErrorState().driverCode, "E17");
  postError(35);
  EXPECT_EQ(currentErrorState().driverCode, "");
  EXPECT_EQ(text(), "Record Not Found");
}

TEST_F(FileErrorTest, DeclarationErrorDetailAndText) {
  using C = DeclarationCategory;
  using S = DeclarationSide;
  const struct {
    C category;
    S side;
    int item;
    const char* name;
    int index;
    const char* detail;
    const char* message;
    int number;
  } cases[] = {
      {C::Field, S::Driver, 3, "", 3, "FIELD : 3 : TYPE : D00003", "Data type not supported", 220003},
      {C::Field, S::Self, 2, "NAME", 2, "FIELD : 2 : NAME : S00002", "Duplicate Label", 120002},
      {C::MemoBlob, S::Driver, 1, "", 3, "MEMO/BLOB : 1 : MEMO/BLOB : D00003", "Too Many Memos defined", 230003},
      {C::MemoBlob, S::Driver, 1, "", 7, "MEMO/BLOB : 1 : BINARY : D00007", "Driver does not support BINARY memos or blobs", 230007},
      {C::Key, S::Driver, 4, "", 2, "KEY : 4 : LABEL : D00002", "No Name or Label Specified", 240002},
      {C::Key, S::Driver, 4, "", 3, "KEY : 4 : KEY : D00003", "Too Many Keys defined", 240003},
      {C::File, S::Self, 1, "", 1, "FILE : 1 : UNKNOWN : S00001", "No File Driver Specified", 110001},
      {C::System, S::Driver, 1, "Driver", 2, "SYSTEM : 1 : Driver : D00002", "Dynamic File Support Not Found", 200002},
      {C::Component, S::Self, 9, "K", 9, "COMPONENT : 9 : K : S00009", "Unknown Error", 150009},
      {C::Unknown, S::Self, 1, "", 1, "UNKNOWN : 1 : UNKNOWN : S00001", "Unknown Error", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(declarationError(c.category, c.side, c.item, c.name, c.index), 47);
    EXPECT_EQ(currentErrorState().code, 47);
    EXPECT_EQ(text(), c.detail);
    EXPECT_EQ(currentErrorState().driverCode, c.detail);
    EXPECT_EQ(currentErrorState().driverText, c.message);
    EXPECT_EQ(declarationMessageNumber(c.category, c.side, c.index), c.number);
  }
}

// The error state a thread reaches quickly is the one of its current context: a context made
// after another has gone starts clear, and another thread has its own.
TEST(ErrorStateTest, FollowsTheThreadsContext) {
  {
    ThreadContextScope first;
    storeError(33, "Record Not Available");
    storeDriverError("D1", "detail");
    ASSERT_EQ(currentErrorState().code, 33);
  }
  for (int round = 0; round < 3; ++round) {
    ThreadContextScope next;
    EXPECT_EQ(&currentErrorState(), &next.context().layer<ErrorState>(ThreadContext::Layer::ErrorState));
    EXPECT_EQ(currentErrorState().code, 0);
    EXPECT_TRUE(currentErrorState().driverCode.empty());
    storeError(5, "Access Denied");
  }
  ThreadContextScope mine;
  storeError(2, "File Not Found");
  int seen = -1;
  std::thread([&] {
    ThreadContextScope theirs;
    seen = currentErrorState().code;
    storeError(37, "File Not Open");
  }).join();
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(currentErrorState().code, 2);
}

TEST(ErrorStateTest, ClearingResetsEveryPart) {
  ThreadContextScope context;
  const auto clear = [] {
    const ErrorState& s = currentErrorState();
    return s.code == 0 && s.osError == 0 && s.driverCode.empty() && s.driverText.empty() && s.text == std::string(ErrorState::kTextWidth, ' ');
  };
  // Each part alone left set is found and cleared.
  const std::function<void(ErrorState&)> dirty[] = {
      [](ErrorState& s) { s.code = 33; },        [](ErrorState& s) { s.osError = 2; },   [](ErrorState& s) { s.driverCode = "D"; },
      [](ErrorState& s) { s.driverText = "T"; }, [](ErrorState& s) { s.text[0] = 'X'; }, [](ErrorState& s) { s.text.resize(10); },
  };
  for (const auto& d : dirty) {
    d(currentErrorState());
    clearError();
    EXPECT_TRUE(clear());
  }
  clearError();  // already clear
  EXPECT_TRUE(clear());
}

TEST(CodeTablesTest, NamesAtTheEdgesAndOutside) {
  const struct {
    int code;
    const char* operation;
    const char* type;
  } cases[] = {{0, "(0)", "END"},         {1, "ADD", "BYTE"},          {17, "GETkeyptr", "(17)"},
               {30, "PUT", "STDNUM"},     {31, "PREVIOUS", "UNKNOWN"}, {47, "SETkeykeyptr", "UNKNOWN"},
               {101, "(101)", "UNKNOWN"}, {104, "DESTROY", "UNKNOWN"}, {105, "", "UNKNOWN"},
               {-1, "", "UNKNOWN"}};
  for (const auto& c : cases) {
    EXPECT_EQ(operationName(c.code), c.operation) << c.code;
    EXPECT_EQ(dataTypeName(c.code), c.type) << c.code;
  }
  EXPECT_TRUE(listsRecord(OpRegetKey));
  EXPECT_FALSE(listsRecord(7));  // CLOSE
}

}  // namespace
}  // namespace tamsil::file
