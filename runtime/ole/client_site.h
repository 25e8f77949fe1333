// The client site a site offers the embedded object: the container's side of the embedding. The
// object may ask the container to save it or show it; this container keeps objects in their
// control's window at all times and saves them only when the program asks (SaveAs), so it
// answers those requests without acting.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/hresult.h"
#include "platform/com/ole.h"

namespace tamsil::ole {

class ClientSite final : public platform::ComObject<platform::Implements<platform::IOleClientSite, platform::IID_IOleClientSite>> {
 public:
  platform::HRESULT SaveObject() override { return platform::S_OK; }
  platform::HRESULT ShowObject() override { return platform::S_OK; }
  platform::HRESULT OnShowWindow(platform::BOOL) override { return platform::S_OK; }

 private:
  ~ClientSite() override = default;
};

}  // namespace tamsil::ole
