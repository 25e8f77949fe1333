// The call log: every VARIANT type written as the log's format says, reals that read back to the
// same double, whole lines, and lines of several threads and processes that never tear.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "components/spread/call_log.h"
#include "platform/com/com_object.h"
#include "platform/com/variant.h"

namespace spread {
namespace {

using namespace platform;

VARIANT of(VARTYPE vt) {
  VARIANT v{};
  v.vt = vt;
  return v;
}
VARIANT i2(std::int16_t n) {
  VARIANT v = of(VT_I2);
  v.iVal = n;
  return v;
}
VARIANT i4(LONG n) {
  VARIANT v = of(VT_I4);
  v.lVal = n;
  return v;
}
VARIANT r8(double d) {
  VARIANT v = of(VT_R8);
  v.dblVal = d;
  return v;
}

// Owns the BSTRs of the table's texts.
struct Text {
  explicit Text(std::u16string_view s) : bstr(s) {}
  VARIANT variant() const {
    VARIANT v = of(VT_BSTR);
    v.bstrVal = bstr.get();
    return v;
  }
  Bstr bstr;
};

class Dummy final : public UnownedComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
};

struct ValueCase {
  VARIANT value;
  std::string expected;
};

TEST(CallLogFormat, EveryVariantTypeAsTypeAndRepresentation) {
  static Dummy dummy;
  const Text plain(u"Type in me"), quotes(u"say \"hi\" \"\""), empty(u""), lines(u"a\r\nb"), accents(u"caf\u00e9");
  std::int16_t key = 13;
  VARIANT_BOOL cancel = VARIANT_TRUE;
  VARIANT inner = i4(42);
  std::vector<ValueCase> cases = {
      {of(VT_EMPTY), "EMPTY"},
      {of(VT_NULL), "NULL"},
      {i2(-5), "I2:-5"},
      {i4(13), "I4:13"},
      {i4(-2147483647 - 1), "I4:-2147483648"},
      {r8(12), "R8:12"},
      {r8(25.5), "R8:25.5"},
      {r8(0.1), "R8:0.1"},
      {r8(1e300), "R8:1e+300"},
      {r8(-0.25), "R8:-0.25"},
      {plain.variant(), "BSTR:\"Type in me\""},
      {quotes.variant(), "BSTR:\"say \"\"hi\"\" \"\"\"\"\""},
      {empty.variant(), "BSTR:\"\""},
      {of(VT_BSTR), "BSTR:\"\""},  // a null BSTR is the empty text
      {lines.variant(), "BSTR:\"a\\r\\nb\""},
      {accents.variant(), "BSTR:\"caf\xe9\""},  // in the ANSI code page
  };
  VARIANT v = of(VT_BOOL);
  v.boolVal = VARIANT_TRUE;
  cases.push_back({v, "BOOL:-1"});
  v.boolVal = VARIANT_FALSE;
  cases.push_back({v, "BOOL:0"});
  v = of(VT_UI1), v.bVal = 200;
  cases.push_back({v, "UI1:200"});
  v = of(VT_UI2), v.uiVal = 65535;
  cases.push_back({v, "UI2:65535"});
  v = of(VT_UI4), v.ulVal = 4000000000u;
  cases.push_back({v, "UI4:4000000000"});
  v = of(VT_I1), v.cVal = -7;
  cases.push_back({v, "I1:-7"});
  v = of(VT_I8), v.llVal = -9000000000LL;
  cases.push_back({v, "I8:-9000000000"});
  v = of(VT_UI8), v.ullVal = 18000000000000000000ULL;
  cases.push_back({v, "UI8:18000000000000000000"});
  v = of(VT_INT), v.intVal = -3;
  cases.push_back({v, "INT:-3"});
  v = of(VT_UINT), v.uintVal = 3;
  cases.push_back({v, "UINT:3"});
  v = of(VT_R4), v.fltVal = 0.1f;
  cases.push_back({v, "R4:0.1"});
  v = of(VT_DATE), v.date = 35422.5;
  cases.push_back({v, "DATE:35422.5"});
  v = of(VT_CY), v.cyVal.int64 = 125000;
  cases.push_back({v, "CY:12.5"});
  v = of(VT_CY), v.cyVal.int64 = -1;
  cases.push_back({v, "CY:-0.0001"});
  v = of(VT_CY), v.cyVal.int64 = INT64_MIN;
  cases.push_back({v, "CY:-922337203685477.5808"});
  v = of(VT_DECIMAL), v.decVal.scale = 4, v.decVal.sign = 0x80, v.decVal.Hi32 = 0, v.decVal.Lo64 = 1234567;
  cases.push_back({v, "DECIMAL:-123.4567"});
  v = of(VT_DECIMAL), v.decVal.scale = 0, v.decVal.sign = 0, v.decVal.Hi32 = 1, v.decVal.Lo64 = 0;
  cases.push_back({v, "DECIMAL:18446744073709551616"});
  v = of(VT_ERROR), v.scode = SCODE(0x80020004u);
  cases.push_back({v, "ERROR:0x80020004"});
  v = of(VT_DISPATCH), v.pdispVal = &dummy;
  cases.push_back({v, "DISPATCH:object"});
  v = of(VT_DISPATCH), v.pdispVal = nullptr;
  cases.push_back({v, "DISPATCH:nothing"});
  v = of(VT_UNKNOWN), v.punkVal = &dummy;
  cases.push_back({v, "UNKNOWN:object"});
  v = of(VT_I2 | VT_BYREF), v.byref = &key;
  cases.push_back({v, "BYREF|I2:13"});
  v = of(VT_BOOL | VT_BYREF), v.byref = &cancel;
  cases.push_back({v, "BYREF|BOOL:-1"});
  v = of(VT_VARIANT | VT_BYREF), v.byref = &inner;
  cases.push_back({v, "BYREF|I4:42"});
  for (const ValueCase& c : cases) EXPECT_EQ(FormatValue(c.value), c.expected) << "type " << c.value.vt;
}

TEST(CallLogFormat, RealsReadBackToTheSameDouble) {
  for (const double d : {12.0, 25.5, 0.1, 1e300, 1.0 / 3, -2.5e-310, 123456789.123456789, 0.30000000000000004, 5e-324}) {
    const std::string text = FormatValue(r8(d));
    ASSERT_EQ(text.rfind("R8:", 0), 0u) << text;
    double back = 0;
    const char* first = text.data() + 3;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), back);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    EXPECT_EQ(back, d) << text;
  }
}

