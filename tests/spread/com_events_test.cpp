// The grid's events as a container sees them: one connection point for the outgoing interface
// IProvideClassInfo2 names, every advised sink hearing every event with its arguments in call
// order, a sink that changes a by-reference argument changing the model's variable, sinks that
// leave during an event, and each event in the call log once, whether anybody listens or not.
#include <gtest/gtest.h>

#include "components/spread/control_events.h"
#include "components/spread/members/members.h"
#include "components/spread/registration.h"
#include "platform/com/com_object.h"
#include "platform/com/connection.h"
#include "tests/spread/spread_test.h"

namespace spread::testing {
namespace {

using namespace platform;

using Lines = std::vector<std::string>;

// A sink that writes down each event as "DISPID: ARG,ARG" (call order); it may set a
// by-reference argument, or leave its point, when it hears an event.
class RecordingSink final : public ComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    std::string line = std::to_string(member) + ":";
    for (UINT i = params->cArgs; i-- > 0;) line += (i + 1 == params->cArgs ? " " : ",") + textOf(params->rgvarg[i]);
    heard.push_back(line);
    EXPECT_EQ(flags, DISPATCH_METHOD);
    if (setShort && params->cArgs && params->rgvarg[params->cArgs - 1].vt == (VT_I2 | VT_BYREF))
      *static_cast<std::int16_t*>(params->rgvarg[params->cArgs - 1].byref) = *setShort;
    if (leave) std::exchange(leave, nullptr)->Unadvise(cookie);
    return S_OK;
  }
  Lines heard;
  std::optional<std::int16_t> setShort;
  IConnectionPoint* leave = nullptr;
  DWORD cookie = 0;
};

class GridEventPoint : public SpreadTest {
 protected:
  void SetUp() override {
    SpreadTest::SetUp();
    ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(grid->QueryInterface(IID_IProvideClassInfo2, info.put()), S_OK);
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events_), S_OK);
    ASSERT_EQ(grid->QueryInterface(IID_IConnectionPointContainer, container_.put()), S_OK);
    ASSERT_EQ(container_->FindConnectionPoint(events_, reinterpret_cast<IConnectionPoint**>(point_.put())), S_OK);
    source_ = dynamic_cast<VariantEventSink*>(grid.get());
    ASSERT_NE(source_, nullptr);
  }
  void fire(SpreadEvent e, std::vector<const VARIANT*> args) {
    std::vector<VARIANT> values;
    for (const VARIANT* a : args) values.push_back(*a);
    source_->deliver(e, values);
  }
  std::string heard(SpreadEvent e, const std::string& args) { return std::to_string(EventDispid(e)) + ": " + args; }

  IID events_{};
  ComPtr<IConnectionPointContainer> container_;
  ComPtr<IConnectionPoint> point_;
  VariantEventSink* source_ = nullptr;
};

TEST_F(GridEventPoint, ThePointIsTheEventsInterfaceAndLeadsBackToTheGrid) {
  EXPECT_EQ(events_, kSpreadEventsIid);
  IID iid{};
  ASSERT_EQ(point_->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, kSpreadEventsIid);
  IConnectionPointContainer* back = nullptr;
  ASSERT_EQ(point_->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back, container_.get());
  back->Release();
  ComPtr<IConnectionPoint> same;  // asked for as plain IDispatch
  ASSERT_EQ(container_->FindConnectionPoint(IID_IDispatch, reinterpret_cast<IConnectionPoint**>(same.put())), S_OK);
  EXPECT_EQ(same.get(), point_.get());
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container_->FindConnectionPoint(IID_IPropertyNotifySink, reinterpret_cast<IConnectionPoint**>(none.put())), CONNECT_E_NOCONNECTION);
  EXPECT_FALSE(none);
}

