// A list's format read as columns: widths and headings of well-formed formats, and formats cut
// short or malformed, which keep only their complete columns.
#include <gtest/gtest.h>

#include "runtime/window/list_format.h"

namespace tamsil::window {
namespace {

struct FormatCase {
  const char* name;
  const char* format;
  std::vector<ListColumn> columns;
};

class ListFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ListFormatTest, GivesTheCompleteColumns) { EXPECT_EQ(parseListFormat(GetParam().format), GetParam().columns); }

INSTANTIATE_TEST_SUITE_P(Formats, ListFormatTest,
                         ::testing::Values(FormatCase{"TwoHeaded",
                                                      "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@",
                                                      {{217, "Message"}, {42, "Category"}}},
                                           FormatCase{"OneBare", "80L(2)@s20@", {{80, ""}}}, FormatCase{"Empty", "", {}},
                                           FormatCase{"NoWidth", "L~Name~@s20@30R~Total~@n9.2@", {{0, "Name"}, {30, "Total"}}},
                                           FormatCase{"AtSignInHeading", "60L~Mail @ home~@s40@", {{60, "Mail @ home"}}},
                                           FormatCase{"SecondTildePairIsNotTheHeading", "60L~First~~Second~@s40@", {{60, "First"}}},
                                           FormatCase{"PictureNotClosed", "60L~A~@s40@30L~B~@s20", {{60, "A"}}},
                                           FormatCase{"HeadingNotClosed", "60L~A~@s40@30L~B@s20@", {{60, "A"}}},
                                           FormatCase{"NoPicture", "60L~A~", {}},
                                           FormatCase{"HugeWidthIsNoWidth", "99999999999L~A~@s1@", {{0, "A"}}}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tamsil::window
