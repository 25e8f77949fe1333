// Building the locale data from the profile's "intl" keys and the settings, and the collating
// comparison that string comparison and month-name matching rest on.
#include "runtime/value/locale.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/value/codepage.h"

namespace tamsil {
namespace {

// A profile "intl" section given as a map; absent keys give the default.
IntlReader intlOf(std::map<std::string, std::string> keys) {
  return [keys](const char* key, const char* def) {
    const auto it = keys.find(key);
    return it == keys.end() ? std::string(def) : it->second;
  };
}

std::string chars(const CompiledPicture& p) {
  std::string out;
  for (const Token& t : p) out.push_back(t.ch);
  return out;
}

TEST(LocaleTest, DefaultsWithoutProfileOrSettings) {
  const LocaleData l = buildLocale(intlOf({}), Settings{}, 2008);
  EXPECT_EQ(l.monthNames[8], "September");
  EXPECT_EQ(l.monthAbbreviations[8], "Sep");
  EXPECT_EQ(l.am + l.pm + l.localeAm + l.localePm, "AMPMAMPM");
  EXPECT_EQ(chars(l.shortTime), "00:00 XM");
  EXPECT_EQ(chars(l.longTime), "00:00:00 XM");
  EXPECT_EQ(chars(l.shortDate), "00/00/00");
  EXPECT_EQ(l.longDate.count, 20);  // day, month name, year
  EXPECT_EQ(l.longDate.tokens[0].cls, TokenClass::kDay);
  EXPECT_EQ(l.longDate.tokens[3].cls, TokenClass::kMonthName);
  EXPECT_EQ(l.toUpper('a'), 'A');
  EXPECT_EQ(l.toUpper(0xE9), 0xE9);  // only A-Z pair by default
  EXPECT_EQ(l.charClass['7'], kClassDigit);
  EXPECT_EQ(l.collation['b'], 'b');
}

TEST(LocaleTest, PicturesFromTheProfile) {
  const LocaleData l = buildLocale(intlOf({{"iTime", "1"},
                                           {"iTLzero", "0"},
                                           {"sTime", "."},
                                           {"s1159", "vorm"},
                                           {"s2359", "n"},
                                           {"sShortDate", "d.M.yyyy"},
                                           {"sLongDate", "yyyy MMMM d"}}),
                                   Settings{}, 2008);
  EXPECT_EQ(chars(l.shortTime), " 0.00");
  EXPECT_EQ(chars(l.longTime), " 0.00.00");
  EXPECT_EQ(l.localeAm, "vo");
  EXPECT_EQ(l.localePm, "n");
  EXPECT_EQ(chars(l.shortDate), " 0. 0.0000");
  EXPECT_EQ(l.shortDate.tokens[0].cls, TokenClass::kDay);
  EXPECT_EQ(l.longDate.tokens[0].cls, TokenClass::kYear);
  EXPECT_EQ(l.longDate.tokens[5].cls, TokenClass::kMonthName);
  EXPECT_EQ(l.longDate.tokens[18].cls, TokenClass::kDay);
  const LocaleData iso = buildLocale(intlOf({{"sShortDate", "yyyy-MM-dd"}}), Settings{}, 2008);
  EXPECT_EQ(chars(iso.shortDate), "0000-00-00");
}

TEST(LocaleTest, SettingsReplaceNamesTextsAndTables) {
  Settings s;
  s.monthNames = {"Januar", "", "M\xE4rz", "AVeryLongMonthName"};
  s.monthAbbreviations = {"Jnr", "Fbr"};
  s.amPm = std::vector<std::string>{"vm", "nm"};
  s.caseLists = std::vector<std::string>{
      "\xC4\xD6"
      "A",
      "\xE4\xF6"
      "b"};
  s.digraphs = {"\xDFSS", "x",
                "\xC6"
                "AE"};
  s.oem = true;
  s.messages[12] = "replaced";
  const LocaleData l = buildLocale(intlOf({}), s, 2008);
  EXPECT_EQ(l.monthNames[0], "Januar");
  EXPECT_EQ(l.monthNames[1], "February");
  EXPECT_EQ(l.monthNames[3], "AVeryLongMon");
  EXPECT_EQ(l.monthAbbreviations[1], "Fbr");
  EXPECT_EQ(l.am + l.pm, "vmnm");
  EXPECT_EQ(l.toUpper(0xE4), 0xC4);
  EXPECT_EQ(l.toLower(0xD6), 0xF6);
  EXPECT_EQ(l.toUpper('b'), 'B');  // A-Z keep their pairs; ASCII in the lists is ignored
  EXPECT_EQ(l.toUpper(0xFC), 0xFC);
  ASSERT_EQ(l.digraphs.size(), 2u);
  EXPECT_EQ(l.digraphs[1].first, 'A');
  EXPECT_TRUE(l.oem);
  EXPECT_EQ(l.messages.at(12), "replaced");

  s.amPm = std::vector<std::string>{"windows"};
  s.caseLists = std::vector<std::string>{"WINDOWS"};
  const LocaleData w = buildLocale(intlOf({{"s1159", "a"}, {"s2359", "p"}}), s, 2008);
  EXPECT_EQ(w.am + w.pm, "ap");
  EXPECT_EQ(w.toUpper(0xE9), 0xC9);
  EXPECT_EQ(w.toUpper(0xFF), 0x9F);
  EXPECT_EQ(w.charClass[0xDF], kClassLower);
  EXPECT_EQ(w.toUpper(0xDF), 0xDF);
  EXPECT_EQ(w.charClass[0xD7], 0);  // the multiplication sign is no letter
}

TEST(LocaleTest, CollationSequenceReordersOnlyTheListedCharacters) {
  Settings s;
  s.collationSequence = "aAbB";
  const LocaleData l = buildLocale(intlOf({}), s, 2008);
  EXPECT_LT(l.collation['a'], l.collation['A']);
  EXPECT_LT(l.collation['A'], l.collation['b']);
  EXPECT_LT(l.collation['b'], l.collation['B']);
  EXPECT_EQ(l.collation['c'], 'c');
  EXPECT_EQ(l.collation['0'], '0');

  s.collationSequence = "WINDOWS";
  const LocaleData w = buildLocale(intlOf({}), s, 2008);
  EXPECT_LT(w.collation['a'], w.collation['B']);
  EXPECT_LT(w.collation['9'], w.collation['a']);
  EXPECT_LT(w.collation[0xE9], w.collation['f']);  // e-acute sorts with e
  EXPECT_EQ(w.collation[0], 0);
  EXPECT_EQ(w.collation[255], 255);
  bool used[256] = {};
  for (int c = 0; c < 256; ++c) used[w.collation[size_t(c)]] = true;
  for (bool u : used) EXPECT_TRUE(u);  // a permutation: no two characters tie
}

TEST(LocaleTest, CollatingComparison) {
  Settings s;
  s.digraphs = {"\xDFSS"};
  const LocaleData l = buildLocale(intlOf({}), s, 2008);
  struct Row {
    const char* a;
    const char* b;
    int sign;
  } rows[] = {
      {"jan", "JAN", 0},
      {"Jan", "Feb", 1},
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"", "", 0},
      {"", "a", -1},
      {"Stra\xDF"
       "e",
       "STRASSE", 0},
      {"\xDF", "SS", 0},
      {"\xDF", "ST", -1},
      {"1", "A", -1},
  };
  for (const Row& r : rows) {
    const int c = collatingCompare(l, r.a, r.b);
    EXPECT_EQ((c > 0) - (c < 0), r.sign) << r.a << " vs " << r.b;
    EXPECT_EQ((c > 0) - (c < 0), -((collatingCompare(l, r.b, r.a) > 0) - (collatingCompare(l, r.b, r.a) < 0)));
  }
}

TEST(LocaleTest, OemTextBecomesAnsi) { EXPECT_EQ(oemToAnsi("A\x82\x81\xE1\xC4\xB3"), "A\xE9\xFC\xDF-|"); }

}  // namespace
}  // namespace tamsil
