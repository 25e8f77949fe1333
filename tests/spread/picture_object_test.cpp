// The picture object: its dispatch properties (found without case, read-only), its own picture
// interface, a handle of its own per object, and PictureOf finding the model's picture behind
// our objects only; the cell picture property keeps a picture object put into it.
#include <gtest/gtest.h>

#include "components/spread/members/members.h"
#include "components/spread/members/picture_object.h"
#include "components/spread/model/picture.h"
#include "tests/spread/spread_test.h"

namespace spread::testing {
namespace {

using namespace platform;

std::shared_ptr<const Picture> samplePicture() {
  auto p = std::make_shared<Picture>();
  p->fileName = "cover.jpg";
  p->format = PictureFormat::Jpeg;
  p->width = 120;
  p->height = 80;
  return p;
}

class PictureObjectTest : public SpreadTest {
 protected:
  std::string read(IDispatch* object, const char16_t* name) {
    Variant v;
    const HRESULT hr = invoke(object, name, DISPATCH_PROPERTYGET, {}, v.get());
    return SUCCEEDED(hr) ? textOf(*v.get()) : "failed";
  }
};

TEST_F(PictureObjectTest, PropertiesAreReadWithoutCaseAndNeverWritten) {
  const auto picture = samplePicture();
  const ComPtr<IDispatch> object = MakePictureObject(picture);
  ASSERT_TRUE(object);
  EXPECT_EQ(read(object.get(), u"Width"), "120");
  EXPECT_EQ(read(object.get(), u"HEIGHT"), "80");
  EXPECT_EQ(read(object.get(), u"type"), std::to_string(kPictureBitmap));
  EXPECT_NE(read(object.get(), u"Handle"), "0");
  EXPECT_EQ(read(object.get(), u"Colours"), "failed");
  const Variant width = I4(5);
  EXPECT_EQ(invoke(object.get(), u"Width", DISPATCH_PROPERTYPUT, {width.get()}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(invoke(object.get(), u"Width", DISPATCH_PROPERTYGET, {width.get()}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(read(object.get(), u"Width"), "120");
}

TEST_F(PictureObjectTest, ThePictureInterfaceAndHandlesOfTheirOwn) {
  auto unknownFormat = std::make_shared<Picture>();
  const ComPtr<IDispatch> first = MakePictureObject(samplePicture()), second = MakePictureObject(unknownFormat);
  ComPtr<ISpreadPicture> a, b;
  ASSERT_EQ(first->QueryInterface(IID_ISpreadPicture, a.put()), S_OK);
  ASSERT_EQ(second->QueryInterface(IID_ISpreadPicture, b.put()), S_OK);
  std::uint32_t ha = 0, hb = 0;
  std::int16_t type = -1;
  std::int32_t width = 0, height = 0;
  ASSERT_EQ(a->get_Handle(&ha), S_OK);
  ASSERT_EQ(b->get_Handle(&hb), S_OK);
  EXPECT_NE(ha, 0u);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(a->get_Type(&type), S_OK);
  EXPECT_EQ(type, kPictureBitmap);
  EXPECT_EQ(b->get_Type(&type), S_OK);
  EXPECT_EQ(type, kPictureNone);
  EXPECT_EQ(a->get_Width(&width), S_OK);
  EXPECT_EQ(a->get_Height(&height), S_OK);
  EXPECT_EQ(width * 1000 + height, 120 * 1000 + 80);
  EXPECT_EQ(a->get_Width(nullptr), E_POINTER);
  EXPECT_EQ(read(first.get(), u"Handle"), std::to_string(ha));
}

TEST_F(PictureObjectTest, PictureOfFindsOurPicturesOnly) {
  const auto picture = samplePicture();
  const ComPtr<IDispatch> object = MakePictureObject(picture);
  EXPECT_EQ(PictureOf(object.get()), picture);
  EXPECT_EQ(PictureOf(grid.get()), nullptr);  // a dispatch object, but no picture
  EXPECT_EQ(PictureOf(nullptr), nullptr);
  EXPECT_FALSE(MakePictureObject(nullptr));
}

TEST_F(PictureObjectTest, TheCellPicturePropertyKeepsAPictureObject) {
  const auto picture = samplePicture();
  const ComPtr<IDispatch> object = MakePictureObject(picture);
  VARIANT value{};
  value.vt = VT_DISPATCH;
  value.pdispVal = object.get();
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &putId, 1, 1};
  ASSERT_EQ(grid->Invoke(kCellPictureDispid, IID_NULL, 0x409, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
  Variant back;
  DISPPARAMS none{};
  ASSERT_EQ(grid->Invoke(kCellPictureDispid, IID_NULL, 0x409, DISPATCH_PROPERTYGET, &none, back.get(), nullptr, nullptr), S_OK);
  ASSERT_EQ(back->vt, VT_DISPATCH);
  EXPECT_EQ(PictureOf(back->pdispVal), picture);
  EXPECT_EQ(log_.lines(), (std::vector<std::string>{"put " + std::string(FindMember(kCellPictureDispid)->name) + " = DISPATCH:object",
                                                    "get " + std::string(FindMember(kCellPictureDispid)->name) + " -> DISPATCH:object"}));
}

}  // namespace
}  // namespace spread::testing
