// The member table: every name the demo's wrapper sends is a member, names match without case,
// DISPIDs are stable and unique, and InvokeMember checks counts, access and types.
#include <fstream>
#include <set>

#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using platform::DISP_E_BADPARAMCOUNT;
using platform::DISP_E_MEMBERNOTFOUND;
using platform::DISP_E_TYPEMISMATCH;
using platform::E_NOTIMPL;
using platform::S_OK;

std::vector<std::string> namesFromList() {
  std::ifstream in(std::string(SPREAD_TEST_DATA) + "/member_names.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') names.push_back(line);
  return names;
}

TEST(MemberTable, EveryNameTheWrapperSendsIsAMember) {
  const std::vector<std::string> names = namesFromList();
  ASSERT_EQ(names.size(), 333u) << "299 property names and 34 method names";
  for (const std::string& name : names) {
    const MemberInfo* m = FindMember(name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_TRUE(platform::ascii::equalsNoCase(m->name, name)) << name;
  }
}

TEST(MemberTable, NamesMatchWithoutCase) {
  const MemberInfo* m = FindMember("TypeHAlign");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(FindMember("TypehAlign"), m);
  EXPECT_EQ(FindMember("TYPEHALIGN"), m);
  EXPECT_EQ(FindMember("hwndspread"), FindMember("hWndSpread"));
  EXPECT_EQ(FindMember("TypeHAlignX"), nullptr);
  EXPECT_EQ(FindMember(""), nullptr);
  EXPECT_EQ(FindMember(DISPID(99999)), nullptr);
}

TEST(MemberTable, NamesAndDispidsAreUniqueAndFoundBothWays) {
  std::set<std::string> names;
  std::set<DISPID> ids;
  for (const MemberInfo& m : Members()) {
    EXPECT_TRUE(names.insert(platform::ascii::lowered(m.name)).second) << m.name;
    EXPECT_TRUE(ids.insert(m.dispid).second) << m.name;
    EXPECT_EQ(FindMember(m.dispid), &m);
    EXPECT_EQ(FindMember(m.name), &m);
    EXPECT_LE(m.minArgs, m.maxArgs) << m.name;
  }
  const MemberInfo* picture = FindMember(kCellPictureDispid);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->name, "TypePictPicture");
  EXPECT_EQ(picture->type, platform::VT_DISPATCH);
  ASSERT_NE(FindMember("LoadPicture"), nullptr);
  EXPECT_EQ(FindMember("LoadPicture")->kind, MemberKind::Method);
}

struct ShapeCase {
  const char* name;
  MemberKind kind;
  platform::VARTYPE type;
  int minArgs, maxArgs;
};

TEST(MemberTable, ShapesFollowTheWrapper) {
  const ShapeCase cases[] = {
      {"Col", MemberKind::Property, platform::VT_I4, 0, 0},
      {"CellType", MemberKind::Property, platform::VT_I2, 0, 0},
      {"BackColor", MemberKind::Property, platform::VT_UI4, 0, 0},
      {"ColWidth", MemberKind::Property, platform::VT_R8, 1, 1},
      {"EventEnabled", MemberKind::Property, platform::VT_BOOL, 1, 1},
      {"Text", MemberKind::Property, platform::VT_BSTR, 0, 0},
      {"TabStripRatio", MemberKind::Property, platform::VT_R8, 0, 0},
      {"ExportToExcel", MemberKind::Method, platform::VT_I2, 3, 3},
      {"ImportExcelBook", MemberKind::Method, platform::VT_I4, 1, 2},
      {"SearchCol", MemberKind::Method, platform::VT_I4, 5, 5},
      {"Reset", MemberKind::Method, platform::VT_EMPTY, 0, 0},
  };
  for (const auto& c : cases) {
    const MemberInfo* m = FindMember(c.name);
    ASSERT_NE(m, nullptr) << c.name;
    EXPECT_EQ(m->kind, c.kind) << c.name;
    EXPECT_EQ(m->type, c.type) << c.name;
    EXPECT_EQ(m->minArgs, c.minArgs) << c.name;
    EXPECT_EQ(m->maxArgs, c.maxArgs) << c.name;
  }
}

// Every property without an index that can be read takes back what it gave: nothing the grid
// reports is refused when written again.
TEST(MemberTable, EveryReadablePropertyTakesBackItsOwnValue) {
  AddressedBook book;
  int checked = 0;
  for (const MemberInfo& m : Members()) {
    if (m.kind != MemberKind::Property || m.minArgs > 0) continue;
    platform::Variant value;
    std::string error;
    const platform::HRESULT got = InvokeMember(book, m, platform::DISPATCH_PROPERTYGET, {}, &value, &error);
    if (got == E_NOTIMPL) continue;
    ASSERT_EQ(got, S_OK) << m.name << ": " << error;
    if (m.type != platform::VT_DISPATCH) {
      EXPECT_EQ(value->vt, m.type) << m.name;
    }
    const platform::HRESULT put = InvokeMember(book, m, platform::DISPATCH_PROPERTYPUT, std::span(value.get(), 1), nullptr, &error);
    if (put == DISP_E_MEMBERNOTFOUND) continue;  // read-only
    EXPECT_EQ(put, S_OK) << m.name << ": " << error;
    platform::Variant again;
    ASSERT_EQ(InvokeMember(book, m, platform::DISPATCH_PROPERTYGET, {}, &again, &error), S_OK) << m.name;
    EXPECT_EQ(TextOf(again), TextOf(value)) << m.name;
    ++checked;
  }
  EXPECT_GT(checked, 250);
}

// The settings of the whole grid keep any value written and read it back.
TEST(MemberTable, EverySettingKeepsANewValue) {
  std::vector<std::string_view> settings;
#define BOOK(field) true
#define STYLE(field) false
#define RW(n) false
#define RO(n) false
#define CALL(n) false
#define LATER(what) false
#define X(n, dispid, kind, type, minArgs, maxArgs, handler) \
  if (handler) settings.push_back(#n);
#include "components/spread/members/member_list.inc"
#undef X
#undef LATER
#undef CALL
#undef RO
#undef RW
#undef STYLE
#undef BOOK
  ASSERT_GT(settings.size(), 150u);
  AddressedBook book;
  for (std::string_view name : settings) {
    const platform::Variant before = Get(book, name);
    platform::VARIANT next;
    switch (before->vt) {
      case platform::VT_BOOL: next = Bool(!before->boolVal); break;
      case platform::VT_I2: next = I2(std::int16_t(before->iVal + 3)); break;
      case platform::VT_I4: next = I4(before->lVal + 3); break;
      case platform::VT_UI4: next = UI4(before->ulVal ^ 0x00102030u); break;
      case platform::VT_R8: next = R8(before->dblVal + 0.25); break;
      default: next = Str(TextOf(before) + "x"); break;
    }
    platform::Variant expected;
    platform::VariantCopy(expected.get(), &next);
    ASSERT_EQ(Put(book, name, {next}), S_OK) << name;
    const platform::Variant after = Get(book, name);
    EXPECT_EQ(NumberOf(after) == NumberOf(expected) || TextOf(after) == TextOf(expected), true) << name;
    EXPECT_NE(TextOf(after), TextOf(before)) << name;
  }
}

TEST(MemberInvoke, ArgumentCountsAccessAndTypesAreChecked) {
  AddressedBook book;
  std::string error;
  EXPECT_EQ(Put(book, "ColWidth", {R8(3)}, &error), DISP_E_BADPARAMCOUNT);
  EXPECT_NE(error.find("ColWidth"), std::string::npos) << error;
  EXPECT_EQ(CallMethod(book, "SetActiveCell", {I4(1)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CallMethod(book, "Reset", {I4(1)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Put(book, "Reset", {I4(1)}), DISP_E_MEMBERNOTFOUND) << "a method is not written";
  EXPECT_EQ(Put(book, "DataRowCnt", {I4(1)}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Put(book, "MaxRows", {Str("many")}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Put(book, "MaxRows", {Str("13")}), S_OK) << "a number in text converts as a dispatch interface converts it";
  EXPECT_EQ(GetNumber(book, "MaxRows"), 13);
  EXPECT_EQ(Put(book, "BlockMode", {UI1(1)}), S_OK);
  EXPECT_EQ(GetNumber(book, "BlockMode"), -1);
  EXPECT_EQ(Put(book, "SelBackColor", {UI4(0x80000005u)}), S_OK) << "a colour with the high bit";
  EXPECT_EQ(GetNumber(book, "SelBackColor"), double(0x80000005u));
  EXPECT_EQ(Put(book, "GridColor", {I4(-1)}), S_OK);
  EXPECT_EQ(GetNumber(book, "GridColor"), double(0xFFFFFFFFu));
  EXPECT_EQ(Put(book, "TwoDigitYearMa", {I4(70000)}), platform::DISP_E_OVERFLOW) << "a short";
}

TEST(MemberInvoke, AnEntryFromElsewhereIsNoMember) {
  AddressedBook book;
  const MemberInfo copy = *FindMember("MaxRows");
  std::string error;
  platform::Variant r;
  EXPECT_EQ(InvokeMember(book, copy, platform::DISPATCH_PROPERTYGET, {}, &r, &error), DISP_E_MEMBERNOTFOUND);
  EXPECT_FALSE(error.empty());
}

TEST(MemberInvoke, AMethodMayBeReadLikeAProperty) {
  AddressedBook book;
  platform::Variant r;
  ASSERT_EQ(Invoke(book, "ColLetterToNumber", platform::DISPATCH_PROPERTYGET, {Str("C")}, &r), S_OK);
  EXPECT_EQ(r->vt, platform::VT_I4);
  EXPECT_EQ(r->lVal, 3);
  ASSERT_EQ(Invoke(book, "Col", platform::DISPATCH_METHOD | platform::DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(r->lVal, 1);
}

// The file, print and clipboard members are carried out by the grid's files
// (tests/spread_files/): none of them answers "not implemented" any more.
TEST(MemberInvoke, FileAndPrintMembersAreCarriedOut) {
  AddressedBook book;
  platform::Variant r;
  std::string error;
  const MemberInfo* m = FindMember("PrintPageCount");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(InvokeMember(book, *m, platform::DISPATCH_PROPERTYGET, {}, &r, &error), S_OK) << error;
  EXPECT_EQ(r->lVal, 1);
  m = FindMember("LoadTabFile");
  ASSERT_NE(m, nullptr);
  const Args missing{Str("/nonexistent/file.txt")};
  EXPECT_EQ(InvokeMember(book, *m, platform::DISPATCH_METHOD, missing.span(), &r, &error), S_OK) << error;
  EXPECT_EQ(r->iVal, 0);
}

TEST(MemberInvoke, IsExcelFileReadsTheFirstBytes) {
  const std::string dir = ::testing::TempDir();
  const std::pair<std::string, std::string> files[] = {
      {dir + "/book.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest", 13)},
      {dir + "/book.xlsx", std::string("PK\x03\x04 zip here", 13)},
      {dir + "/notes.txt", "just some text"},
  };
  for (const auto& [path, bytes] : files) std::ofstream(path, std::ios::binary) << bytes;
  AddressedBook book;
  const std::pair<std::string, std::int16_t> cases[] = {
      {files[0].first, -1}, {files[1].first, -1}, {files[2].first, 0}, {dir + "/missing.xls", 0}};
  for (const auto& [path, expected] : cases) {
    platform::Variant r;
    ASSERT_EQ(CallMethod(book, "IsExcelFile", {Str(path)}, &r), S_OK);
    EXPECT_EQ(r->iVal, expected) << path;
  }
}

}  // namespace
}  // namespace spread::test
