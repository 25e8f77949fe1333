// The process's own locale: loaded once from the settings file beside the executable and the
// profile, the same for every thread, and the accessors later layers use.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "runtime/value/locale.h"
#include "runtime/value/settings.h"
#include "tests/support/temp_profile.h"

namespace tamsil {
namespace {

TEST(ProcessLocaleTest, LoadsTheSettingsFileOnceForAllThreads) {
  const kestrel::testing::TempProfileDir profileDir("process_locale_test");
  const std::filesystem::path& profile = profileDir.path();
  std::ofstream(profile / "win.ini") << "[intl]\ns1159=vm\n";
  // Written beside the test executable under a temporary name and renamed, so a concurrently
  // starting test process never sees half a file.
  const std::filesystem::path env = settingsFilePath();
  const std::filesystem::path tmp = env.string() + ".tmp" + std::to_string(getpid());
  std::ofstream(tmp) << "TSLMSG81=Eigener Text, mit Komma\nTSLBUTTON=,&Ja\nTSLAMPM=WINDOWS\n";
  std::filesystem::rename(tmp, env);

  std::vector<const LocaleData*> seen(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&seen, i] { seen[i] = &loadLocale(); });
  for (std::thread& t : threads) t.join();
  std::filesystem::remove(env);

  for (const LocaleData* l : seen) EXPECT_EQ(l, seen[0]);
  EXPECT_EQ(messageOverride(81), "Eigener Text, mit Komma");
  EXPECT_FALSE(messageOverride(82));
  EXPECT_FALSE(buttonCaptionOverride(0));  // an empty item keeps the standard caption
  EXPECT_EQ(buttonCaptionOverride(1), "&Ja");
  EXPECT_FALSE(buttonCaptionOverride(2));
  EXPECT_FALSE(buttonCaptionOverride(-1));
  EXPECT_EQ(loadLocale().am, "vm");  // TSLAMPM=WINDOWS takes the profile's text
  EXPECT_EQ(collatingCompare("abc", "ABC"), 0);
}

}  // namespace
}  // namespace tamsil
