// The picture object, the dispatch face of a model picture: what LoadPicture returns and the cell
// picture property takes. It answers as IDispatch (Handle, Type, Width, Height, read-only) and through
// ISpreadPicture, a picture interface of the grid's own. MakePictureObject and PictureOf
// (members.h) make one and find the model's picture behind one.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace spread {

// The kinds of picture a picture object reports as its Type.
enum PictureType : std::int16_t { kPictureNone = 0, kPictureBitmap = 1 };

struct Picture;

struct ISpreadPicture : platform::IUnknown {
  // A number naming the picture in this process, never 0.
  virtual platform::HRESULT get_Handle(std::uint32_t* handle) = 0;
  // kPictureBitmap for a picture of a known format, kPictureNone otherwise.
  virtual platform::HRESULT get_Type(std::int16_t* type) = 0;
  // The size in pixels; 0 when the picture's header gives none.
  virtual platform::HRESULT get_Width(std::int32_t* width) = 0;
  virtual platform::HRESULT get_Height(std::int32_t* height) = 0;
  // The model's picture behind the object.
  virtual std::shared_ptr<const Picture> picture() = 0;

 protected:
  ~ISpreadPicture() = default;
};

inline constexpr platform::IID IID_ISpreadPicture{0x6B537072, 0x6561, 0x4432, {0x8A, 0x47, 0x50, 0x49, 0x43, 0x54, 0x55, 0x52}};

// The DISPIDs of the picture object's properties.
enum PictureMember : platform::DISPID { kPictureHandle = 0, kPictureType = 3, kPictureWidth = 4, kPictureHeight = 5 };

}  // namespace spread
