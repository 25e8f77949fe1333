// The grid's type information, as far as the platform's ITypeInfo goes: the name of each DISPID.
// A container asks the control's type information for the name of the event it is being told
// of, so an event's DISPID names the event; every other DISPID names its member. One static
// object serves every grid (it keeps no state).
#pragma once

#include "platform/com/unknown.h"

namespace spread {

// The type information, with a reference for the caller.
platform::ITypeInfo* SpreadTypeInfo();

}  // namespace spread
