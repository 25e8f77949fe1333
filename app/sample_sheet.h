// The demo's sample sheet: one cell of every cell type the grid offers, labelled in column 1 and
// filled in column 2, written through the wrapper in a fixed order (the grid applies cell
// properties to the cell Row and Col address, so each row sets them first).
#pragma once

#include <string_view>

namespace kestrel {

namespace wrapper {
class SpreadWrapper;
}

// The sample picture of row 11, named without a folder: the grid looks for it in the working
// directory and then beside the program.
inline constexpr std::string_view kSamplePicture = "cover.jpg";

void FillSampleSheet(wrapper::SpreadWrapper& spread);

}  // namespace kestrel