struct LineCase {
  LogVerb verb;
  std::string_view name;
  std::vector<VARIANT> args;
  std::optional<VARIANT> value;
  std::string expected;
};

TEST(CallLogFormat, LinesOfEachVerb) {
  const Text text(u"Type in me");
  const LineCase cases[] = {
      {LogVerb::Put, "ColWidth", {i4(2)}, r8(12), "put ColWidth(I4:2) = R8:12\n"},
      {LogVerb::Put, "Text", {}, text.variant(), "put Text = BSTR:\"Type in me\"\n"},
      {LogVerb::Get, "MaxRows", {}, i4(13), "get MaxRows -> I4:13\n"},
      {LogVerb::Get, "ColWidth", {i4(2)}, r8(25.5), "get ColWidth(I4:2) -> R8:25.5\n"},
      {LogVerb::Call, "SetActiveCell", {i4(3), i4(7)}, of(VT_EMPTY), "call SetActiveCell(I4:3,I4:7) -> EMPTY\n"},
      {LogVerb::Call, "Refresh", {}, std::nullopt, "call Refresh() -> EMPTY\n"},
      {LogVerb::Call, "IsExcelFile", {text.variant()}, i2(0), "call IsExcelFile(BSTR:\"Type in me\") -> I2:0\n"},
      {LogVerb::Event, "Click", {i4(1), i4(2)}, std::nullopt, "event Click(I4:1,I4:2)\n"},
      {LogVerb::Event, "DblClick", {}, std::nullopt, "event DblClick()\n"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(FormatCallLine(c.verb, c.name, c.args, c.value ? &*c.value : nullptr), c.expected);
}

std::filesystem::path tempLog(const char* name) {
  auto path = std::filesystem::temp_directory_path() / (std::string(name) + "." + std::to_string(getpid()) + ".log");
  std::filesystem::remove(path);
  return path;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A long line (several kilobytes) names its writer and its number, so a torn or interleaved
// line cannot pass for a whole one.
std::string longLine(const std::string& writer, int n) {
  return "put Text = BSTR:\"" + writer + " " + std::to_string(n) + " " + std::string(3000, char('a' + n % 26)) + "\"\n";
}

// Each writer's lines, whole and in its own order.
void expectWholeLines(const std::vector<std::string>& lines, const std::vector<std::string>& writers, int each) {
  ASSERT_EQ(lines.size(), writers.size() * size_t(each));
  std::map<std::string, int> next;
  for (const std::string& line : lines) {
    std::istringstream in(line.substr(std::strlen("put Text = BSTR:\"")));
    std::string writer;
    int n = -1;
    in >> writer >> n;
    ASSERT_EQ(line + "\n", longLine(writer, n)) << "a torn line";
    EXPECT_EQ(n, next[writer]++) << writer;
  }
  for (const std::string& w : writers) EXPECT_EQ(next[w], each) << w;
}

TEST(CallLogFile, TwoProcessesAppendingNeverTearALine) {
  const auto path = tempLog("spread_calllog_processes");
  constexpr int kLines = 1000;
  std::vector<pid_t> children;
  for (const char* writer : {"first", "second"}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CallLog log(path.string());
      for (int i = 0; i < kLines; ++i) log.write(longLine(writer, i));
      _exit(log.open() ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  expectWholeLines(readLines(path), {"first", "second"}, kLines);
  std::filesystem::remove(path);
}

TEST(CallLogFile, ThreadsSharingOneLogNeverTearALine) {
  const auto path = tempLog("spread_calllog_threads");
  constexpr int kLines = 300;
  {
    CallLog log(path.string());
    ASSERT_TRUE(log.open());
    std::vector<std::thread> threads;
    for (const char* writer : {"t1", "t2", "t3"})
      threads.emplace_back([&log, writer] {
        for (int i = 0; i < kLines; ++i) log.write(longLine(writer, i));
      });
    for (std::thread& t : threads) t.join();
  }
  expectWholeLines(readLines(path), {"t1", "t2", "t3"}, kLines);
  std::filesystem::remove(path);
}

TEST(CallLogFile, AppendsToWhatTheFileHeldAndIgnoresAFileItCannotOpen) {
  const auto path = tempLog("spread_calllog_append");
  std::ofstream(path) << "earlier line\n";
  {
    CallLog log(path.string());
    log.write("get MaxRows -> I4:13\n");
  }
  EXPECT_EQ(readLines(path), (std::vector<std::string>{"earlier line", "get MaxRows -> I4:13"}));
  CallLog nowhere("/nonexistent-folder/log.txt");
  EXPECT_FALSE(nowhere.open());
  nowhere.write("nothing\n");  // does nothing, and does not fail
  std::filesystem::remove(path);
}

// The variable is read once per process. Run in a process of its own (this test program started
// again with only the child's case), so no earlier case has asked for the log yet.
TEST(CallLogFile, TheProcessLogFollowsTheVariableReadOnce) {
  const auto first = tempLog("spread_calllog_first"), second = tempLog("spread_calllog_second");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("OVSPREAD_CALLLOG", first.c_str(), 1);
    setenv("SPREAD_CALLLOG_SECOND", second.c_str(), 1);
    execl("/proc/self/exe", "spread_com_tests", "--gtest_filter=CallLogChild.*", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(readLines(first), (std::vector<std::string>{"one", "two"}));
  EXPECT_FALSE(std::filesystem::exists(second));
  std::filesystem::remove(first);
}

TEST(CallLogChild, KeepsTheFirstLogWhenTheVariableChanges) {
  const char* second = std::getenv("SPREAD_CALLLOG_SECOND");
  if (!second) GTEST_SKIP() << "only run by TheProcessLogFollowsTheVariableReadOnce";
  CallLog* log = CallLog::process();
  ASSERT_NE(log, nullptr);
  log->write("one\n");
  setenv("OVSPREAD_CALLLOG", second, 1);
  ASSERT_EQ(CallLog::process(), log);
  CallLog::process()->write("two\n");
}

}  // namespace
}  // namespace spread
