// The settings file: line syntax, escapes, lists, limits and the OEM character set.
#include "runtime/value/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsil {
namespace {

using Items = std::vector<std::string>;

TEST(SettingsTest, NamesValuesAndEscapes) {
  const Settings s = parseSettings(
      "TSL MONTH = Jan<<uary , Feb<46>, <65>pril\r\n"
      "tslmon=ja,fe\n"
      "TSLAMPM=\"a\",\"p\"  \t\n"
      "TSLMSG12=Record not found, try again<33>\n"
      "TSLMSG07=\"Quoted, kept\",ignored\n"
      "TSLMSGX=not a message number\n"
      "TSLBUTTON=&Okay,,&Nein\n"
      "TSLLFN=On\nTSLLAYOUT=rtl\nTSLSYSTEMCHARSET=ARABIC\n"
      "no equals sign here\n"
      "TSLDIGRAPH=\xDFSS,\xC6"
      "AE\n");
  EXPECT_EQ(s.monthNames, (Items{"Jan<uary", "Feb.", "April"}));
  EXPECT_EQ(s.monthAbbreviations, (Items{"ja", "fe"}));
  ASSERT_TRUE(s.amPm);
  EXPECT_EQ(*s.amPm, (Items{"a", "p"}));
  EXPECT_EQ(s.messages.at(12), "Record not found, try again!");
  EXPECT_EQ(s.messages.at(7), "Quoted, kept");
  EXPECT_EQ(s.messages.size(), 2u);
  EXPECT_EQ(s.buttonCaptions, (Items{"&Okay", "", "&Nein"}));
  EXPECT_TRUE(s.longFileNames);
  EXPECT_TRUE(s.rightToLeft);
  EXPECT_EQ(s.systemCharset, "ARABIC");
  EXPECT_EQ(s.digraphs, (Items{"\xDFSS",
                               "\xC6"
                               "AE"}));
  EXPECT_FALSE(s.oem);
  EXPECT_FALSE(s.collationSequence);
}

TEST(SettingsTest, MalformedEscapesStayAsWritten) {
  const std::pair<std::string, std::string> rows[] = {
      {"a<65", "a<65"},
      {"a<256>b", "a<256>b"},
      {"<>", "<>"},
      {"<x>", "<x>"},
      {"<<65>", "<65>"},
      {"<0>", std::string(1, '\0')},
      {"<999999999999>", "<999999999999>"},
      {"x<", "x<"},
      {"<9><10>", "\t\n"},
  };
  for (const auto& [written, value] : rows) {
    const Settings s = parseSettings("TSLMSG1=" + written);
    ASSERT_EQ(s.messages.count(1), 1u) << written;
    EXPECT_EQ(s.messages.at(1), value) << written;
  }
}

TEST(SettingsTest, LimitsOfNamesValuesAndTheFile) {
  const std::string longValue(1500, 'x');
  const Settings s = parseSettings("TSLMSG1=" + longValue + "\nTSLMSG2=after\n" + std::string(40, 'A') +
                                   "=too long a name\n"
                                   "TSLMSG3=before the end\x1ATSLMSG4=after the end\n");
  EXPECT_EQ(s.messages.at(1), std::string(1024, 'x'));
  EXPECT_EQ(s.messages.at(2), "after");  // the rest of a long line does not become a line
  EXPECT_EQ(s.messages.at(3), "before the end");
  EXPECT_EQ(s.messages.count(4), 0u);
  EXPECT_EQ(parseSettings("TSLMSG5=   \t").messages.at(5), "");
  EXPECT_TRUE(parseSettings("").messages.empty());
}

TEST(SettingsTest, CollationSequenceKeepsCommasAndOemConvertsTheRest) {
  // 0x82 is e-acute in the OEM set; 0xE9 in ANSI.
  const Settings s = parseSettings("TSLCOLSEQ=a,b\x82\nTSLMONTH=F\x82vrier\nTSLCHARSET=OEM\n");
  EXPECT_TRUE(s.oem);
  EXPECT_EQ(*s.collationSequence, "a,b\x82");
  EXPECT_EQ(s.monthNames, (Items{"F\xE9vrier"}));
  EXPECT_EQ(*parseSettings("TSLCOLSEQ=\"ab\",\"c,d\"").collationSequence, "abc,d");
  EXPECT_EQ(parseSettings("TSLMONTH=F\x82vrier").monthNames, (Items{"F\x82vrier"}));
}

TEST(SettingsTest, QuotedLists) {
  EXPECT_EQ(splitSettingList("\"a,b\" , \"c\"\"d\",\"\""), (Items{"a,b", "c\"d", ""}));
  EXPECT_EQ(splitSettingList("\"unterminated"), (Items{"unterminated"}));
  EXPECT_EQ(splitSettingList(" a , b ,"), (Items{"a", "b", ""}));
}

TEST(SettingsTest, FilePathAndMissingFile) {
  const std::filesystem::path p = settingsFilePath();
  EXPECT_EQ(p.extension(), ".ENV");
  EXPECT_EQ(p.stem(), "value_tests");
  EXPECT_TRUE(readSettingsFile("/nonexistent/x.ENV").messages.empty());
}

}  // namespace
}  // namespace tamsil
