// NewCellPicture: the one accessor that talks to the grid's interfaces itself. The grid loads the
// file and hands back a picture object as an object reference; the picture's dispatch interface
// is then written to the cell's picture property through the grid's own dispatch interface, each
// COM result checked under the step's label. Object references are taken through the bridge's
// table (never read as addresses) and given back once their object is held here.
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"
#include "runtime/ole/object_references.h"
#include "runtime/window/property_names.h"
#include "wrapper/spread_wrapper.h"

namespace kestrel::wrapper {

namespace win = tamsil::window;

namespace {

inline constexpr platform::LCID kEnglishLocale = 0x409;

// The object that an object-reference text names, the reference handed out for the text given back.
platform::ComPtr<platform::IDispatch> takeObject(const std::string& text) {
  platform::ComPtr<platform::IDispatch> object = tamsil::ole::findReference(TextUtility::Clip(text));
  if (object) tamsil::ole::releaseReference(TextUtility::Clip(text));
  return object;
}

}  // namespace

void SpreadWrapper::NewCellPicture(std::string_view file, std::optional<std::int32_t> kind) {
  if (COLE == 0 || TextUtility::Clip(file).empty()) return;
  CellType(kPictureCellType);

  std::string load = "LoadPicture(";
  TextUtility::AppendQuoted(load, file);
  load += ',' + std::to_string(kind.value_or(0)) + ')';
  const platform::ComPtr<platform::IDispatch> picture = takeObject(bridge_->PropertyCall(W, COLE, win::Selector{load}).text);
  if (!picture) return;

  platform::ComPtr<platform::IDispatch> pictureDispatch;
  const platform::HRESULT asked = picture->QueryInterface(platform::IID_IDispatch, pictureDispatch.put());
  if (STDCOMCL) STDCOMCL->CheckResult(asked, "QueryInterface");
  if (!pictureDispatch) return;

  const platform::ComPtr<platform::IDispatch> grid =
      takeObject(bridge_->PropertyCall(W, COLE, win::Selector{std::uint32_t(win::prop::Object)}).text);
  if (!grid) return;

  platform::VARIANT argument{};
  argument.vt = platform::VT_DISPATCH;
  argument.pdispVal = pictureDispatch.get();
  platform::DISPID named = platform::DISPID_PROPERTYPUT;
  platform::DISPPARAMS params{&argument, &named, 1, 1};
  const platform::HRESULT put =
      grid->Invoke(kCellPictureDispid, platform::IID_NULL, kEnglishLocale, platform::DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  if (STDCOMCL) STDCOMCL->CheckResult(put, "TypePicPicture Property");
}

}  // namespace kestrel::wrapper
