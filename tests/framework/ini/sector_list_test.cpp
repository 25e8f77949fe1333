// Lists kept in the store: the sector list that Open reads and Close writes back, lists of one to
// four fields, lists refused because they would not read back, and a damaged count.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/ini/ini_store.h"
#include "tests/framework/ini/ini_test.h"

namespace tamsil::framework {
namespace {

using testing::fileText;

class SectorListTest : public ::testing::TestWithParam<StorageKind> {
 protected:
  std::string fileName() const { return GetParam() == StorageKind::Registry ? "Software\\Kestrel24" : "Test.INI"; }
  kestrel::testing::TempProfileDir profile_{"sector_list_test"};
};

TEST_P(SectorListTest, TwoEntriesWrittenByCloseComeBackWithOpen) {
  const std::vector<Sector> sectors{{"Family", "Item", "Type"}, {"F2", "I2", "T2"}};
  {
    IniStore store;
    store.Open(fileName(), GetParam());
    ASSERT_TRUE(store.SECTORS);
    EXPECT_TRUE(store.SECTORS->empty());
    *store.SECTORS = sectors;
    store.Close();
    EXPECT_FALSE(store.SECTORS);
    store.Close();  // a second Close has nothing to write
    EXPECT_EQ(store.Read("__Dont_Touch_Me__", "Sectors"), "2");
    EXPECT_EQ(store.Read("__Dont_Touch_Me__", "Sectors_1"), "Family,Item,Type");
    EXPECT_EQ(store.Read("__Dont_Touch_Me__", "Sectors_2"), "F2,I2,T2");
  }
  IniStore again;
  again.Open(fileName(), GetParam());
  ASSERT_TRUE(again.SECTORS);
  EXPECT_EQ(*again.SECTORS, sectors);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SectorListTest, ::testing::Values(StorageKind::IniFile, StorageKind::Registry),
                         [](const ::testing::TestParamInfo<StorageKind>& p) {
                           return p.param == StorageKind::IniFile ? "IniFile" : "Registry";
                         });

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override { store.Open("Test.INI", StorageKind::IniFile); }
  std::string file() { return fileText(profile_.path() / "Test.INI"); }
  kestrel::testing::TempProfileDir profile_{"list_test"};
  IniStore store;
};

struct Row {
  std::string a, b, c, d;
  bool operator==(const Row&) const = default;
};

TEST_F(ListTest, RowsOfOneToFourFieldsRoundTrip) {
  const std::vector<Row> rows{{"1", "2", "3", "4"}, {"", "x y", "", "last"}};
  ASSERT_TRUE(store.SaveList("L", "One", rows, &Row::a));
  ASSERT_TRUE(store.SaveList("L", "Two", rows, &Row::b, &Row::d));
  ASSERT_TRUE(store.SaveList("L", "Four", rows, &Row::a, &Row::b, &Row::c, &Row::d));
  EXPECT_EQ(store.Read("L", "Four_2"), ",x y,,last");

  std::vector<Row> one, two, four;
  store.LoadList("L", "One", one, &Row::a);
  store.LoadList("L", "Two", two, &Row::b, &Row::d);
  store.LoadList("L", "Four", four, &Row::a, &Row::b, &Row::c, &Row::d);
  EXPECT_EQ(one, (std::vector<Row>{{"1", "", "", ""}, {"", "", "", ""}}));
  EXPECT_EQ(two, (std::vector<Row>{{"", "2", "", "4"}, {"", "x y", "", "last"}}));
  EXPECT_EQ(four, rows);
}

TEST_F(ListTest, LoadListAppendsToWhatTheListHolds) {
  ASSERT_TRUE(store.SaveList("L", "N", std::vector<Row>{{"new", "", "", ""}}, &Row::a));
  std::vector<Row> list{{"old", "", "", ""}};
  store.LoadList("L", "N", list, &Row::a);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].a, "new");
}

TEST_F(ListTest, AListThatWouldNotReadBackIsRefusedBeforeAnythingIsWritten) {
  const std::vector<std::vector<Row>> refused{
      {{"ok", "", "", ""}, {"a,b", "", "", ""}},           // the comma would split the field
      {{"x\n[Evil]\nk=v", "", "", ""}},                    // a line break would add lines
      {{std::string(kValueBufferSize, 'x'), "", "", ""}},  // longer than a read returns
  };
  for (const std::vector<Row>& rows : refused) {
    EXPECT_FALSE(store.SaveList("L", "N", rows, &Row::a));
    EXPECT_EQ(file(), "");
  }
}

TEST_F(ListTest, ADamagedCountEndsAtTheFirstMissingRow) {
  ASSERT_TRUE(store.Write("__Dont_Touch_Me__", "Sectors", "4000000000"));
  ASSERT_TRUE(store.Write("__Dont_Touch_Me__", "Sectors_1", "F,I,T"));
  IniStore other;
  const auto start = std::chrono::steady_clock::now();
  other.Open("Test.INI", StorageKind::IniFile);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_TRUE(other.SECTORS);
  EXPECT_EQ(*other.SECTORS, (std::vector<Sector>{{"F", "I", "T"}}));
}

TEST_F(ListTest, SectorFieldsAreCutToTheirFieldSize) {
  const std::string longText(150, 'x');
  ASSERT_TRUE(store.Write("__Dont_Touch_Me__", "Sectors", 1));
  ASSERT_TRUE(store.Write("__Dont_Touch_Me__", "Sectors_1", longText + ",i,t"));
  IniStore other;
  other.Open("Test.INI", StorageKind::IniFile);
  ASSERT_EQ(other.SECTORS->size(), 1u);
  EXPECT_EQ(other.SECTORS->front().FAMILY, longText.substr(0, kSectorFieldSize - 1));
}

// A store of a program's own: the list goes through its WriteValue, and AfterOpen comes before
// the sector list is read.
class RecordingStore : public IniStore {
 public:
  bool WriteValue(std::string_view sector, std::string_view name, std::string_view value) override {
    writes.push_back(std::string(sector) + "/" + std::string(name) + "=" + std::string(value));
    return IniStore::WriteValue(sector, name, value);
  }
  void AfterOpen() override { sectorsWhenOpened = SECTORS ? long(SECTORS->size()) : -1; }
  std::vector<std::string> writes;
  long sectorsWhenOpened = -2;
};

TEST_F(ListTest, ADerivedStoreSeesEveryWriteAndAfterOpenBeforeTheListIsRead) {
  *store.SECTORS = {{"f", "i", "t"}};
  store.Close();
  RecordingStore recording;
  recording.Open("Test.INI", StorageKind::IniFile);
  EXPECT_EQ(recording.sectorsWhenOpened, 0);
  EXPECT_EQ(recording.SECTORS->size(), 1u);
  recording.Close();
  EXPECT_EQ(recording.writes, (std::vector<std::string>{"__Dont_Touch_Me__/Sectors=1", "__Dont_Touch_Me__/Sectors_1=f,i,t"}));
}

}  // namespace
}  // namespace tamsil::framework
