// The automation bridge through the control-property entries of a test window's OLE control,
// hosting an object that records what it receives: argument typing by value and hint, the flag
// sequences, writes through paths that yield objects, object references handed out and taken
// back (forged and stale ones refused), results, and failure reports.
#include <gtest/gtest.h>

#include <ostream>

#include "runtime/core/error_state.h"
#include "runtime/eval/evaluator.h"
#include "runtime/ole/object_references.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/message_box.h"
#include "tests/ole/ole_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using Status = PropertyStatus;

// Each row: the text read with PropertyCall, the result pushed, and the invoke line the object saw.
struct ArgumentCase {
  const char* path;
  const char* result;
  const char* invoked;
};
void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.path; }

class ArgumentTest : public OleTest, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(ArgumentTest, ArrivesTypedAsWritten) {
  static std::int32_t number = 7;
  static char text[8] = "abc";
  static double real = 1.25;
  BIND("num", number);
  BIND("txt", StorageType::CString, text, sizeof text);
  BIND("rl", real);
  const ArgumentCase& c = GetParam();
  EXPECT_EQ(call(c.path), c.result);
  EXPECT_EQ(lastInvoke(), c.invoked) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    ByValueAndHint, ArgumentTest,
    ::testing::Values(
        ArgumentCase{"Echo(12)", "1", "invoke 3 M|G (I4 12)"}, ArgumentCase{"Echo(1.5)", "1", "invoke 3 M|G (BSTR 1.5)"},
        ArgumentCase{R"(Echo("12"))", "1", "invoke 3 M|G (BSTR 12)"}, ArgumentCase{"Echo(string(12))", "1", "invoke 3 M|G (BSTR 12)"},
        ArgumentCase{"Echo(integer(12))", "1", "invoke 3 M|G (I4 12)"}, ArgumentCase{"Echo(int(abc))", "1", "invoke 3 M|G (BSTR abc)"},
        ArgumentCase{"Echo(TRUE, false)", "2", "invoke 3 M|G (BOOL -1, BOOL 0)"},
        ArgumentCase{"Echo(string(True))", "1", "invoke 3 M|G (BOOL -1)"}, ArgumentCase{"Echo(TRUES)", "1", "invoke 3 M|G (BSTR TRUES)"},
        ArgumentCase{"Echo((1+2))", "1", "invoke 3 M|G (BSTR 3)"}, ArgumentCase{"Echo(bool((2>1)))", "1", "invoke 3 M|G (BOOL -1)"},
        ArgumentCase{"Echo(boolean(0))", "1", "invoke 3 M|G (BOOL 0)"}, ArgumentCase{"Echo(variant((2*3)))", "1", "invoke 3 M|G (R8 6)"},
        ArgumentCase{"Echo(variant(num+1))", "1", "invoke 3 M|G (R8 8)"}, ArgumentCase{"Echo(variant('x'))", "1", "invoke 3 M|G (BSTR x)"},
        ArgumentCase{"Echo(('a(b'))", "1", "invoke 3 M|G (BSTR a(b)"},
        ArgumentCase{R"x(Echo("say ""hi"", (ok)"))x", "1", R"x(invoke 3 M|G (BSTR say "hi", (ok)))x"},
        ArgumentCase{"Echo(num)", "1", "invoke 3 M|G (I4 7)"}, ArgumentCase{"Echo(string(num))", "1", "invoke 3 M|G (BSTR 7)"},
        ArgumentCase{"Echo(txt)", "1", "invoke 3 M|G (BSTR abc)"}, ArgumentCase{"Echo(int(rl))", "1", "invoke 3 M|G (I4 1)"},
        ArgumentCase{"Echo(rl)", "1", "invoke 3 M|G (R8 1.25)"}, ArgumentCase{"Echo(&num)", "1", "invoke 3 M|G (BYREF|I4)"},
        ArgumentCase{"Echo(&txt)", "1", "invoke 3 M|G (BYREF|BSTR)"}, ArgumentCase{"Echo(1, Count=5)", "2", "invoke 3 M|G (I4 1, #20=I4 5)"},
        ArgumentCase{"Echo(,x)", "2", "invoke 3 M|G (BSTR , BSTR x)"}, ArgumentCase{"3(5)", "1", "invoke 3 M|G (I4 5)"}));

