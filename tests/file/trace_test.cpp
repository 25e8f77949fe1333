// The driver trace: settings sources, line prefix, value forms, declaration dump, the lines
// around an operation, commands, an unopenable log, and two threads writing one log.
#include <gtest/gtest.h>

#include "platform/system/registry.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/system/profile.h"
#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/file/driver.h"
#include "runtime/file/errors.h"
#include "runtime/file/trace_format.h"
#include "runtime/window/properties.h"
#include "tests/support/temp_profile.h"

namespace tamsil::file {
namespace {

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Writes trace settings for a driver into a settings file of its own and makes it the source.
std::string configure(const std::string& driver, const std::string& values) {
  const std::string dir = ::testing::TempDir();
  const std::string ini = dir + "trace_" + driver + ".ini";
  std::ofstream(ini) << "[TW" << driver << "]\n" << values;
  setTraceSource({ini, "", false});
  return dir + driver + ".LOG";
}

TEST(TraceFormatTest, PrefixAndValueForms) {
  EXPECT_EQ(tracePrefix(0x1A4, 1, 9, 5, 3, 7), "1A4(1) 09:05:03.007 ");
  const struct {
    std::string got, expected;
  } cases[] = {
      {dateValueText(2008u << 16 | 11u << 8 | 28u), "28 Nov 2008 (131599132)"},
      {dateValueText(2008u << 16 | 13u << 8 | 1u), "Invalid date (131599617)"},
      {dateValueText(2008u << 16 | 1u << 8 | 0u), "Invalid date (131596544)"},
      {timeValueText(13u << 24 | 45u << 16 | 7u << 8 | 50u), "13:45:07.50 (221054770)"},
      {timeValueText(24u << 24), "Invalid time (402653184)"},
      {timeValueText(1u << 24 | 60u << 16), "Invalid time (20709376)"},
      {hexText(std::as_bytes(std::span("\x0A\xFF", 2))), "0AFF"},
      {hexText(std::as_bytes(std::span("\x0A", 1))), "0AH"},
      {traceColumns("NAME", "STRING(20)"), "NAME" + std::string(31, ' ') + "STRING(20)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

FieldDeclaration field(const char* label, int type, std::uint32_t offset, std::uint32_t size) {
  FieldDeclaration f;
  f.label = label;
  f.type = type;
  f.offset = offset;
  f.size = size;
  return f;
}

FileDeclaration sampleFile() {
  FileDeclaration f;
  f.label = "CUSTOMER";
  f.driver = "ASCII";
  f.owner = "secret";
  f.name = "cust.txt";
  f.create = true;
  f.fields = {field("CUS:NAME", TypeString, 0, 6), field("CUS:BORN", TypeDate, 6, 4), field("CUS:PAID", TypeDecimal, 10, 3),
              field("CUS:CODE", TypeByte, 13, 1)};
  f.fields[2].digits = 5;
  f.fields[2].places = 2;
  f.fields[3].name = "CODE";
  KeyDeclaration key;
  key.label = "CUS:KEY";
  key.components = {0, 1};
  key.nocase = key.primary = true;
  f.keys = {key};
  return f;
}

TEST(TraceFormatTest, DeclarationSyntaxWithoutTheOwner) {
  const std::vector<std::string> lines = declarationLines(sampleFile());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], traceColumns("CUSTOMER", "FILE,DRIVER('ASCII'),OWNER(******),NAME('cust.txt'),CREATE"));
  EXPECT_EQ(lines[1], traceColumns("CUS:KEY", "KEY(CUS:NAME,CUS:BORN),NOCASE,PRIMARY"));
  EXPECT_EQ(lines[3], traceColumns("CUS:NAME", "STRING(6)"));
  EXPECT_EQ(lines[5], traceColumns("CUS:PAID", "DECIMAL(5,2)"));
  EXPECT_EQ(lines[6], traceColumns("CUS:CODE", "BYTE, NAME('CODE')"));
  for (const std::string& l : lines) EXPECT_EQ(l.find("secret"), std::string::npos);
  EXPECT_EQ(lines[1].find("KEY("), kTraceValueColumn - 1);
}

TEST(TraceCommandTest, AllowDetailsAndLogFile) {
  TraceSettings driver;
  driver.details = true;
  const struct {
    const char* command;
    bool accepted;
    const char* log;
    const char* message;
  } cases[] = {
      {"ALLOWDETAILS", true, "", ""},
      {"/allowdetails", true, "", ""},
      {"LOGFILE=run.log", true, "run.log", ""},
      {" LOGFILE = run.log [started by test] ", true, "run.log", "started by test"},
      {"LOGFILE=x.log[unclosed", true, "x.log", "unclosed"},
      {"LOGFILE=", false, "", ""},
      {"LOGFILE", false, "", ""},
      {"ALLOWDETAILS=1", false, "", ""},
      {"FLUSH", false, "", ""},
  };
  for (const auto& c : cases) {
    FileTraceOptions o;
    EXPECT_EQ(applyTraceCommand(c.command, driver, o), c.accepted) << c.command;
    EXPECT_EQ(o.on, c.accepted);
    EXPECT_EQ(o.details, c.accepted);
    EXPECT_EQ(o.logFile, c.log);
    EXPECT_EQ(o.message, c.message);
  }
}

TEST(TraceSettingsTest, SettingsFileSectionAndRegistryLocation) {
  configure("SETA", "Profile=1\nDetails=0\nFlush=1\nTraceFile=a.log\n");
  TraceSettings s = readTraceSettings("SETA");
  EXPECT_TRUE(s.on);
  EXPECT_FALSE(s.details);
  EXPECT_TRUE(s.flush);
  EXPECT_EQ(s.traceFile, "a.log");
  s = readTraceSettings("OTHER");  // no section: off, default log name
  EXPECT_FALSE(s.on);
  EXPECT_EQ(s.traceFile, "OTHER.LOG");

  // The registry lives in a profile directory of the test's own.
  kestrel::testing::TempProfileDir profile("trace_registry");
  platform::HKEY key = nullptr;
  ASSERT_EQ(platform::RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, "Software\\Tamsil\\SETB", 0, nullptr, 0, platform::KEY_ALL_ACCESS, nullptr,
                                      &key, nullptr),
            0);
  const platform::DWORD one = 1;
  platform::RegSetValueExA(key, "Profile", 0, platform::REG_DWORD, reinterpret_cast<const platform::BYTE*>(&one), 4);
  platform::RegSetValueExA(key, "TraceFile", 0, platform::REG_SZ, reinterpret_cast<const platform::BYTE*>("b.log"), 6);
  platform::RegCloseKey(key);
  setTraceSource({"", "HKEY_LOCAL_MACHINE\\Software\\Tamsil", true});
  EXPECT_EQ(traceSourceFlagText(), "1");
  EXPECT_TRUE(readTraceSettings("SETB").on);
  EXPECT_FALSE(readTraceSettings("SETB").details);
  EXPECT_EQ(readTraceSettings("SETB").traceFile, "b.log");
  setTraceSource({"", "HKEY_NOWHERE\\x", true});  // no registry root: the settings file
  EXPECT_FALSE(readTraceSettings("SETB").on);
  EXPECT_FALSE(splitRegistryLocation("HKEY_USERS"));
  EXPECT_EQ(splitRegistryLocation("HKEY_USERS\\a\\b")->second, "a\\b");
}

// The program chooses the source through the runtime's three program-wide properties, by name or
// by number; the drivers then read their settings from there.
TEST(TraceSettingsTest, TheSourceIsChosenThroughRuntimeProperties) {
  using window::GetSystemProperty;
  using window::PropertyStatus;
  using window::SetSystemProperty;
  kestrel::testing::TempProfileDir profile("trace_properties");
  const std::string ini = ::testing::TempDir() + "trace_props.ini";
  std::ofstream(ini) << "[TWPROPS]\nProfile=1\nTraceFile=from-file.log\n";
  platform::HKEY key = nullptr;
  ASSERT_EQ(platform::RegCreateKeyExA(platform::HKEY_CURRENT_USER, "Software\\Kestrel\\PROPS", 0, nullptr, 0, platform::KEY_ALL_ACCESS, nullptr,
                                      &key, nullptr),
            0);
  platform::RegSetValueExA(key, "TraceFile", 0, platform::REG_SZ, reinterpret_cast<const platform::BYTE*>("from-registry.log"), 18);
  platform::RegCloseKey(key);

  EXPECT_EQ(SetSystemProperty("TraceSettingsFile", ini), PropertyStatus::Ok);
  EXPECT_EQ(SetSystemProperty("prop:TraceSettingsLocation", "HKEY_CURRENT_USER\\Software\\Kestrel"), PropertyStatus::Ok);
  EXPECT_EQ(SetSystemProperty(window::prop::TraceUseLocation, "0"), PropertyStatus::Ok);
  EXPECT_EQ(traceSource().settingsFile, ini);
  EXPECT_EQ(readTraceSettings("PROPS").traceFile, "from-file.log");
  EXPECT_TRUE(readTraceSettings("PROPS").on);

  EXPECT_EQ(SetSystemProperty("TraceUseLocation", "1"), PropertyStatus::Ok);
  EXPECT_EQ(GetSystemProperty(window::prop::TraceUseLocation).text, "1");
  EXPECT_EQ(traceSourceFlagText(), "1");
  EXPECT_EQ(readTraceSettings("PROPS").traceFile, "from-registry.log");
  EXPECT_FALSE(readTraceSettings("PROPS").on);
  EXPECT_EQ(GetSystemProperty("TRACESETTINGSLOCATION").text, "HKEY_CURRENT_USER\\Software\\Kestrel");
  EXPECT_EQ(GetSystemProperty(window::prop::TraceSettingsFile).text, ini);

  EXPECT_EQ(SetSystemProperty("TraceUseLocation", "yes"), PropertyStatus::BadValue);  // the flag is a number
  EXPECT_EQ(GetSystemProperty("TraceUseLocation").text, "1");
  EXPECT_EQ(SetSystemProperty("TraceUseLocation", ""), PropertyStatus::Ok);
  EXPECT_EQ(GetSystemProperty("TraceUseLocation").text, "");
  setTraceSource({});
}

// A driver that supports OPEN and NEXT; NEXT fails with a driver error when asked to.
void fakeEntry(int operation, FileControl&, std::span<const std::intptr_t> args) {
  if (operation == OpNext && !args.empty() && args[0] == 90) postDriverError("X9", "driver says no");
}

DriverDescriptor fakeDriver(std::string_view name) {
  DriverDescriptor d{name, "FAKE.DLL", "", "Fake", fakeEntry, {}, {}};
  d.operations.set(25);  // OPEN
  d.operations.set(OpNext);
  return d;
}

class DispatchTest : public ::testing::Test {
 protected:
  ThreadContextScope context;
  FileDeclaration declaration = sampleFile();
  std::array<std::byte, 14> record{};
  FileControl file{&declaration, record, 0, {}, nullptr};

