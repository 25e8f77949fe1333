// The component model's services: class identifier texts, the class registry, creating a
// registered component's object and calling it by name, and the system's message texts.
#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/com/variant.h"
#include "platform/system/registry.h"
#include "tests/support/temp_profile.h"

namespace platform {
namespace {

std::u16string wide(std::string_view s) { return std::u16string(s.begin(), s.end()); }

struct GuidCase {
  GUID guid;
  const char* text;
};

class GuidTextTest : public ::testing::TestWithParam<GuidCase> {};

TEST_P(GuidTextTest, ReadsBackWhatItWrites) {
  EXPECT_EQ(GuidText(GetParam().guid), GetParam().text);
  CLSID back;
  ASSERT_EQ(CLSIDFromStringA(GetParam().text, &back), S_OK);
  EXPECT_EQ(back, GetParam().guid);
  OLECHAR buffer[39];
  EXPECT_EQ(StringFromGUID2(GetParam().guid, buffer, 39), 39);
  EXPECT_EQ(StringFromGUID2(GetParam().guid, buffer, 38), 0);
}

INSTANTIATE_TEST_SUITE_P(Known, GuidTextTest,
                         ::testing::Values(GuidCase{IID_IDispatch, "{00020400-0000-0000-C000-000000000046}"},
                                           GuidCase{IID_IClassFactory, "{00000001-0000-0000-C000-000000000046}"},
                                           GuidCase{GUID{0xDEADBEEF, 0x1234, 0xABCD, {1, 2, 3, 4, 5, 6, 7, 8}},
                                                    "{DEADBEEF-1234-ABCD-0102-030405060708}"}));

TEST(GuidTextTest, BadTextIsAnInvalidClassString) {
  CLSID c;
  for (const char* bad : {"", "{00020400-0000-0000-C000-00000000004}", "00020400-0000-0000-C000-000000000046",
                          "{00020400+0000-0000-C000-000000000046}", "{0002040G-0000-0000-C000-000000000046}"})
    EXPECT_EQ(CLSIDFromStringA(bad, &c), CO_E_CLASSSTRING) << bad;
}

// A small automation object: a property "Value" and a method "Add(n)".
class Counter final : public ComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) {
      const std::u16string n(names[i]);
      ids[i] = n == u"Value" ? 1 : n == u"Add" ? 2 : DISPID_UNKNOWN;
      if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    }
    return S_OK;
  }
  HRESULT Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (member == 1 && (flags & DISPATCH_PROPERTYPUT)) return value_ = params->rgvarg[0].lVal, S_OK;
    if (member == 1 && (flags & DISPATCH_PROPERTYGET)) return result->vt = VT_I4, result->lVal = value_, S_OK;
    if (member == 2 && (flags & DISPATCH_METHOD)) {
      if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      value_ += params->rgvarg[0].lVal;
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  LONG value_ = 0;
};

class CounterFactory final : public UnownedComObject<Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    return (new Counter)->QueryInterface(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }
};

class ComponentTest : public ::testing::Test {
 protected:
  kestrel::testing::TempProfileDir profile_{"com_test"};
};