TEST_F(GridEventPoint, EverySinkHearsEveryEventWithItsArgumentsInCallOrder) {
  ComPtr<RecordingSink> first(new RecordingSink), second(new RecordingSink);
  DWORD a = 0, b = 0;
  ASSERT_EQ(point_->Advise(first.get(), &a), S_OK);
  ASSERT_EQ(point_->Advise(second.get(), &b), S_OK);
  EXPECT_NE(a, b);
  const Variant col = I4(4), row = I4(5), text = Text(u"x \"y\"");
  fire(SpreadEvent::Click, {col.get(), row.get()});
  fire(SpreadEvent::DblClick, {row.get(), col.get()});
  const Lines expected = {heard(SpreadEvent::Click, "4,5"), heard(SpreadEvent::DblClick, "5,4")};
  EXPECT_EQ(first->heard, expected);
  EXPECT_EQ(second->heard, expected);
  ASSERT_EQ(point_->Unadvise(a), S_OK);
  EXPECT_EQ(point_->Unadvise(a), CONNECT_E_NOCONNECTION);
  fire(SpreadEvent::Change, {col.get(), row.get()});
  EXPECT_EQ(first->heard.size(), 2u);
  EXPECT_EQ(second->heard.back(), heard(SpreadEvent::Change, "4,5"));
  ASSERT_EQ(point_->Unadvise(b), S_OK);
  EXPECT_EQ(first->references(), 1u);  // the point let both sinks go
  EXPECT_EQ(second->references(), 1u);
  EXPECT_EQ(log_.lines(), (Lines{"event Click(I4:4,I4:5)", "event DblClick(I4:5,I4:4)", "event Change(I4:4,I4:5)"}));
}

TEST_F(GridEventPoint, ASinkChangesAByReferenceArgument) {
  ComPtr<RecordingSink> sink(new RecordingSink);
  sink->setShort = 0;
  DWORD cookie = 0;
  ASSERT_EQ(point_->Advise(sink.get(), &cookie), S_OK);
  std::int16_t key = 'A';
  VARIANT keyArg{};
  keyArg.vt = VT_I2 | VT_BYREF;
  keyArg.byref = &key;
  fire(SpreadEvent::KeyPress, {&keyArg});
  EXPECT_EQ(key, 0);  // swallowed
  EXPECT_EQ(sink->heard, Lines{heard(SpreadEvent::KeyPress, "65")});
  EXPECT_EQ(log_.lines(), Lines{"event KeyPress(BYREF|I2:65)"});  // as the grid raised it
  point_->Unadvise(cookie);
}

TEST_F(GridEventPoint, ASinkThatLeavesDuringAnEventDoesNotStopTheOthers) {
  ComPtr<RecordingSink> leaving(new RecordingSink), staying(new RecordingSink);
  ASSERT_EQ(point_->Advise(leaving.get(), &leaving->cookie), S_OK);
  ASSERT_EQ(point_->Advise(staying.get(), &staying->cookie), S_OK);
  leaving->leave = point_.get();
  const Variant col = I4(1), row = I4(2);
  fire(SpreadEvent::Click, {col.get(), row.get()});
  fire(SpreadEvent::Click, {row.get(), col.get()});
  EXPECT_EQ(leaving->heard, Lines{heard(SpreadEvent::Click, "1,2")});
  EXPECT_EQ(staying->heard, (Lines{heard(SpreadEvent::Click, "1,2"), heard(SpreadEvent::Click, "2,1")}));
  EXPECT_EQ(leaving->references(), 1u);
  point_->Unadvise(staying->cookie);
}

class NotADispatch final : public ComObject<Implements<IPropertyNotifySink, IID_IPropertyNotifySink>> {
 public:
  HRESULT OnChanged(DISPID) override { return S_OK; }
  HRESULT OnRequestEdit(DISPID) override { return S_OK; }
};

TEST_F(GridEventPoint, OnlyADispatchSinkIsAdvised) {
  ComPtr<NotADispatch> sink(new NotADispatch);
  DWORD cookie = 7;
  EXPECT_EQ(point_->Advise(sink.get(), &cookie), E_NOINTERFACE);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(point_->Advise(nullptr, &cookie), E_POINTER);
  EXPECT_EQ(sink->references(), 1u);
}

// An event the book raises while a member runs reaches the sinks and the log, before the line
// of the member that raised it.
TEST_F(GridEventPoint, AnEventOfAMemberIsLoggedBeforeTheMember) {
  ComPtr<RecordingSink> sink(new RecordingSink);
  DWORD cookie = 0;
  ASSERT_EQ(point_->Advise(sink.get(), &cookie), S_OK);
  const Variant col = I4(3), row = I4(7);
  Variant result;
  ASSERT_EQ(invoke(grid.get(), u"SetActiveCell", DISPATCH_METHOD, {col.get(), row.get()}, result.get()), S_OK);
  ASSERT_FALSE(sink->heard.empty());
  const Lines lines = log_.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(lines.front().starts_with("event ")) << lines.front();
  EXPECT_EQ(lines.back(), "call SetActiveCell(I4:3,I4:7) -> EMPTY");
  point_->Unadvise(cookie);
}

}  // namespace
}  // namespace spread::testing
