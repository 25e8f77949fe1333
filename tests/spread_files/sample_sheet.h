// The demo window's sample sheet (tests/support/sample_sheet.h: one cell of every type, sizes, a
// picture) written through the member table as the demo writes it, and for the file and print
// tests a choice in the combo box, a ticked check box and a print header and footer.
#pragma once

#include <string>

#include "components/spread/members/addressed_book.h"

namespace spread::files {

// pictureFile receives a small PNG the picture cell loads.
void FillSampleSheet(AddressedBook& book, const std::string& pictureFile);

}  // namespace spread::files