  void SetUp() override {
    const char bytes[] = "Smith \x1C\x0B\xD8\x07\x01\x23\x4C\x2A";
    std::memcpy(record.data(), bytes, record.size());
  }
};

TEST_F(DispatchTest, LinesAroundOperationsWithDetails) {
  const std::string log = configure("DISPA", "Profile=1\nDetails=1\nFlush=1\n");
  std::remove(log.c_str());
  setTraceSource({::testing::TempDir() + "trace_DISPA.ini", "", false});
  const DriverDescriptor driver = fakeDriver("DISPA");
  // The log name is relative to the working directory; run there.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(::testing::TempDir());
  const std::intptr_t open[] = {66};
  dispatch(driver, 25, file, open);
  const std::intptr_t fail[] = {90};
  dispatch(driver, OpNext, file, fail);
  EXPECT_EQ(currentErrorState().code, 90);
  dispatch(driver, 7, file, {});  // CLOSE is not supported
  EXPECT_EQ(currentErrorState().code, 80);
  std::filesystem::current_path(cwd);

  std::vector<std::string> lines = readLines(log);
  const std::regex prefix(R"(^[0-9A-F]+\(\d+\) \d\d:\d\d:\d\d\.\d{3} )");
  for (std::string& l : lines) {
    ASSERT_TRUE(std::regex_search(l, prefix)) << l;
    ASSERT_EQ(l.back(), '\r');
    l = std::regex_replace(l, prefix, "");
    l.pop_back();
  }
  const std::vector<std::string> head = declarationLines(declaration);
  ASSERT_GE(lines.size(), head.size() + 10);
  EXPECT_EQ(lines[0], head[0]);
  std::size_t i = head.size();
  EXPECT_EQ(lines[i++], "OPEN(CUSTOMER,66)");
  EXPECT_EQ(lines[i++], " Time Taken: 0.00 secs");
  EXPECT_EQ(lines[i++], "NEXT(CUSTOMER,90)");
  EXPECT_EQ(lines[i++], "Error: X9 driver says no Time Taken: 0.00 secs");
  EXPECT_EQ(lines[i++], traceColumns("CUS:NAME", "Smith "));
  EXPECT_EQ(lines[i++], traceColumns("CUS:BORN", "28 Nov 2008 (131599132)"));
  EXPECT_EQ(lines[i++], traceColumns("CUS:PAID", "01234C"));
  EXPECT_EQ(lines[i++], traceColumns("CUS:CODE", "2AH"));
  EXPECT_EQ(lines[i++], "CLOSE(CUSTOMER)");
  EXPECT_EQ(lines[i++], "Error: 80 Unsupported File Driver Function Time Taken: 0.00 secs");
}

TEST_F(DispatchTest, UnopenableLogLeavesTracingSilent) {
  configure("DISPB", "Profile=1\nTraceFile=/nonexistent-kestrel-dir/t.log\n");
  const DriverDescriptor driver = fakeDriver("DISPB");
  dispatch(driver, 25, file, {});
  EXPECT_EQ(currentErrorState().code, 0);
  dispatch(driver, 7, file, {});
  EXPECT_EQ(currentErrorState().code, 80);
}

TEST(TraceThreadsTest, LinesOfTwoThreadsNeverMix) {
  const std::string log = ::testing::TempDir() + "two_threads.log";
  std::remove(log.c_str());
  configure("DISPC", "Profile=1\nFlush=1\nTraceFile=" + log + "\n");
  const DriverDescriptor driver = fakeDriver("DISPC");
  constexpr int kOperations = 3000;
  auto body = [&](const char* label) {
    ThreadContextScope context;
    FileDeclaration d;
    d.label = label;
    FileControl f{&d, {}, 0, {}, nullptr};
    const std::intptr_t arg[] = {1234567890123};
    for (int i = 0; i < kOperations; ++i) dispatch(driver, 25, f, arg);
  };
  std::thread a(body, "FIRSTFILE"), b(body, "SECONDFILE");
  a.join();
  b.join();
  const std::regex line(
      R"(^[0-9A-F]+\(\d+\) \d\d:\d\d:\d\d\.\d{3} (OPEN\((FIRSTFILE|SECONDFILE),1234567890123\)| Time Taken: \d+\.\d\d secs)\r$)");
  const std::vector<std::string> lines = readLines(log);
  EXPECT_EQ(lines.size(), 4u * kOperations);
  for (const std::string& l : lines) ASSERT_TRUE(std::regex_match(l, line)) << l;
}

}  // namespace
}  // namespace tamsil::file
