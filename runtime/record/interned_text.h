// Interned texts: one stored copy of each distinct text for the life of the process, so that a
// record keeps a category or a procedure name as a small reference and equal texts share it.
// Any thread may intern; the views handed out stay valid until the program ends.
#pragma once

#include <string_view>

namespace tamsil::record {

// The interned copy of text (the same view for equal texts). The empty text is interned too.
std::string_view internText(std::string_view text);

}  // namespace tamsil::record
