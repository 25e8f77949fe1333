// The error table's stored form: the default table reads back entry for entry in its stored
// order with its exact texts, writing and reading are inverse, and bytes that are not exactly one
// table are refused whole.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/error/error_table.h"

namespace tamsil::framework {
namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) out.push_back(std::uint8_t(v));
  return out;
}

TEST(ErrorTable, TheDefaultTableReadsBackInItsStoredOrder) {
  const auto entries = decodeErrorTable(defaultErrorTable());
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 52u);
  const auto written = defaultErrorDefinitions();
  for (std::size_t i = 0; i < entries->size(); ++i) {
    EXPECT_EQ((*entries)[i].id, written[i].id) << i;
    EXPECT_EQ((*entries)[i].fatality, written[i].fatality) << i;
    EXPECT_EQ((*entries)[i].title, written[i].title) << i;
    EXPECT_EQ((*entries)[i].message, written[i].message) << i;
  }
  // Every id from 1 to 53 once, except 32.
  std::set<int> ids;
  for (const auto& e : *entries) ids.insert(e.id);
  EXPECT_EQ(ids.size(), 52u);
  EXPECT_EQ(*ids.begin(), 1);
  EXPECT_EQ(*ids.rbegin(), 53);
  EXPECT_FALSE(ids.contains(32));
}

// Entries checked by position: the order, the severities and texts that are easy to get wrong
// (trailing blanks, double blanks, quotes, line marks).
TEST(ErrorTable, DefaultEntriesByPosition) {
  struct Expected {
    std::size_t position;
    int id, fatality;
    const char* title;
    const char* message;
  };
  const Expected cases[] = {
      {0, 30, 5, "Invalid Key", "%File key file is invalid. Key must be rebuilt."},
      {1, 29, 3, "Key was not built", "Error: (%ErrorText) repairing key for %File."},
      {10, 4, 5, "Record Insert Error", "An error was experienced during the creation of a record.|File: %File|Error: %ErrorText."},
      {18, 10, 1, "Changes will be lost!", "Are you sure you want to cancel?"},
      {21, 21, 5, "File Load Error", "%File File Load Error.  Error: %ErrorText."},
      {25, 26, 3, "File Access Error", "File %File could not be opened.  Error: %ErrorText."},
      {39, 42, 2, "File Usage Error", "Attempt to use file (%File) before it was opened"},
      {41, 45, 5, "SMTP Error", "The following SMTP Error occurred: %Message "},
      {42, 46, 5, "NNTP Error", "%Message "},
      {43, 47, 5, "Winsock Error", "%Message "},
      {49, 52, 5, "Report Writer Error", "Poorly Formed Comment String \"%Message\" at Position %Field."},
      {51, 9, 5, "Record Retrieval Error",
       "This record was changed or deleted by another station.|Error: (%ErrorText) attempting to access a record from the %File file."},
  };
  const auto entries = decodeErrorTable(defaultErrorTable());
  ASSERT_TRUE(entries);
  for (const Expected& c : cases) {
    const ErrorDefinition& e = (*entries)[c.position];
    EXPECT_EQ(e.id, c.id) << c.position;
    EXPECT_EQ(e.fatality, c.fatality) << c.position;
    EXPECT_EQ(e.title, c.title) << c.position;
    EXPECT_EQ(e.message, c.message) << c.position;
  }
}

TEST(ErrorTable, WritingAndReadingAreInverse) {
  const auto stored = encodeErrorTable(defaultErrorDefinitions());
  ASSERT_TRUE(stored);
  const auto expected = defaultErrorTable();
  EXPECT_EQ(*stored, std::vector<std::uint8_t>(expected.begin(), expected.end()));

  const std::string longest(255, 'x');
  const ErrorDefinition edge[] = {{0, 0, "", ""}, {65535, 255, longest, longest}};
  const auto written = encodeErrorTable(edge);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->size(), 2u + 5u + 5u + 2 * 255u);
  const auto read = decodeErrorTable(*written);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 2u);
  EXPECT_EQ((*read)[1].id, 65535);
  EXPECT_EQ((*read)[1].fatality, 255);
  EXPECT_EQ((*read)[1].message, longest);
}

TEST(ErrorTable, ATextTooLongForTheStoredFormIsRefused) {
  const std::string tooLong(256, 'x');
  const ErrorDefinition entries[] = {{1, 5, "Title", tooLong}};
  EXPECT_FALSE(encodeErrorTable(entries));
  const ErrorDefinition titled[] = {{1, 5, tooLong, "Text"}};
  EXPECT_FALSE(encodeErrorTable(titled));
}

struct Malformed {
  const char* name;
  std::vector<std::uint8_t> stored;
};

class MalformedTable : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedTable, IsRefusedWhole) { EXPECT_FALSE(decodeErrorTable(GetParam().stored)); }

INSTANTIATE_TEST_SUITE_P(ErrorTable, MalformedTable,
                         ::testing::Values(Malformed{"Empty", {}}, Malformed{"HalfACount", bytes({1})},
                                           Malformed{"CountPromisesMore", bytes({2, 0, 1, 0, 5, 1, 'T', 1, 'M'})},
                                           Malformed{"HugeCount", bytes({0xFF, 0xFF, 1, 0, 5, 0, 0})},
                                           Malformed{"TitleRunsPastTheEnd", bytes({1, 0, 1, 0, 5, 9, 'T'})},
                                           Malformed{"MessageRunsPastTheEnd", bytes({1, 0, 1, 0, 5, 1, 'T', 3, 'M'})},
                                           Malformed{"NoMessageLength", bytes({1, 0, 1, 0, 5, 1, 'T'})},
                                           Malformed{"BytesLeftOver", bytes({1, 0, 1, 0, 5, 1, 'T', 1, 'M', 0})},
                                           Malformed{"EntryCutInItsId", bytes({1, 0, 1})}),
                         [](const auto& p) { return p.param.name; });

TEST(ErrorTable, AnEmptyTableIsATable) {
  const auto entries = decodeErrorTable(bytes({0, 0}));
  ASSERT_TRUE(entries);
  EXPECT_TRUE(entries->empty());
}

}  // namespace
}  // namespace tamsil::framework
