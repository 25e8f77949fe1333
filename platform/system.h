// System settings kept per user: the subset of SystemParametersInfoA the runtime uses.
#pragma once

#include "platform/types.h"

namespace platform {

// SPI_GETDRAGFULLWINDOWS (param points at a BOOL) and SPI_SETDRAGFULLWINDOWS (uiParam is the
// value; SPIF_UPDATEINIFILE keeps it for later runs). Other actions fail.
BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni);

}  // namespace platform
