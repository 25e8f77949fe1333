// A picture as the model keeps it: the file's bytes, the kind the caller asked for, the format
// read from the first bytes and, for PNG, JPEG, BMP and GIF, the pixel size from the header.
// Nothing is decoded here; the view turns the bytes into an image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace spread {

enum class PictureFormat : std::uint8_t { Unknown, Png, Jpeg, Bmp, Gif };

struct Picture {
  std::string fileName;
  std::int32_t kind = 0;  // the kind argument of LoadPicture, kept as given
  PictureFormat format = PictureFormat::Unknown;
  std::int32_t width = 0, height = 0;  // 0 when the header gives no size
  std::vector<std::uint8_t> bytes;
};

// Reads the format and pixel size from a file's bytes (no decoding); Unknown and 0 x 0 when the
// header is not one of the four or is cut short.
void ReadPictureHeader(Picture& picture);
// Loads a file into a picture; null when it cannot be read.
std::shared_ptr<const Picture> LoadPictureFile(std::string_view fileName, std::int32_t kind);

}  // namespace spread
