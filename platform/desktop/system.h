// System settings kept per user: the subset of SystemParametersInfoA the runtime uses.
#pragma once

#include "platform/types.h"

namespace platform {

// SPI_GETDRAGFULLWINDOWS (param points at a BOOL) and SPI_SETDRAGFULLWINDOWS (uiParam is the
// value; SPIF_UPDATEINIFILE keeps it for later runs). Other actions fail.
BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni);

// The user's session is ending: asks every top-level window of the calling thread with
// WM_QUERYENDSESSION, then tells each with WM_ENDSESSION whether it ends. FALSE when a window
// refused (the session then goes on).
BOOL QueryEndSession();

}  // namespace platform
