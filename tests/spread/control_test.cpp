// The grid as a component: registered as an apartment-threaded control, made by CoCreateInstance
// from its ProgID, answering every interface a container asks for, finding members without
// case, carrying them out with the arguments in call order, raising failures as exceptions with
// the member's text, naming members and events in its type information, and writing what it
// carried out (and nothing else) to the call log.
#include <gtest/gtest.h>

#include <algorithm>

#include "components/spread/call_log.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"
#include "platform/com/com.h"
#include "platform/com/connection.h"
#include "platform/com/ole.h"
#include "platform/com/storage.h"
#include "platform/com/wide_text.h"
#include "tests/spread/spread_test.h"

namespace spread::testing {
namespace {

using namespace platform;

using Lines = std::vector<std::string>;

TEST_F(SpreadTest, TheRegistryNamesAnApartmentControl) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgIDA("OVSpreadADO.ovSpread.6", &clsid), S_OK);
  EXPECT_EQ(clsid, kSpreadClsid);
  EXPECT_EQ(ProgIDFromCLSIDA(kSpreadClsid), "OVSpreadADO.ovSpread.6");
  EXPECT_EQ(ClassThreadingModel(kSpreadClsid), "Apartment");
  EXPECT_TRUE(ClassHasKey(kSpreadClsid, "Control"));
  EXPECT_FALSE(ClassHasKey(kSpreadClsid, "Insertable"));
}

TEST_F(SpreadTest, RegisteringAgainWritesTheEntriesOfANewProfile) {
  kestrel::testing::TempProfileDir other("spread_com_other");
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgIDA(kSpreadProgId, &clsid), CO_E_CLASSSTRING);
  ASSERT_EQ(RegisterSpreadComponent(), S_OK);
  ASSERT_EQ(CLSIDFromProgIDA(kSpreadProgId, &clsid), S_OK);
  ComPtr<IDispatch> another;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, another.put()), S_OK);
}

TEST_F(SpreadTest, TheObjectAnswersForWhatAContainerAsks) {
  struct Answer {
    const IID* iid;
    HRESULT expected;
  };
  const Answer answers[] = {
      {&IID_IUnknown, S_OK},
      {&IID_IDispatch, S_OK},
      {&IID_IOleObject, S_OK},
      {&IID_IPersistStorage, S_OK},
      {&IID_IConnectionPointContainer, S_OK},
      {&IID_IProvideClassInfo2, S_OK},
      {&IID_IConnectionPoint, S_OK},
      {&IID_IRunnableObject, E_NOINTERFACE},  // always running
      {&IID_IClassFactory, E_NOINTERFACE},
  };
  ComPtr<IUnknown> identity;
  ASSERT_EQ(grid->QueryInterface(IID_IUnknown, identity.put()), S_OK);
  for (const Answer& a : answers) {
    ComPtr<IUnknown> face;
    EXPECT_EQ(grid->QueryInterface(*a.iid, face.put()), a.expected) << GuidText(*a.iid);
    if (!face) continue;
    ComPtr<IUnknown> back;  // every interface leads back to the same object
    ASSERT_EQ(face->QueryInterface(IID_IUnknown, back.put()), S_OK);
    EXPECT_EQ(back.get(), identity.get()) << GuidText(*a.iid);
  }
}

