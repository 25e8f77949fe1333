// How the framework tests print a resizer rectangle in a failure message.
#pragma once

#include <ostream>

#include "framework/window/resize_strategy.h"

namespace tamsil::framework {

inline void PrintTo(const ResizeRect& r, std::ostream* os) {
  *os << "(" << r.XPOS << "," << r.YPOS << "," << r.WIDTH << "," << r.HEIGHT << ")";
}

}  // namespace tamsil::framework
