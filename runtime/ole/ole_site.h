// The site of one OLE control: the object it hosts (an embedded control or a plain automation
// server, created from a ProgID or a "{CLSID}"), the automation bridge that reads, writes and
// calls the object's members by member-path text, the control's runtime properties, the event
// callback and the failure reporting. Owned by the control (Control::automation) and released
// with it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/com.h"
#include "platform/com/com_ptr.h"
#include "platform/com/ole.h"
#include "platform/com/storage.h"
#include "platform/com/variant.h"
#include "platform/window/view.h"
#include "runtime/eval/binding.h"
#include "runtime/ole/member_path.h"
#include "runtime/window/control_access.h"

namespace tamsil::ole {

// Flags of a site (the 32-bit word it keeps).
enum SiteFlag : std::uint32_t {
  kSizeModeMask = 0x3,  // the SizeMode value
  kReportErrors = 0x4,  // automation failures in message boxes (ReportException non-zero)
  kWindowUI = 0x20,
  kDesignMode = 0x40,
  kCtrl = 0x80,
  kGrabHandles = 0x100,
  kIsRadio = 0x200,
  kApartment = 0x400,         // the class's threading model is "APARTMENT"
  kBothThreading = 0x800,     // ... "BOTH"
  kAutomationOnly = 0x2000,   // an automation server without an OLE object
  kReportOleErrors = 0x4000,  // other platform failures too (ReportException = 2)
};

// The program's callback for the object's events: the event's parameters as the object
// delivered them and the control's field number. Its answer is ignored.
using OleEventCallback = std::function<void(platform::DISPPARAMS* params, int field)>;

// The pushed texts of a failed read.
inline constexpr std::string_view kGetPropertyFailed = "GetPropertyFailed";
inline constexpr std::string_view kNoAutomation = "No ole automation interface";

// Runtime error codes the bridge sets.
enum OleErrorCode : int { kBadStorageName = 10000, kNotAnObject = 10001, kUnboundName = 1013 };

struct Failure;
class EventSink;

class OleSite final : public window::ControlAutomation {
 public:
  OleSite(window::Window& window, window::Control& control);
  ~OleSite() override;
  OleSite(const OleSite&) = delete;
  OleSite& operator=(const OleSite&) = delete;

  // The bridge (ControlAutomation): PropertyCall, PropertyPut, MethodCall, PropertyPutTyped.
  window::PropertyValue call(std::string_view memberPath) override;
  window::PropertyStatus put(std::string_view memberPath, std::string_view value) override;
  window::PropertyStatus invoke(std::string_view memberPath) override;
  window::PropertyStatus putTyped(std::string_view memberPath, std::uint8_t type, const void* address, std::size_t size) override;
  std::optional<window::PropertyValue> getRuntime(std::uint16_t number, int index) override;
  std::optional<window::PropertyStatus> setRuntime(std::uint16_t number, std::string_view value, int index) override;

  // Creates the object from a ProgID or a "{CLSID}", releasing any object held before.
  bool create(std::string_view progIdOrClsid);
  // Saves the object into storage STORAGE of compound file FILE ("FILE\!STORAGE"), or loads a
  // new object (of the class the storage names) from it.
  window::PropertyStatus saveAs(std::string_view fileAndStorage);
  window::PropertyStatus open(std::string_view fileAndStorage);
  // The bytes of a compound file holding the object in storage "blob"; empty when it cannot be
  // saved.
  std::string blob();
  // Lets the object go.
  void release();

  void setEventCallback(OleEventCallback callback) { callback_ = std::move(callback); }
  // Delivers one event of the object to the callback, with `dispid` as the current event.
  void deliverEvent(platform::DISPID dispid, platform::DISPPARAMS* params);
  // The current event's name from the object's type information; "ErrorEvent" for the stock
  // error event without one; empty otherwise.
  std::string lastEventName();

  // Keeps the variable in step with the object's value (DISPID 0): a change the object reports
  // is read into it and posts the control's Accepted event; redisplaying the control writes the
  // variable's text to member "0".
  void bindValue(const BoundVariable& variable);
  // The object reports a change of a property (its IPropertyNotifySink).
  void propertyChanged(platform::DISPID member);

  std::uint32_t flags() const { return flags_; }
  int field() const { return control_.field; }
  // The interface the bridge calls: the selected one, else the object's dispatch; null when the
  // object has none.
  platform::IDispatch* dispatch();

 private:
  enum class Want { Result, Nothing };

  // Evaluates a path; with a result wanted its text is put in `out`.
  [[nodiscard]] bool evaluate(std::string_view text, Want want, std::string* out);
  // Evaluates a path to its last member's result.
  bool walk(std::string_view text, Want want, platform::VARIANT& result);
  // The object a path starts at (an object reference, or the control's dispatch).
  platform::ComPtr<platform::IDispatch> startOf(const MemberPath& path);
  // Calls one member with the flag sequence for the wanted result.
  bool invokeMember(platform::IDispatch* object, const PathMember& member, Want want, platform::VARIANT& result);
  // Writes the value to the last member of the text.
  window::PropertyStatus write(std::string_view text, platform::VARIANT value);
  // Creates an object of the class, new or loaded from `from`.
  bool createClass(const platform::CLSID& clsid, std::string_view label, platform::IStorage* from);
  // Records the object's class and connects the event sink: the end of every creation.
  void connectObject(const platform::CLSID& clsid);
  // Gives the object the client site; on failure reports it and releases the object.
  bool setClientSite(std::string_view label);
  // Saves the object into a new storage of the compound file, created when it cannot be opened.
  window::PropertyStatus saveInto(const std::string& file, std::string_view storage);
  bool resolve(platform::IDispatch* object, std::string_view name, platform::DISPID& id);
  void report(const Failure& failure);
  void raiseErrorEvent(const platform::EXCEPINFO& info);

  window::Window& window_;
  window::Control& control_;
  platform::ComPtr<platform::IUnknown> object_;
  platform::ComPtr<platform::IOleObject> oleObject_;  // null for an automation-only object
  platform::ComPtr<platform::IOleClientSite> clientSite_;
  platform::ComPtr<platform::IDispatch> dispatch_;
  platform::ComPtr<platform::IDispatch> alternate_;
  platform::ComPtr<EventSink> sink_;              // connected while the object is held
  platform::ComPtr<platform::IStorage> storage_;  // where the object lives
  platform::CLSID clsid_{};
  OleEventCallback callback_;
  platform::DISPID currentEvent_ = 0;
  std::optional<BoundVariable> bound_;
  std::optional<platform::DISPID> valueDispid_;  // of "Value", looked up once
  platform::LCID locale_ = 0x0400;               // the user's default locale
  std::uint32_t flags_ = 0;
};

// Makes the window layer give every OLE control a site the first time a selector reaches it.
void InstallOleContainer();

// Binds OLE control `field` of the calling thread's current window to a program variable (see
// OleSite::bindValue). False when the field names no OLE control there.
bool BindOleValue(int field, StorageType type, void* address, std::size_t size);

// Sets (or, with an empty callback, removes) the event callback of OLE control `field` of the
// calling thread's current window. False when the field names no OLE control there.
bool RegisterOleEventCallback(int field, OleEventCallback callback);

// Shows the component's own view (a platform::WindowView of a kind the backend knows, such as
// the Qt backend's QtWindowView) inside the window of OLE control `field` of the calling
// thread's current window; null removes it. The view goes with the control's window. False when
// the field names no OLE control with a window there.
bool SetOleView(int field, std::shared_ptr<platform::WindowView> view);

}  // namespace tamsil::ole