TEST_F(OleTest, ADispidNeedsNoNameLookup) {
  EXPECT_EQ(call("3(5, 6)"), "2");
  EXPECT_EQ(*log, (Log{"invoke 3 M|G (I4 5, I4 6)"}));
}

TEST_F(OleTest, AnExpressionIsEvaluatedBeforeTheCall) {
  static std::int32_t n = 1;
  BIND("n", n);
  EXPECT_EQ(call("Echo((n*10))"), "1");
  n = 2;
  EXPECT_EQ(call("Echo((n*10))"), "1");
  EXPECT_EQ(*log, (Log{"lookup Echo", "invoke 3 M|G (BSTR 10)", "lookup Echo", "invoke 3 M|G (BSTR 20)"}));
}

// The flags tried in turn, resolving the name again before each attempt.
struct FlagCase {
  const char* path;
  bool method;  // MethodCall rather than PropertyCall
  Log tried;
};
void PrintTo(const FlagCase& c, std::ostream* os) { *os << (c.method ? "call " : "read ") << c.path; }

class FlagSequenceTest : public OleTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagSequenceTest, TriesFlagsInTheirOrder) {
  const FlagCase& c = GetParam();
  if (c.method) EXPECT_EQ(MethodCall(w, kOle, 0, Selector{std::string(c.path)}), Status::Ok);
  else EXPECT_EQ(call(c.path), "ran");
  Log invokes;
  for (const std::string& line : *log)
    if (line.rfind("invoke", 0) == 0) invokes.push_back(line);
  EXPECT_EQ(invokes, c.tried);
  EXPECT_EQ(std::count(log->begin(), log->end(), "lookup MethodOnly"), std::ptrdiff_t(c.tried.size()));
}

INSTANTIATE_TEST_SUITE_P(ReadsAndCalls, FlagSequenceTest,
                         ::testing::Values(FlagCase{"MethodOnly", false, {"invoke 6 M|G ()", "invoke 6 G ()", "invoke 6 M ()"}},
                                           FlagCase{"MethodOnly()", false, {"invoke 6 M|G ()", "invoke 6 M ()"}},
                                           FlagCase{"MethodOnly", true, {"invoke 6 M ()"}}, FlagCase{"MethodOnly()", true, {"invoke 6 M ()"}}));

TEST_F(OleTest, WritesSplitAtTheLastDotAndNeedAnObjectBeforeIt) {
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("Cells(1,2).Value")}, "x"), Status::Ok);
  EXPECT_EQ(*log, (Log{"lookup Cells", "invoke 2 M|G (I4 1, I4 2)", "cell lookup Value", "cell invoke 1 P (#-3=BSTR x)"}));
  log->clear();
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("Value")}, "top"), Status::Ok);
  EXPECT_EQ(call("Value"), "top");
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("ColWidth(\"a.b\")")}, "1"), Status::Ok);
  EXPECT_EQ(lastInvoke(), "invoke 11 P (BSTR a.b, #-3=BSTR 1)");

  clearError();
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("Value.Value")}, "1"), Status::BadValue);  // "top" is no object
  EXPECT_EQ(currentErrorState().code, ole::kNotAnObject);
}

TEST_F(OleTest, TypedWritesTravelInTheVariablesType) {
  const double width = 2.5;
  EXPECT_EQ(PropertyPutTyped(w, kOle, 0, Selector{std::string("ColWidth(2)")}, std::uint8_t(StorageType::Real), &width, sizeof width),
            Status::Ok);
  EXPECT_EQ(lastInvoke(), "invoke 11 P (I4 2, #-3=R8 2.5)");
  const char name[8] = "abc";
  EXPECT_EQ(PropertyPutTyped(w, kOle, 0, Selector{std::string("Value")}, 0x13, name, sizeof name), Status::Ok);
  EXPECT_EQ(lastInvoke(), "invoke 1 P (#-3=BSTR abc)");
}

