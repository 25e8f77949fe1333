// Pictures: the format and size read from a file's first bytes, LoadPicture (and where it looks
// for a bare name), and the cell picture property.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes png(std::uint32_t w, std::uint32_t h) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (std::uint32_t v : {w, h}) b.insert(b.end(), {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
  return b;
}
Bytes bmp(std::int32_t w, std::int32_t h) {
  Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
  for (std::int32_t v : {w, h})
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
  return b;
}
Bytes gif(std::uint16_t w, std::uint16_t h) {
  return {'G', 'I', 'F', '8', '9', 'a', std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8)};
}
// A JPEG with an application segment before the frame header, as cameras write them.
Bytes jpeg(std::uint16_t w, std::uint16_t h, std::uint8_t frame = 0xC0) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x06, 'E', 'x', 'i', 'f', 0xFF, 0xC4, 0x00, 0x03, 0x00};
  b.insert(b.end(), {0xFF, frame, 0x00, 0x11, 0x08, std::uint8_t(h >> 8), std::uint8_t(h), std::uint8_t(w >> 8), std::uint8_t(w), 0x03});
  return b;
}

Bytes cut(Bytes b, size_t n) {
  b.resize(n);
  return b;
}

struct HeaderCase {
  const char* name;
  Bytes bytes;
  PictureFormat format;
  std::int32_t width, height;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class PictureHeaders : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(PictureHeaders, FormatAndSize) {
  Picture p;
  p.bytes = GetParam().bytes;
  ReadPictureHeader(p);
  EXPECT_EQ(p.format, GetParam().format);
  EXPECT_EQ(p.width, GetParam().width);
  EXPECT_EQ(p.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureHeaders,
                         ::testing::Values(HeaderCase{"Png", png(640, 480), PictureFormat::Png, 640, 480},
                                           HeaderCase{"Bmp", bmp(32, 16), PictureFormat::Bmp, 32, 16},
                                           HeaderCase{"BmpTopDown", bmp(32, -16), PictureFormat::Bmp, 32, 16},
                                           HeaderCase{"BmpNoSuchHeight", bmp(32, INT32_MIN), PictureFormat::Bmp, 0, 0},
                                           HeaderCase{"BmpNegativeWidth", bmp(-4, 16), PictureFormat::Bmp, 0, 0},
                                           HeaderCase{"Gif", gif(300, 2), PictureFormat::Gif, 300, 2},
                                           HeaderCase{"Jpeg", jpeg(1024, 768), PictureFormat::Jpeg, 1024, 768},
                                           HeaderCase{"JpegProgressive", jpeg(7, 9, 0xC2), PictureFormat::Jpeg, 7, 9},
                                           HeaderCase{"JpegCutShort", Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00}, PictureFormat::Jpeg, 0, 0},
                                           HeaderCase{"JpegBadSegment", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xC0},
                                                      PictureFormat::Jpeg, 0, 0},
                                           HeaderCase{"PngCutShort", cut(png(5, 5), 20), PictureFormat::Png, 0, 0},
                                           HeaderCase{"Text", Bytes{'h', 'e', 'l', 'l', 'o'}, PictureFormat::Unknown, 0, 0},
                                           HeaderCase{"Empty", Bytes{}, PictureFormat::Unknown, 0, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(CellPicture, LoadPictureKeepsTheBytesAndKind) {
  const std::string path = ::testing::TempDir() + "/spread_picture.png";
  const Bytes bytes = png(12, 34);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  AddressedBook book;
  platform::Variant object;
  ASSERT_EQ(CallMethod(book, "LoadPicture", {Str(path), I4(3)}, &object), platform::S_OK);
  ASSERT_EQ(object->vt, platform::VT_DISPATCH);
  const auto picture = PictureOf(object->pdispVal);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->kind, 3);
  EXPECT_EQ(picture->bytes, bytes);
  EXPECT_EQ(picture->width, 12);
  EXPECT_EQ(picture->fileName, path);

  // Into a cell, and out again by writing nothing.
  At(book, 2, 2);
  ASSERT_EQ(Put(book, "TypePictPicture", {[&] {
                  platform::VARIANT v;
                  platform::VariantCopy(&v, object.get());
                  return v;
                }()}),
            platform::S_OK);
  EXPECT_EQ(PictureOf(Get(book, "TypePictPicture")->pdispVal), picture);
  platform::VARIANT nothing;
  nothing.vt = platform::VT_DISPATCH;
  nothing.pdispVal = nullptr;
  ASSERT_EQ(Put(book, "TypePictPicture", {nothing}), platform::S_OK);
  EXPECT_EQ(Get(book, "TypePictPicture")->pdispVal, nullptr);
}

TEST(CellPicture, AMissingFileGivesNoObjectAndAForeignObjectIsRefused) {
  AddressedBook book;
  platform::Variant object;
  ASSERT_EQ(CallMethod(book, "LoadPicture", {Str(::testing::TempDir() + "/no such picture.jpg")}, &object), platform::S_OK);
  EXPECT_EQ(object->vt, platform::VT_DISPATCH);
  EXPECT_EQ(object->pdispVal, nullptr);
  EXPECT_EQ(Put(book, "TypePictPicture", {Str("cover.jpg")}), platform::DISP_E_TYPEMISMATCH);
}

// A bare name is read from the working folder first, else from beside the program; a name with a
// folder is read as it stands only.
struct PicturePlace {
  const char* name;
  bool inWorkingFolder, besideProgram;
  std::int32_t width;  // 0: no picture
};

class PicturePlaceTest : public ::testing::TestWithParam<PicturePlace> {
 protected:
  void SetUp() override {
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    programDir_ = std::filesystem::path(std::string(self, size_t(n))).parent_path();
    work_ = std::filesystem::path(::testing::TempDir()) / ("picture_place_" + std::to_string(::getpid()));
    std::filesystem::create_directories(work_ / "sub");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(work_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(work_, ignored);
    std::filesystem::remove(besideFile_, ignored);
  }
  static void write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::filesystem::path programDir_, work_, previous_, besideFile_;
};

TEST_P(PicturePlaceTest, ABareNameIsFoundInTheWorkingFolderElseBesideTheProgram) {
  const PicturePlace& p = GetParam();
  const std::string unique = "picture_place_" + std::to_string(::getpid()) + ".png";
  const std::filesystem::path relative = std::filesystem::path(p.name).parent_path() / unique;
  if (p.inWorkingFolder) write(work_ / relative, png(5, 5));
  if (p.besideProgram) write(besideFile_ = programDir_ / unique, png(12, 34));
  AddressedBook book;
  platform::Variant object;
  ASSERT_EQ(CallMethod(book, "LoadPicture", {Str(relative.string())}, &object), platform::S_OK);
  const auto picture = object->pdispVal ? PictureOf(object->pdispVal) : nullptr;
  EXPECT_EQ(picture ? picture->width : 0, p.width);
}

INSTANTIATE_TEST_SUITE_P(Places, PicturePlaceTest,
                         ::testing::Values(PicturePlace{"x", true, false, 5}, PicturePlace{"x", false, true, 12},
                                           PicturePlace{"x", true, true, 5}, PicturePlace{"x", false, false, 0},
                                           PicturePlace{"sub/x", false, true, 0}, PicturePlace{"sub/x", true, false, 5}));

}  // namespace
}  // namespace spread::test
