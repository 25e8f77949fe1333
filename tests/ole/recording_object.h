// A test automation object that writes what it receives into a shared log (names looked up,
// DISPIDs, flags, argument types and values in call order, named arguments) and answers a small
// fixed vocabulary: a property, a method that echoes its arguments, a child object, members that
// accept only some flags, raise exceptions, check types, or change arguments passed by reference.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/ole.h"
#include "platform/com/storage.h"
#include "platform/com/variant.h"

namespace tamsil::testing {

// The member names and their DISPIDs.
enum RecorderMember : platform::DISPID {
  kValue = 1,
  kCells = 2,
  kEcho = 3,
  kChild = 4,
  kSame = 5,
  kMethodOnly = 6,
  kRaise = 7,
  kStrict = 8,
  kAppend = 9,
  kTwice = 10,
  kColWidth = 11,
  kNothing = 12,
  kCount = 20,  // only as a named argument
};

using Log = std::vector<std::string>;

// "I4 12", "BSTR 1.5", "BOOL -1", "DISPATCH", "BYREF|I4"; a named argument is prefixed "#ID=".
std::string describe(const platform::VARIANT& v);

// It also keeps its "Value" in a storage (stream "Contents", the text), logging InitNew, Load and
// Save, and logs what a container does with it as an embedded object (client site, miscellaneous
// status, close) and as a runnable one.
class RecordingObject final : public platform::ComObject<platform::Implements<platform::IDispatch, platform::IID_IDispatch>,
                                                         platform::Implements<platform::IPersistStorage, platform::IID_IPersistStorage>,
                                                         platform::Implements<platform::IOleObject, platform::IID_IOleObject>,
                                                         platform::Implements<platform::IRunnableObject, platform::IID_IRunnableObject>> {
 public:
  explicit RecordingObject(std::shared_ptr<Log> log, std::string tag = {}) : log_(std::move(log)), tag_(std::move(tag)) {}

  platform::HRESULT GetTypeInfoCount(platform::UINT* count) override { return *count = 0, platform::S_OK; }
  platform::HRESULT GetTypeInfo(platform::UINT, platform::LCID, platform::ITypeInfo**) override { return platform::E_NOTIMPL; }
  platform::HRESULT GetIDsOfNames(const platform::IID&, platform::OLECHAR** names, platform::UINT count, platform::LCID,
                                  platform::DISPID* ids) override;
  platform::HRESULT Invoke(platform::DISPID member, const platform::IID&, platform::LCID, platform::WORD flags, platform::DISPPARAMS* params,
                           platform::VARIANT* result, platform::EXCEPINFO* exception, platform::UINT* argumentError) override;

  platform::HRESULT GetClassID(platform::CLSID*) override { return platform::E_NOTIMPL; }
  platform::HRESULT IsDirty() override { return platform::S_OK; }
  platform::HRESULT InitNew(platform::IStorage* storage) override;
  platform::HRESULT Load(platform::IStorage* storage) override;
  platform::HRESULT Save(platform::IStorage* storage, platform::BOOL sameAsLoad) override;
  platform::HRESULT SaveCompleted(platform::IStorage*) override { return platform::S_OK; }
  platform::HRESULT HandsOffStorage() override { return platform::S_OK; }

  platform::HRESULT SetClientSite(platform::IOleClientSite* site) override;
  platform::HRESULT GetClientSite(platform::IOleClientSite** site) override;
  platform::HRESULT Close(platform::DWORD) override;
  platform::HRESULT GetMiscStatus(platform::DWORD, platform::DWORD* status) override;
  platform::BOOL IsRunning() override { return running_; }
  platform::HRESULT Run(void*) override;

  // The miscellaneous status every RecordingObject reports.
  static platform::DWORD miscStatus;
  // How many RecordingObjects are alive (leak checks).
  static int alive;

 private:
  ~RecordingObject() override { --alive; }
  RecordingObject* child();

  std::shared_ptr<Log> log_;
  std::string tag_;  // "" for the top object, "cell" or "child" for the others
  platform::Variant value_;
  platform::ComPtr<RecordingObject> child_;
  platform::ComPtr<platform::IOleClientSite> site_;
  bool running_ = false;
};

// Makes RecordingObjects; registered as a class for the tests.
class RecorderFactory final : public platform::UnownedComObject<platform::Implements<platform::IClassFactory, platform::IID_IClassFactory>> {
 public:
  explicit RecorderFactory(std::shared_ptr<Log> log) : log_(std::move(log)) {}
  platform::HRESULT CreateInstance(platform::IUnknown* outer, const platform::IID& iid, void** object) override;
  platform::HRESULT LockServer(platform::BOOL) override { return platform::S_OK; }

 private:
  std::shared_ptr<Log> log_;
};

}  // namespace tamsil::testing
