// The member table's print members: PrintSheet and the page counts and breaks of the print.
#include "components/spread/members/call.h"
#include "components/spread/print/print_layout.h"
#include "components/spread/print/print_sheet.h"

namespace spread::members {

// PrintSheet([flags]): prints as print_sheet.h says; a failed print fails the call with its reason.
HRESULT callPrintSheet(Call& c, Variant&) {
  std::string error;
  if (!files::PrintSheet(c.book, &error)) return c.fail(platform::E_FAIL, "PrintSheet: " + error);
  return platform::S_OK;
}

HRESULT getPrintPageCount(Call& c, Variant& r) {
  SetInt(r, std::int32_t(files::LayOutPrint(c.book).pages.size()));
  return platform::S_OK;
}

// The first row (column) of the next page after the addressed one; 0 on the last page.
HRESULT getPrintNextPageBreakRow(Call& c, Variant& r) {
  SetInt(r, files::NextPageBreakRow(files::LayOutPrint(c.book), std::max(c.book.address().row, 1)));
  return platform::S_OK;
}

HRESULT getPrintNextPageBreakCol(Call& c, Variant& r) {
  SetInt(r, files::NextPageBreakCol(files::LayOutPrint(c.book), std::max(c.book.address().col, 1)));
  return platform::S_OK;
}

}  // namespace spread::members