TEST_F(OleTest, ObjectsReadAsReferencesAndComeBackAsTheSameObject) {
  const std::string child = call("Child");
  ASSERT_TRUE(ole::isReferenceText(child)) << child;
  EXPECT_EQ(call("Same(" + child + ")"), "-1");
  EXPECT_EQ(lastInvoke(), "invoke 5 M|G (DISPATCH)");
  EXPECT_EQ(call(child + ".Echo(1)"), "1");
  EXPECT_EQ(lastInvoke(), "childinvoke 3 M|G (I4 1)");
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{child + ".Value"}, "kid"), Status::Ok);
  EXPECT_EQ(call("Child.Value"), "kid");
  EXPECT_EQ(call(child), child);  // a path that is only a reference reads as that object
  const std::string object = PropertyCall(w, kOle, 0, Selector{std::uint32_t(prop::Object)}).text;
  ASSERT_TRUE(ole::isReferenceText(object));
  EXPECT_EQ(call(object + ".Echo(1,2)"), "2");
}

TEST_F(OleTest, ForgedAndReleasedReferencesAreRefused) {
  const std::string child = call("Child");
  const std::string forged[] = {"`12345", "`0", "`18446744073709551615", "`99999999999999999999999"};
  for (const std::string& ref : forged) {
    clearError();
    EXPECT_EQ(call("Same(" + ref + ")"), "GetPropertyFailed") << ref;
    EXPECT_EQ(currentErrorState().code, ole::kNotAnObject) << ref;
    clearError();
    EXPECT_EQ(call(ref + ".Value"), "GetPropertyFailed") << ref;
    EXPECT_EQ(currentErrorState().code, ole::kNotAnObject) << ref;
    clearError();
    EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{ref + ".Value"}, "1"), Status::BadValue);
    EXPECT_EQ(currentErrorState().code, ole::kNotAnObject) << ref;
  }
  // Handed out twice (two reads), released twice: the second release lets it go.
  EXPECT_EQ(call("Child"), child);
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::uint32_t(prop::Release)}, child), Status::Ok);
  EXPECT_EQ(call("Same(" + child + ")"), "-1");
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::uint32_t(prop::Release)}, child), Status::Ok);
  clearError();
  EXPECT_EQ(call("Same(" + child + ")"), "GetPropertyFailed");
  EXPECT_EQ(currentErrorState().code, ole::kNotAnObject);
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::uint32_t(prop::Release)}, child), Status::BadValue);
  EXPECT_TRUE(log->size() > 0);
}

TEST_F(OleTest, ReferencesPassedByNameAreCopiedBack) {
  static char text[70] = "abc";
  static std::int32_t n = 21;
  BIND("t", StorageType::CString, text, sizeof text);
  BIND("n", n);
  EXPECT_EQ(MethodCall(w, kOle, 0, Selector{std::string("Append(&t)")}), Status::Ok);
  EXPECT_STREQ(text, "abc!");
  EXPECT_EQ(MethodCall(w, kOle, 0, Selector{std::string("Twice(&n)")}), Status::Ok);
  EXPECT_EQ(n, 42);
  clearError();
  EXPECT_EQ(MethodCall(w, kOle, 0, Selector{std::string("Twice(&nobody)")}), Status::BadValue);
  EXPECT_EQ(currentErrorState().code, ole::kUnboundName);
}

