// The picture compiler: which texts compile, to what kind and width, and which are bad.
#include "runtime/value/picture.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsil {
namespace {

// Positions written one letter per class, so a layout reads at a glance.
std::string classes(const CompiledPicture& p) {
  static constexpr char kLetter[] = "lgd9b-$MDYNhmsAUL?_.|ex!";
  std::string out;
  for (const Token& t : p) out.push_back(kLetter[size_t(t.cls)]);
  return out;
}
std::string chars(const CompiledPicture& p) {
  std::string out;
  for (const Token& t : p) out.push_back(t.ch);
  return out;
}

struct LayoutCase {
  const char* picture;
  PictureKind kind;
  const char* classes;
  const char* chars;
};

class PictureLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PictureLayoutTest, CompilesToThesePositions) {
  const LayoutCase& c = GetParam();
  const CompiledPicture p = compilePicture(c.picture);
  ASSERT_TRUE(p.valid()) << c.picture;
  EXPECT_EQ(p.kind, c.kind);
  EXPECT_EQ(classes(p), c.classes) << c.picture;
  EXPECT_EQ(chars(p), c.chars) << c.picture;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureLayoutTest,
    ::testing::Values(
        LayoutCase{"@N9.2", PictureKind::kNumeric, "bbgbb9d99", "  ,  0.00"},
        LayoutCase{"@N-9.2", PictureKind::kNumeric, "-bgbb9d99", "- ,  0.00"},
        LayoutCase{"@N(9.2)", PictureKind::kNumeric, "-gbb9d99-", "(,  0.00)"},
        LayoutCase{"@N09.2", PictureKind::kNumeric, "999999d99", "000000.00"},
        LayoutCase{"@N*9.2", PictureKind::kNumeric, "99g999d99", "**,**0.00"}, LayoutCase{"@N_7", PictureKind::kNumeric, "bbbbbb9", "      0"},
        LayoutCase{"@N7_", PictureKind::kNumeric, "bbbgbb9", "      0"}, LayoutCase{"@N$9.2", PictureKind::kNumeric, "$bgbb9d99", "$ ,  0.00"},
        LayoutCase{"@N9~ kr~", PictureKind::kNumeric, "bbgbb9$$$", "  ,  0 kr"},
        LayoutCase{"@N9`2", PictureKind::kNumeric, "bbgbb9d99", "  .  0,00"},
        LayoutCase{"@N9.`2", PictureKind::kNumeric, "bbgbb9d99", "  .  0,00"}, LayoutCase{"@N6v2", PictureKind::kNumeric, "bb9x99", "  0000"},
        LayoutCase{"@N5.", PictureKind::kNumeric, "bgbb9", " .  0"}, LayoutCase{"@N9.2-", PictureKind::kNumeric, "bgbb9d99-", " ,  0.00-"},
        LayoutCase{"@E12.2", PictureKind::kScientific, "-b9d999le999",
                   "- 0.000E\xB1"
                   "000"},
        LayoutCase{"@E14.5", PictureKind::kScientific, "-bbgbb9d9le999",
                   "-  ,  0.0E\xB1"
                   "000"},
        LayoutCase{"@D1", PictureKind::kDate, "MM.DD.YY", " 0/00/00"}, LayoutCase{"@D01", PictureKind::kDate, "MM.DD.YY", "00/00/00"},
        LayoutCase{"@D6.", PictureKind::kDate, "DD.MM.YYYY", " 0.00.0000"}, LayoutCase{"@D7", PictureKind::kDate, "DD.NNN.YY", " 0     00"},
        LayoutCase{"@D4", PictureKind::kDate, "NNNNNNNNNNNNlDDllYYYY", "              0, 0000"},
        LayoutCase{"@T3", PictureKind::kTime, "hh.mm|l", " 0:00XM"}, LayoutCase{"@T6_", PictureKind::kTime, "hh.mm.ss|l", " 0 00 00XM"},
        LayoutCase{"@P(###)###-####P", PictureKind::kPattern, "l999l999l9999", "(000)000-0000"},
        LayoutCase{"@K@^_?|#<\\#K", PictureKind::kKeyIn, "AUL?!9bl", "     0 #"}, LayoutCase{"@S3", PictureKind::kString, "lll", "   "}));

TEST(PictureTest, BadPicturesCompileToTheZeroPicture) {
  const std::string longest(255, '#');
  for (const std::string& text : std::initializer_list<std::string>{"",
                                                                    "@",
                                                                    "@S0",
                                                                    "@S256",
                                                                    "@S5x",
                                                                    "@SB",
                                                                    "@Q5",
                                                                    "@N",
                                                                    "@N0",
                                                                    "@N256",
                                                                    "@N-",
                                                                    "@N(9.2",
                                                                    "@N9.2)",
                                                                    "@N-9.2-",
                                                                    "@N$9.2$",
                                                                    "@N~abc9",
                                                                    "@N3.5",
                                                                    "@N9.2.",
                                                                    "@N9..",
                                                                    "@N9.300",
                                                                    "@E6",
                                                                    "@E12.12",
                                                                    "@E12v2",
                                                                    "@D",
                                                                    "@D0",
                                                                    "@D19",
                                                                    "@D1x",
                                                                    "@D1<100",
                                                                    "@D1<",
                                                                    "@D1..",
                                                                    "@T",
                                                                    "@T9",
                                                                    "@T1/",
                                                                    "@P",
                                                                    "@PP",
                                                                    "@P###",
                                                                    "@P###K",
                                                                    "@K\\K",
                                                                    "@KabcP",
                                                                    "@B",
                                                                    "@P" + longest + "P",
                                                                    std::string(256, 'S')}) {
    const CompiledPicture p = compilePicture(text);
    EXPECT_FALSE(p.valid()) << text;
    EXPECT_EQ(p.kind, PictureKind::kNumeric) << text;
    EXPECT_FALSE(p.blankWhenZero) << text;
  }
}

TEST(PictureTest, FlagsWindowsAndWidths) {
  EXPECT_TRUE(compilePicture("@N9.2B").blankWhenZero);
  EXPECT_TRUE(compilePicture("n9.2b").blankWhenZero);
  EXPECT_EQ(compilePicture("@S255").count, 255);
  EXPECT_EQ(compilePicture("@S5   ").count, 5);
  EXPECT_EQ(compilePicture(std::nullopt).count, 255);
  EXPECT_EQ(compilePicture("@N255").count, 255);
  EXPECT_EQ(compilePicture("@P" + std::string(253, '#')).count, 0);
  EXPECT_EQ(compilePicture("@P" + std::string(252, '#') + "P").count, 252);
  EXPECT_EQ(compilePicture("@D1").centuryWindow, 80);
  EXPECT_EQ(compilePicture("@D1<50").centuryWindow, 50);
  EXPECT_EQ(compilePicture("@D1<0").centuryWindow, 80);
  EXPECT_EQ(compilePicture("@D1>10").centuryWindow, 89);
  EXPECT_EQ(compilePicture("@D1>0").centuryWindow, 19);
  EXPECT_EQ(compilePicture("@D6>5.").tokens[2].ch, '.');
  EXPECT_EQ(compilePicture("@D12").pictureNumber, 12);
  EXPECT_EQ(compilePicture("@T4").valueKind, ValueKind::kWhole);
  EXPECT_EQ(compilePicture("@E9").valueKind, ValueKind::kReal);
  EXPECT_EQ(compilePicture("@P#P").valueKind, ValueKind::kDecimal);
  EXPECT_EQ(compilePicture("@K#K").valueKind, ValueKind::kText);
}

}  // namespace
}  // namespace tamsil
