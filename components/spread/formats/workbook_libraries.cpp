#include "components/spread/formats/workbook_libraries.h"

#include <freexl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <xlsxwriter.h>

#include "platform/system/lazy_library.h"

namespace spread::files {
namespace {
platform::LazyLibrary freexl("libfreexl.so.1");
platform::LazyLibrary xml("libxml2.so.2");
platform::LazyLibrary xlsxwriter("libxlsxwriter.so.4");
}  // namespace

bool LoadXlsLibrary() { return freexl.load(); }

}  // namespace spread::files

// libgsf and GObject are forwarded by the component model (platform/com/gsf_library.cpp).
using spread::files::freexl;
using spread::files::xlsxwriter;
using spread::files::xml;

LAZY_LIBRARY_FORWARD(freexl, int, freexl_open, (const char* path, const void** handle), (path, handle), FREEXL_FILE_NOT_FOUND)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_close, (const void* handle), (handle), FREEXL_INVALID_HANDLE)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_get_info, (const void* handle, unsigned short what, unsigned int* info), (handle, what, info),
                     FREEXL_INVALID_HANDLE)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_get_worksheet_name, (const void* handle, unsigned short sheet, const char** name),
                     (handle, sheet, name), FREEXL_INVALID_HANDLE)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_select_active_worksheet, (const void* handle, unsigned short sheet), (handle, sheet),
                     FREEXL_INVALID_HANDLE)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_worksheet_dimensions, (const void* handle, unsigned int* rows, unsigned short* columns),
                     (handle, rows, columns), FREEXL_INVALID_HANDLE)
LAZY_LIBRARY_FORWARD(freexl, int, freexl_get_cell_value, (const void* handle, unsigned int row, unsigned short column, FreeXL_CellValue* value),
                     (handle, row, column, value), FREEXL_INVALID_HANDLE)

LAZY_LIBRARY_FORWARD(xml, xmlDocPtr, xmlReadMemory, (const char* buffer, int size, const char* url, const char* encoding, int options),
                     (buffer, size, url, encoding, options), nullptr)
LAZY_LIBRARY_FORWARD(xml, xmlNodePtr, xmlDocGetRootElement, (const xmlDoc* doc), (doc), nullptr)
LAZY_LIBRARY_FORWARD(xml, void, xmlFreeDoc, (xmlDocPtr doc), (doc), LAZY_LIBRARY_NO_RESULT)

LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_workbook*, workbook_new, (const char* filename), (filename), nullptr)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_worksheet*, workbook_add_worksheet, (lxw_workbook * workbook, const char* name), (workbook, name), nullptr)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_format*, workbook_add_format, (lxw_workbook * workbook), (workbook), nullptr)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_error, workbook_close, (lxw_workbook * workbook), (workbook), LXW_ERROR_CREATING_XLSX_FILE)
LAZY_LIBRARY_FORWARD(xlsxwriter, void, format_set_num_format, (lxw_format * format, const char* code), (format, code), LAZY_LIBRARY_NO_RESULT)
LAZY_LIBRARY_FORWARD(xlsxwriter, char*, lxw_strerror, (lxw_error error), (error), const_cast<char*>("the workbook library cannot be loaded"))
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_error, worksheet_set_column_opt,
                     (lxw_worksheet * sheet, lxw_col_t first, lxw_col_t last, double width, lxw_format* format, lxw_row_col_options* options),
                     (sheet, first, last, width, format, options), LXW_ERROR_MEMORY_MALLOC_FAILED)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_error, worksheet_write_number,
                     (lxw_worksheet * sheet, lxw_row_t row, lxw_col_t col, double number, lxw_format* format),
                     (sheet, row, col, number, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_error, worksheet_write_string,
                     (lxw_worksheet * sheet, lxw_row_t row, lxw_col_t col, const char* text, lxw_format* format),
                     (sheet, row, col, text, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
LAZY_LIBRARY_FORWARD(xlsxwriter, lxw_error, worksheet_write_boolean,
                     (lxw_worksheet * sheet, lxw_row_t row, lxw_col_t col, int value, lxw_format* format), (sheet, row, col, value, format),
                     LXW_ERROR_MEMORY_MALLOC_FAILED)
