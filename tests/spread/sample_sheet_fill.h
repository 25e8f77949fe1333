// The demo's sample sheet (tests/support/sample_sheet.h) written to a Book member by member by
// name, with the variant types the program's wrapper sends; the picture cell loads the file
// given, as the wrapper's NewCellPicture does (LoadPicture read as a property, the object written
// to DISPID 178).
#pragma once

#include <span>
#include <string>

#include "tests/spread/spread_test_support.h"
#include "tests/support/sample_sheet.h"

namespace spread::test {

inline void NewCellPicture(AddressedBook& book, const std::string& file) {
  ASSERT_EQ(Put(book, "CellType", {I2(9)}), platform::S_OK);
  platform::Variant picture;
  ASSERT_EQ(Invoke(book, "LoadPicture", platform::DISPATCH_PROPERTYGET, {Str(file), I4(0)}, &picture), platform::S_OK);
  ASSERT_EQ(picture->vt, platform::VT_DISPATCH);
  ASSERT_NE(picture->pdispVal, nullptr);
  const MemberInfo* cellPicture = FindMember(DISPID(178));
  ASSERT_NE(cellPicture, nullptr);
  platform::VARIANT arg;
  arg.vt = platform::VT_DISPATCH;
  arg.pdispVal = picture->pdispVal;
  ASSERT_EQ(InvokeMember(book, *cellPicture, platform::DISPATCH_PROPERTYPUT, std::span(&arg, 1), nullptr, nullptr), platform::S_OK);
}

inline void FillSampleSheet(AddressedBook& book, const std::string& picturePath) {
  using kestrel::testing::sample_sheet::Sent;
  for (const kestrel::testing::sample_sheet::Step& s : kestrel::testing::sample_sheet::kSteps) {
    const std::string_view m = s.member;
    switch (s.sent) {
      case Sent::Short: ASSERT_EQ(Put(book, m, {I2(std::int16_t(s.number))}), platform::S_OK) << m; break;
      case Sent::Long: ASSERT_EQ(Put(book, m, {I4(std::int32_t(s.number))}), platform::S_OK) << m; break;
      case Sent::Real: ASSERT_EQ(Put(book, m, {R8(s.number)}), platform::S_OK) << m; break;
      case Sent::RealAt: ASSERT_EQ(Put(book, m, {I4(s.index), R8(s.number)}), platform::S_OK) << m; break;
      case Sent::Text: ASSERT_EQ(Put(book, m, {Str(s.text)}), platform::S_OK) << m; break;
      case Sent::Picture: NewCellPicture(book, picturePath); break;
      case Sent::FittedRowHeight: {
        const double fitted = GetNumber(book, "MaxTextRowHeight", {I4(s.index)});
        ASSERT_EQ(Put(book, m, {I4(s.index), R8(fitted)}), platform::S_OK) << m;
        break;
      }
    }
  }
}

}  // namespace spread::test