TEST_F(ComponentTest, ARegisteredClassIsCreatedByProgIdAndCalledByName) {
  CounterFactory factory;
  const CLSID clsid{0x12345678, 0x9ABC, 0xDEF0, {1, 1, 2, 3, 5, 8, 13, 21}};
  DWORD cookie = 0;
  ASSERT_EQ(RegisterComponentClass({clsid, "Kestrel.TestCounter.1", "Test counter", "Apartment", true, &factory}, &cookie), S_OK);

  CLSID found;
  ASSERT_EQ(CLSIDFromProgID(wide("Kestrel.TestCounter.1").c_str(), &found), S_OK);
  EXPECT_EQ(found, clsid);
  EXPECT_EQ(ProgIDFromCLSIDA(clsid), "Kestrel.TestCounter.1");
  HKEY control = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidText(clsid) + "\\Control").c_str(), 0, KEY_READ, &control), 0);
  RegCloseKey(control);

  ComPtr<IDispatch> counter;
  ASSERT_EQ(CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, counter.put()), S_OK);
  std::u16string add = u"Add", missing = u"Nothing";
  OLECHAR* names[] = {add.data()};
  DISPID id = 0;
  ASSERT_EQ(counter->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  VARIANT arg;
  arg.vt = VT_I4;
  arg.lVal = 40;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  EXPECT_EQ(counter->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(counter->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  VARIANT value;
  DISPPARAMS none;
  EXPECT_EQ(counter->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr), S_OK);
  EXPECT_EQ(value.lVal, 80);
  names[0] = missing.data();
  EXPECT_EQ(counter->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);

  void* object = nullptr;
  EXPECT_EQ(CoCreateInstance(found, counter.get(), CLSCTX_ALL, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  counter.reset();
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.references(), 0u);  // the registry gave its reference back
  EXPECT_EQ(CoCreateInstance(found, nullptr, CLSCTX_ALL, IID_IDispatch, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CLSIDFromProgIDA("No.Such.Class", &found), CO_E_CLASSSTRING);
}

// An object that counts its references and says when it is gone.
class Tracked final : public ComObject<Implements<IUnknown>> {
 public:
  explicit Tracked(bool* gone) : BasicComObject(1), gone_(gone) {}  // the creator's reference

 private:
  ~Tracked() override { *gone_ = true; }
  bool* gone_;
};

TEST(ComPtrTest, HoldsExactlyTheReferencesItOwns) {
  bool gone = false;
  auto* raw = new Tracked(&gone);
  {
    ComPtr<IUnknown> first = ComPtr<IUnknown>::adopt(raw);  // takes the creator's reference
    EXPECT_EQ(raw->references(), 1u);
    ComPtr<IUnknown> copy = first;  // a copy owns one more
    EXPECT_EQ(raw->references(), 2u);
    ComPtr<IUnknown> moved = std::move(copy);  // a move hands it over
    EXPECT_EQ(raw->references(), 2u);
    EXPECT_FALSE(copy);
    ComPtr<IUnknown> shared(raw);  // from a borrowed pointer: a reference of its own
    EXPECT_EQ(raw->references(), 3u);
    shared = first;  // assignment releases the old reference, adds the new one
    EXPECT_EQ(raw->references(), 3u);
    ComPtr<IUnknown> out;
    ASSERT_EQ(raw->QueryInterface(IID_IUnknown, out.put()), S_OK);
    EXPECT_EQ(raw->references(), 4u);
    ASSERT_EQ(raw->QueryInterface(IID_IUnknown, out.put()), S_OK);  // put gives back the reference it held
    EXPECT_EQ(raw->references(), 4u);
    IUnknown* handed = out.release();
    EXPECT_EQ(raw->references(), 4u);
    handed->Release();
    EXPECT_FALSE(gone);
  }
  EXPECT_TRUE(gone);  // the last owner released the object
}

// Two interfaces a ComObject answers for (the first under two identifiers) and one it only
// inherits.
struct IFirst : IUnknown {
  virtual int first() = 0;

 protected:
  ~IFirst() = default;
};
struct ISecond : IUnknown {
  virtual int second() = 0;

 protected:
  ~ISecond() = default;
};
struct IHidden : IUnknown {
  virtual int hidden() = 0;

 protected:
  ~IHidden() = default;
};
constexpr IID kFirstIid{0x4B455354, 0x0101, 0, {1}}, kFirstAliasIid{0x4B455354, 0x0102, 0, {2}}, kSecondIid{0x4B455354, 0x0103, 0, {3}},
    kHiddenIid{0x4B455354, 0x0104, 0, {4}};

template <Lifetime lifetime>
class Probe final
    : public BasicComObject<lifetime, Implements<IFirst, kFirstIid, kFirstAliasIid>, Implements<ISecond, kSecondIid>, Implements<IHidden>> {
 public:
  explicit Probe(int* deleted, ULONG initial = 0) : Probe::BasicComObject(initial), deleted_(deleted) {}
  ~Probe() override { ++*deleted_; }
  int first() override { return 1; }
  int second() override { return 2; }
  int hidden() override { return 3; }

 private:
  int* deleted_;
};
using HeapProbe = Probe<Lifetime::Heap>;

TEST(ComObjectTest, CountsReferencesAndDeletesExactlyOnceAtZero) {
  int deleted = 0;
  auto* probe = new HeapProbe(&deleted);
  EXPECT_EQ(probe->references(), 0u);  // the first reference comes from QueryInterface
  EXPECT_EQ(probe->AddRef(), 1u);
  EXPECT_EQ(probe->AddRef(), 2u);
  EXPECT_EQ(probe->Release(), 1u);
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(probe->Release(), 0u);
  EXPECT_EQ(deleted, 1);

  auto* created = new HeapProbe(&deleted, 1);  // the creator holds the first reference
  EXPECT_EQ(created->references(), 1u);
  ComPtr<IFirst>::adopt(created).reset();
  EXPECT_EQ(deleted, 2);
}

TEST(ComObjectTest, CountsReferencesFromManyThreads) {
  int deleted = 0;
  auto* probe = new HeapProbe(&deleted, 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([probe] {
      for (int i = 0; i < 20000; ++i) probe->AddRef(), probe->Release();
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(probe->references(), 1u);
  EXPECT_EQ(deleted, 0);
  probe->Release();
  EXPECT_EQ(deleted, 1);
}

TEST(ComObjectTest, AnswersForEachListedIdentifierAndRefusesOthers) {
  int deleted = 0;
  auto* probe = new HeapProbe(&deleted, 1);
  const std::pair<IID, void*> answered[] = {{IID_IUnknown, static_cast<IFirst*>(probe)},
                                            {kFirstIid, static_cast<IFirst*>(probe)},
                                            {kFirstAliasIid, static_cast<IFirst*>(probe)},
                                            {kSecondIid, static_cast<ISecond*>(probe)}};
  for (const auto& [iid, expected] : answered) {
    void* object = nullptr;
    ASSERT_EQ(probe->QueryInterface(iid, &object), S_OK) << GuidText(iid);
    EXPECT_EQ(object, expected) << GuidText(iid);
    EXPECT_EQ(probe->references(), 2u) << GuidText(iid);  // the caller owns one more
    static_cast<IUnknown*>(object)->Release();
  }
  EXPECT_EQ(static_cast<ISecond*>(probe)->second(), 2);
  for (const IID& iid : {kHiddenIid, IID_IDispatch, IID_IClassFactory, IID_NULL}) {
    void* object = probe;
    EXPECT_EQ(probe->QueryInterface(iid, &object), E_NOINTERFACE) << GuidText(iid);
    EXPECT_EQ(object, nullptr) << GuidText(iid);
    EXPECT_EQ(probe->references(), 1u) << GuidText(iid);
  }
  // A call through any interface reaches the one count.
  static_cast<ISecond*>(probe)->AddRef();
  static_cast<IHidden*>(probe)->Release();
  EXPECT_EQ(deleted, 0);
  static_cast<ISecond*>(probe)->Release();
  EXPECT_EQ(deleted, 1);
}

TEST(ComObjectTest, AnUnownedObjectCountsButIsNotDeleted) {
  int deleted = 0;
  {
    Probe<Lifetime::Unowned> probe(&deleted);
    ComPtr<ISecond> second;
    ASSERT_EQ(probe.QueryInterface(kSecondIid, second.put()), S_OK);
    EXPECT_EQ(probe.references(), 1u);
    second.reset();
    EXPECT_EQ(probe.references(), 0u);
    EXPECT_EQ(deleted, 0);
  }
  EXPECT_EQ(deleted, 1);  // its owner ended it, once
}

TEST(SystemMessageTest, FormatMessageGivesTheSystemsTexts) {
  const std::pair<DWORD, const char*> cases[] = {{0x80040154, "Class not registered\r\n"},
                                                 {0x80020006, "Unknown name.\r\n"},
                                                 {0x80020009, "Exception occurred.\r\n"},
                                                 {0x00000002, "The system cannot find the file specified.\r\n"}};
  char buffer[128];
  for (const auto& [id, text] : cases) {
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, id, 0, buffer, sizeof buffer, nullptr), std::strlen(text));
    EXPECT_STREQ(buffer, text);
  }
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x12345678, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x80040154, 0, buffer, 5, nullptr), 0u);
}

// An object whose default property (DISPID_VALUE) is a number, or, when told, another object.
class Defaulted final : public UnownedComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  explicit Defaulted(LONG value, IDispatch* inner = nullptr) : value_(value), inner_(inner) {}
  HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  HRESULT Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (member != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (inner_) {
      inner_->AddRef();
      result->vt = VT_DISPATCH;
      result->pdispVal = inner_;
      return S_OK;
    }
    result->vt = VT_I4;
    result->lVal = value_;
    return S_OK;
  }

 private:
  LONG value_;
  IDispatch* inner_;
};

TEST(ObjectConversion, ADispatchObjectChangesThroughItsDefaultProperty) {
  Defaulted answer(42);
  VARIANT object{};
  object.vt = VT_DISPATCH;
  object.pdispVal = &answer;
  Variant text, number, unknown, back;
  ASSERT_EQ(VariantChangeType(text.get(), &object, 0, VT_BSTR), S_OK);
  EXPECT_EQ(std::u16string(bstrView(text->bstrVal)), u"42");
  ASSERT_EQ(VariantChangeType(number.get(), &object, 0, VT_R8), S_OK);
  EXPECT_EQ(number->dblVal, 42.0);
  ASSERT_EQ(VariantChangeType(unknown.get(), &object, 0, VT_UNKNOWN), S_OK);  // an object stays itself
  ASSERT_EQ(VariantChangeType(back.get(), unknown.get(), 0, VT_DISPATCH), S_OK);
  EXPECT_EQ(back->pdispVal, static_cast<IDispatch*>(&answer));
  IDispatch* pointer = &answer;
  VARIANT byReference{};
  byReference.vt = VT_BYREF | VT_DISPATCH;
  byReference.byref = &pointer;
  Variant viaReference;
  ASSERT_EQ(VariantChangeType(viaReference.get(), &byReference, 0, VT_I2), S_OK);
  EXPECT_EQ(viaReference->iVal, 42);

  // An object whose default value is an object again, a null object, and an object without one.
  Defaulted nested(0, &answer);
  VARIANT outer{};
  outer.vt = VT_DISPATCH;
  outer.pdispVal = &nested;
  Variant refused;
  EXPECT_EQ(VariantChangeType(refused.get(), &outer, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
  VARIANT none{};
  none.vt = VT_DISPATCH;
  EXPECT_EQ(VariantChangeType(refused.get(), &none, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
  bool gone = false;
  auto* plain = new Tracked(&gone);
  VARIANT notDispatch{};
  notDispatch.vt = VT_UNKNOWN;
  notDispatch.punkVal = plain;
  EXPECT_EQ(VariantChangeType(refused.get(), &notDispatch, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(refused->vt, VT_EMPTY);
  plain->Release();
  EXPECT_TRUE(gone);
}

}  // namespace
}  // namespace platform