TEST_F(SpreadTest, AggregationIsRefused) {
  ComPtr<IUnknown> made;
  EXPECT_EQ(CoCreateInstance(kSpreadClsid, grid.get(), CLSCTX_INPROC_SERVER, IID_IUnknown, made.put()), CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(made);
}

TEST_F(SpreadTest, NamesAreFoundWithoutCase) {
  const DISPID maxRows = FindMember("MaxRows")->dispid;
  for (const char16_t* name : {u"MaxRows", u"maxrows", u"MAXROWS", u"mAxRoWs"}) EXPECT_EQ(dispid(name), maxRows);
  EXPECT_EQ(dispid(u"colwidth"), FindMember("ColWidth")->dispid);
  EXPECT_EQ(dispid(u"TypehAlign"), FindMember("TypeHAlign")->dispid);  // as the wrapper reads it
  for (std::u16string name :
       {std::u16string(u"NoSuchMember"), std::u16string(u"MaxRow"), std::u16string(u"M\u00e4xRows"), std::u16string(200, u'A')}) {
    OLECHAR* names[] = {name.data()};
    DISPID id = 12345;
    EXPECT_EQ(grid->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
  }
  // A member with a parameter name: the member is found, the parameter (none has a name) not.
  std::u16string member(u"ColWidth"), parameter(u"Col");
  OLECHAR* names[] = {member.data(), parameter.data()};
  DISPID ids[2] = {};
  EXPECT_EQ(grid->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], FindMember("ColWidth")->dispid);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  constexpr IID kOther{1, 2, 3, {4}};
  EXPECT_EQ(grid->GetIDsOfNames(kOther, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(SpreadTest, MembersRunWithTheirArgumentsInCallOrderAndAreLogged) {
  const Variant two = I4(2), three = I4(3), seven = I4(7);
  ASSERT_EQ(put(u"MaxRows", {}, I4(13)), S_OK);
  EXPECT_EQ(textOf(*get(u"MaxRows").get()), "13");
  ASSERT_EQ(put(u"ColWidth", {two.get()}, R8(25.5)), S_OK);
  const Variant width = get(u"ColWidth", {two.get()});
  EXPECT_EQ(width->vt, VT_R8);
  EXPECT_EQ(width->dblVal, 25.5);
  const Variant other = get(u"ColWidth", {three.get()});
  EXPECT_NE(other->dblVal, 25.5);
  Variant nothing;
  ASSERT_EQ(invoke(grid.get(), u"SetActiveCell", DISPATCH_METHOD, {three.get(), seven.get()}, nothing.get()), S_OK);
  EXPECT_EQ(nothing->vt, VT_EMPTY);
  EXPECT_EQ(textOf(*get(u"ActiveCol").get()), "3");
  EXPECT_EQ(textOf(*get(u"ActiveRow").get()), "7");
  ASSERT_EQ(put(u"Text", {}, Text(u"Type in \"me\"")), S_OK);
  Lines lines = log_.lines();
  std::erase_if(lines, [](const std::string& l) { return l.starts_with("event "); });
  EXPECT_EQ(lines, (Lines{
                       "put MaxRows = I4:13",
                       "get MaxRows -> I4:13",
                       "put ColWidth(I4:2) = R8:25.5",
                       "get ColWidth(I4:2) -> R8:25.5",
                       "get ColWidth(I4:3) -> " + FormatValue(*other.get()),
                       "call SetActiveCell(I4:3,I4:7) -> EMPTY",
                       "get ActiveCol -> I4:3",
                       "get ActiveRow -> I4:7",
                       "put Text = BSTR:\"Type in \"\"me\"\"\"",
                   }));
}

struct Failure {
  const char* what;
  HRESULT expected;
  UINT argumentError;  // where a type mismatch lies, in DISPPARAMS order
};

// Each way a call can fail gives its code, leaves nothing in the log, and raises an exception
// only for a member that ran and refused.
TEST_F(SpreadTest, FailuresGiveTheirCodesAndAreNotLogged) {
  const Variant text = Text(u"abc"), value = I4(3);
  const MemberInfo* maxRows = FindMember("MaxRows");
  auto raw = [&](DISPID id, const IID& reserved, WORD flags, std::vector<VARIANT> reversed, std::vector<DISPID> named, UINT* argumentError) {
    DISPPARAMS params{reversed.data(), named.data(), UINT(reversed.size()), UINT(named.size())};
    Variant result;
    return grid->Invoke(id, reserved, 0, flags, &params, result.get(), nullptr, argumentError);
  };
  constexpr IID kOther{1, 2, 3, {4}};
  UINT position = 99;
  EXPECT_EQ(raw(987654, IID_NULL, DISPATCH_PROPERTYGET, {}, {}, nullptr), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(raw(maxRows->dispid, kOther, DISPATCH_PROPERTYGET, {}, {}, nullptr), DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYGET, {*value.get()}, {DISPID_PROPERTYPUT}, nullptr), DISP_E_NONAMEDARGS);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYPUT, {*value.get()}, {5}, nullptr), DISP_E_NONAMEDARGS);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYPUT, {}, {}, nullptr), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYGET, std::vector<VARIANT>(34, *value.get()), {}, nullptr), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYGET, {*value.get()}, {}, nullptr), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(raw(maxRows->dispid, IID_NULL, DISPATCH_PROPERTYPUT, {*text.get()}, {DISPID_PROPERTYPUT}, &position), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(position, 0u);  // the value
  const DISPID colWidth = FindMember("ColWidth")->dispid;
  EXPECT_EQ(raw(colWidth, IID_NULL, DISPATCH_PROPERTYPUT, {*value.get(), *text.get()}, {DISPID_PROPERTYPUT}, &position), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(position, 1u);  // the column
  EXPECT_EQ(log_.lines(), Lines{});
}

TEST_F(SpreadTest, AMemberThatRefusesRaisesAnExceptionWithItsText) {
  struct Refusal {
    const char16_t* name;
    WORD flags;
    Variant argument;  // VT_EMPTY: none
    HRESULT code;
  };
  Refusal refusals[] = {
      {u"MaxRows", DISPATCH_PROPERTYPUT, I4(-1), E_INVALIDARG},         // a value the member refuses
      {u"SheetCount", DISPATCH_PROPERTYPUT, I4(100000), E_INVALIDARG},  // more sheets than a grid holds
  };
  for (Refusal& r : refusals) {
    // The text the member itself gives.
    AddressedBook scratch;
    std::string expected;
    Variant ignored;
    const std::span<const VARIANT> args(r.argument.get(), r.argument->vt == VT_EMPTY ? 0 : 1);
    ASSERT_EQ(InvokeMember(scratch, *FindMember(wideToAnsi(r.name)), r.flags, args, &ignored, &expected), r.code);
    ASSERT_FALSE(expected.empty());

    EXCEPINFO info{};
    std::vector<const VARIANT*> passed;
    if (!args.empty()) passed.push_back(r.argument.get());
    EXPECT_EQ(invoke(grid.get(), r.name, r.flags, passed, ignored.get(), &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, r.code);
    EXPECT_EQ(wideToAnsi(bstrView(info.bstrSource)), "OVSpreadADO.ovSpread.6");
    EXPECT_EQ(wideToAnsi(bstrView(info.bstrDescription)), expected);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    // Without a place for the exception the member's code comes back as it is.
    EXPECT_EQ(invoke(grid.get(), r.name, r.flags, passed, ignored.get()), r.code);
  }
  EXPECT_EQ(log_.lines(), Lines{});
}

TEST_F(SpreadTest, TypeInformationNamesMembersAndEvents) {
  UINT count = 0;
  ASSERT_EQ(grid->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* raw = nullptr;
  EXPECT_NE(grid->GetTypeInfo(1, 0, &raw), S_OK);
  EXPECT_EQ(raw, nullptr);
  ASSERT_EQ(grid->GetTypeInfo(0, 0, &raw), S_OK);
  const ComPtr<ITypeInfo> info = ComPtr<ITypeInfo>::adopt(raw);
  auto nameOf = [&](DISPID id) {
    BSTR names[1] = {};
    UINT n = 0;
    if (FAILED(info->GetNames(id, names, 1, &n)) || n != 1) return std::string("(none)");
    const std::string name = wideToAnsi(bstrView(names[0]));
    SysFreeString(names[0]);
    return name;
  };
  // Events and members number themselves apart; where the numbers meet, the event's name is
  // given, since that is what a container asks the type information for.
  static constexpr SpreadEvent kEvents[] = {
#define X(name, ...) SpreadEvent::name,
#include "components/spread/members/event_list.inc"
#undef X
  };
  for (const SpreadEvent e : kEvents) EXPECT_EQ(nameOf(EventDispid(e)), EventName(e));
  int named = 0;
  for (const MemberInfo& m : Members()) {
    if (std::ranges::any_of(kEvents, [&](SpreadEvent e) { return EventDispid(e) == m.dispid; })) continue;
    EXPECT_EQ(nameOf(m.dispid), m.name);
    ++named;
  }
  EXPECT_GT(named, 0);
  EXPECT_EQ(nameOf(EventDispid(SpreadEvent::LeaveCell)), "LeaveCell");
  EXPECT_EQ(nameOf(EventDispid(SpreadEvent::Click)), "Click");
  EXPECT_EQ(nameOf(987654), "(none)");
}

class Site final : public ComObject<Implements<IOleClientSite, IID_IOleClientSite>> {
 public:
  HRESULT SaveObject() override { return ++saves, S_OK; }
  HRESULT ShowObject() override { return S_OK; }
  HRESULT OnShowWindow(BOOL) override { return S_OK; }
  int saves = 0;
};

TEST_F(SpreadTest, TheEmbeddedObjectWantsItsSiteFirstAndAsksToBeSavedWhenChanged) {
  ComPtr<IOleObject> ole;
  ASSERT_EQ(grid->QueryInterface(IID_IOleObject, ole.put()), S_OK);
  DWORD misc = 0;
  ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
  ComPtr<Site> site(new Site);
  ASSERT_EQ(ole->SetClientSite(site.get()), S_OK);
  IOleClientSite* back = nullptr;
  ASSERT_EQ(ole->GetClientSite(&back), S_OK);
  EXPECT_EQ(back, site.get());
  back->Release();
  EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(site->saves, 0);  // nothing changed yet
  ASSERT_EQ(put(u"MaxRows", {}, I4(20)), S_OK);
  EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_EQ(site->saves, 0);
  EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(site->saves, 1);
  EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
  ASSERT_EQ(ole->GetClientSite(&back), S_OK);
  EXPECT_EQ(back, nullptr);
  EXPECT_EQ(site->references(), 1u);  // the object let the site go
}

}  // namespace
}  // namespace spread::testing
