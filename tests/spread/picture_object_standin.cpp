// A picture object for the tests: an IDispatch that only holds its picture.
#include "components/spread/members/members.h"
#include "platform/com/com_object.h"

namespace spread {

namespace {

class TestPicture final : public platform::ComObject<platform::Implements<platform::IDispatch, platform::IID_IDispatch>> {
 public:
  explicit TestPicture(std::shared_ptr<const Picture> p) : picture(std::move(p)) {}
  platform::HRESULT GetTypeInfoCount(platform::UINT* count) override { return *count = 0, platform::S_OK; }
  platform::HRESULT GetTypeInfo(platform::UINT, platform::LCID, platform::ITypeInfo**) override { return platform::E_NOTIMPL; }
  platform::HRESULT GetIDsOfNames(const platform::IID&, platform::OLECHAR**, platform::UINT, platform::LCID, DISPID*) override {
    return platform::DISP_E_UNKNOWNNAME;
  }
  platform::HRESULT Invoke(DISPID, const platform::IID&, platform::LCID, WORD, platform::DISPPARAMS*, platform::VARIANT*, platform::EXCEPINFO*,
                           platform::UINT*) override {
    return platform::DISP_E_MEMBERNOTFOUND;
  }
  std::shared_ptr<const Picture> picture;
};

}  // namespace

platform::ComPtr<platform::IDispatch> MakePictureObject(std::shared_ptr<const Picture> picture) {
  return platform::ComPtr<platform::IDispatch>(new TestPicture(std::move(picture)));
}

std::shared_ptr<const Picture> PictureOf(platform::IDispatch* object) {
  const auto* mine = dynamic_cast<TestPicture*>(object);
  return mine ? mine->picture : nullptr;
}

}  // namespace spread
