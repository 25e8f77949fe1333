// Token substitution: the fixed order (longer tokens before their prefixes), the driver's own
// message for file-system errors, "%Previous", values that hold tokens, and the length limit.
#include <gtest/gtest.h>

#include "framework/error/expand_tokens.h"

namespace tamsil::framework {
namespace {

ErrorContext context(std::string message) {
  ErrorContext c;
  c.ERRORBUFFER.MESSAGE = std::move(message);
  c.ERRORBUFFER.CATEGORY = "ERRCAT";
  c.FIELDNAME = "?Name";
  c.FILENAME = "Customers";
  c.KEYNAME = "CUS:ByName";
  c.MESSAGETEXT = "the note";
  c.SAVEERROR = "File Not Found";
  c.SAVEERRORCODE = 2;
  c.SAVEFILEERROR = "Disk quota exceeded";
  c.SAVEFILEERRORCODE = "D122";
  c.PREVERRORID = 7;
  return c;
}

TokenSources sources() {
  TokenSources s;
  s.procedure = "UpdateCustomer";
  s.messageOf = [](std::int32_t id) { return id == 7 ? std::string("The first error.") : std::string(); };
  return s;
}

struct Case {
  const char* message;
  const char* expected;
};

class TokenOrder : public ::testing::TestWithParam<Case> {};

TEST_P(TokenOrder, ReplacesEveryTokenByItsValue) { EXPECT_EQ(expandTokens(context(GetParam().message), sources()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    ExpandTokens, TokenOrder,
    ::testing::Values(Case{"%FileErrorCode", "D122"}, Case{"%FileError", "Disk quota exceeded"}, Case{"%File", "Customers"},
                      Case{"[%FileErrorCode|%FileError|%File]", "[D122|Disk quota exceeded|Customers]"}, Case{"%Key", "CUS:ByName"},
                      Case{"%ErrorCode", "2"}, Case{"%ErrorText", "File Not Found (2)"}, Case{"%Error", "File Not Found"},
                      Case{"%ErrorCode %ErrorText %Error", "2 File Not Found (2) File Not Found"}, Case{"%Message", "the note"},
                      Case{"%Field", "?Name"}, Case{"%Procedure", "UpdateCustomer"}, Case{"%Category", "ERRCAT"},
                      Case{"%Previous", "The first error."}, Case{"%File %File%File", "Customers CustomersCustomers"},
                      Case{"100% sure, %", "100% sure, %"}, Case{"%file stays", "%file stays"}, Case{"%Files", "Customerss"}));

TEST(ExpandTokens, FileSystemErrorsShowTheDriversMessageAndCode) {
  for (const int code : {kFileSystemError, kDriverErrorCode}) {
    ErrorContext c = context("Error: %ErrorText.");
    c.SAVEERRORCODE = code;
    EXPECT_EQ(expandTokens(c, sources()), "Error: Disk quota exceeded (D122).") << code;
  }
  ErrorContext c = context("%ErrorText");
  c.SAVEERRORCODE = 91;
  EXPECT_EQ(expandTokens(c, sources()), "File Not Found (91)");
}

// A value that holds a token is not replaced again by its own kind, and a later kind replaces it:
// the order is part of the result.
TEST(ExpandTokens, ValuesHoldingTokens) {
  ErrorContext c = context("%File");
  c.FILENAME = "%File and %Key";
  EXPECT_EQ(expandTokens(c, sources()), "%File and CUS:ByName");
  c = context("%Message");
  c.MESSAGETEXT = "%File";
  EXPECT_EQ(expandTokens(c, sources()), "%File");  // %File came before %Message
}

TEST(ExpandTokens, PreviousWithoutAnEntryIsEmpty) {
  ErrorContext c = context("[%Previous]");
  c.PREVERRORID = 99;
  EXPECT_EQ(expandTokens(c, sources()), "[]");
  TokenSources none = sources();
  none.messageOf = nullptr;
  EXPECT_EQ(expandTokens(context("[%Previous]"), none), "[]");
}

TEST(ExpandTokens, TheResultIsCutAt2000Characters) {
  ErrorContext c = context(std::string(30, 'x') + "%Message%Message%Message%Message%Message%Message%Message%Message%Message");
  c.MESSAGETEXT = std::string(250, 'm');
  const std::string text = expandTokens(c, sources());
  EXPECT_EQ(text.size(), kExpandedTextSize);
  EXPECT_EQ(text.substr(0, 31), std::string(30, 'x') + "m");
}

TEST(ReplaceAll, ResumesAfterTheInsertedValue) {
  std::string text = "aXbXc";
  replaceAll(text, "X", "XX");
  EXPECT_EQ(text, "aXXbXXc");
  text = "XXX";
  replaceAll(text, "XX", "");
  EXPECT_EQ(text, "X");
}

}  // namespace
}  // namespace tamsil::framework