TEST_F(OleTest, ResultsAndFailuresPushTheirTexts) {
  EXPECT_EQ(call("ColWidth(1)"), "2.5");
  EXPECT_EQ(call("Nothing"), "GetPropertyFailed");  // a VT_ERROR result
  EXPECT_EQ(call("NoSuchName"), "GetPropertyFailed");
  EXPECT_EQ(call("Echo(1"), "GetPropertyFailed");  // not a path
  EXPECT_EQ(PropertyPut(w, kOle, 0, Selector{std::uint32_t(prop::Create)}, "No.Such.Class"), Status::BadValue);
  const PropertyValue none = PropertyCall(w, kOle, 0, Selector{std::string("Value")});
  EXPECT_EQ(none.text, "No ole automation interface");
  EXPECT_EQ(none.status, Status::NotHandled);
}

TEST_F(OleTest, RuntimePropertiesOfTheControl) {
  EXPECT_EQ(get(prop::ProgID), "Kestrel.Recorder.1");
  EXPECT_EQ(get(prop::CLSID), platform::GuidText(kRecorderClsid));
  EXPECT_EQ(get(prop::ReportException), "0");
  EXPECT_EQ(set(prop::ReportException, "2"), Status::Ok);
  EXPECT_EQ(get(prop::ReportException), "2");
  EXPECT_EQ(get(prop::IsRadio), "0");
  EXPECT_EQ(set(prop::IsRadio, "1"), Status::Ok);
  EXPECT_EQ(get(prop::IsRadio), "1");
  EXPECT_EQ(set(prop::Release, ""), Status::Ok);
  EXPECT_EQ(get(prop::ProgID), "");
  EXPECT_EQ(call("Value"), "No ole automation interface");
  EXPECT_EQ(set(prop::Create, platform::GuidText(kRecorderClsid)), Status::Ok);  // by "{CLSID}"
  EXPECT_EQ(call("Echo(1)"), "1");
}

// Failures with ReportException set are shown in boxes with fixed captions and texts.
std::vector<std::string> boxes;
unsigned recordBox(const MessageBoxRequest& r) {
  boxes.push_back(r.caption + ": " + r.text);
  return BtnOk;
}

struct ReportCase {
  const char* path;
  const char* box;
};
void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.path; }

class ReportTest : public OleTest, public ::testing::WithParamInterface<ReportCase> {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    boxes.clear();
    SetMessageHook(recordBox);
  }
  void TearDown() override {
    SetMessageHook(nullptr);
    OleTest::TearDown();
  }
};

TEST_P(ReportTest, ShowsTheFailureInABox) {
  ASSERT_EQ(set(prop::ReportException, "1"), Status::Ok);
  EXPECT_EQ(call(GetParam().path), "GetPropertyFailed");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].substr(0, std::string_view(GetParam().box).size()), GetParam().box);
}

INSTANTIATE_TEST_SUITE_P(Failures, ReportTest,
                         ::testing::Values(ReportCase{"Nope", "GetId Failed: Nope"},
                                           ReportCase{"Strict(1, x)", "Ole Automation Error: Parameter 2 type mismatch"},
                                           ReportCase{"Raise", "Ole Automation Error: it broke"},
                                           ReportCase{"Cells(1)", "OLE Error: Get Named Property failed (8002000E)"}));

TEST_F(ReportTest, WithoutReportsAnExceptionRaisesTheStockErrorEvent) {
  std::vector<std::string> seen;
  ole::OleSite* s = site();
  ASSERT_NE(s, nullptr);
  s->setEventCallback([&](platform::DISPPARAMS* p, int field) {
    std::string line = std::to_string(field) + " " + s->lastEventName() + ":";
    for (platform::UINT i = p->cArgs; i-- > 0;) line += " " + describe(p->rgvarg[i]);
    seen.push_back(line);
  });
  EXPECT_EQ(call("Raise"), "GetPropertyFailed");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(seen, (std::vector<std::string>{"20 ErrorEvent: I2 16389 BSTR it broke ERROR -2147467259 BSTR Recorder BSTR  I4 0 BYREF|BOOL"}));
}

}  // namespace
}  // namespace tamsil::testing
