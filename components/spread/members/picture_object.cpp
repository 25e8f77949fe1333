#include "components/spread/members/picture_object.h"

#include <atomic>

#include "components/spread/members/members.h"
#include "components/spread/model/picture.h"
#include "platform/ascii.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"

namespace spread {

using namespace platform;

namespace {

struct PictureProperty {
  std::u16string_view name;
  PictureMember dispid;
};
constexpr PictureProperty kProperties[] = {
    {u"Handle", kPictureHandle}, {u"Type", kPictureType}, {u"Width", kPictureWidth}, {u"Height", kPictureHeight}};

std::uint32_t nextHandle() {
  static std::atomic<std::uint32_t> next{1};
  std::uint32_t h = next++;
  return h ? h : next++;  // 0 names no picture
}

class PictureObject final : public ComObject<Implements<IDispatch, IID_IDispatch>, Implements<ISpreadPicture, IID_ISpreadPicture>> {
 public:
  explicit PictureObject(std::shared_ptr<const Picture> picture) : BasicComObject(1), picture_(std::move(picture)) {}

  HRESULT get_Handle(std::uint32_t* handle) override { return handle ? (*handle = handle_, S_OK) : E_POINTER; }
  HRESULT get_Type(std::int16_t* type) override {
    if (!type) return E_POINTER;
    *type = picture_->format == PictureFormat::Unknown ? kPictureNone : kPictureBitmap;
    return S_OK;
  }
  HRESULT get_Width(std::int32_t* width) override { return width ? (*width = picture_->width, S_OK) : E_POINTER; }
  HRESULT get_Height(std::int32_t* height) override { return height ? (*height = picture_->height, S_OK) : E_POINTER; }
  std::shared_ptr<const Picture> picture() override { return picture_; }

  HRESULT GetTypeInfoCount(UINT* count) override { return count ? (*count = 0, S_OK) : E_INVALIDARG; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(const IID& reserved, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
    if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;
    if (!names || !ids || !names[0]) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const PictureProperty& p : kProperties)
      if (ascii::equalsNoCase(p.name, std::u16string_view(names[0]))) ids[0] = p.dispid;
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  }
  // Every property is read-only and takes no arguments.
  HRESULT Invoke(DISPID member, const IID& reserved, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!(flags & DISPATCH_PROPERTYGET) || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) return DISP_E_MEMBERNOTFOUND;
    if (params && params->cArgs) return DISP_E_BADPARAMCOUNT;
    VARIANT value{};
    switch (member) {
      case kPictureHandle: value.vt = VT_I4, value.lVal = LONG(handle_); break;
      case kPictureType: value.vt = VT_I2, get_Type(&value.iVal); break;
      case kPictureWidth: value.vt = VT_I4, value.lVal = picture_->width; break;
      case kPictureHeight: value.vt = VT_I4, value.lVal = picture_->height; break;
      default: return DISP_E_MEMBERNOTFOUND;
    }
    if (result) *result = value;
    return S_OK;
  }

 private:
  ~PictureObject() override = default;

  std::shared_ptr<const Picture> picture_;
  std::uint32_t handle_ = nextHandle();
};

}  // namespace

ComPtr<IDispatch> MakePictureObject(std::shared_ptr<const Picture> picture) {
  if (!picture) return nullptr;
  PictureObject* made = new PictureObject(std::move(picture));
  return ComPtr<IDispatch>::adopt(static_cast<IDispatch*>(made));
}

std::shared_ptr<const Picture> PictureOf(IDispatch* object) {
  if (!object) return nullptr;
  ComPtr<ISpreadPicture> picture;
  if (FAILED(object->QueryInterface(IID_ISpreadPicture, picture.put())) || !picture) return nullptr;
  return picture->picture();
}

}  // namespace spread
