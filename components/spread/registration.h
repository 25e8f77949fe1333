// The grid as a component class: its identifiers and its self-registration. A program that can
// create the grid calls RegisterSpreadComponent once (as a self-registering in-process server
// does when it is loaded): the class's registry entries under HKEY_CLASSES_ROOT (ProgID, CLSID,
// ThreadingModel "Apartment", the "Control" key) and its class object, through which
// CoCreateInstance and the OLE container make grids.
#pragma once

#include <string_view>

#include "platform/com/com.h"
#include "platform/com/hresult.h"

namespace spread {

inline constexpr std::string_view kSpreadProgId = "OVSpreadADO.ovSpread.6";
inline constexpr std::string_view kSpreadClassName = "Ostrevane Spread grid";
inline constexpr platform::CLSID kSpreadClsid{0x6B537072, 0x6561, 0x4432, {0x8A, 0x47, 0x52, 0x49, 0x44, 0x30, 0x30, 0x36}};
// The grid's outgoing (events) dispatch interface.
inline constexpr platform::IID kSpreadEventsIid{0x6B537072, 0x6561, 0x4432, {0x8A, 0x47, 0x52, 0x49, 0x44, 0x45, 0x56, 0x54}};

// Writes the class's registry entries (each call, so a profile switched to later has them too)
// and keeps one class object registered for this process. S_OK, or the registry's failure.
platform::HRESULT RegisterSpreadComponent();

}  // namespace spread
