// The member table's file methods: imports, exports, the grid's own file and tab files. Each
// answers True (-1) when the file was read or written whole and False (0) when not;
// ImportExcelBook answers an ImportStatus (1 imported, negative refused). Log file arguments name
// a file that receives what could not be read or written ("" for none).
#include "components/spread/formats/exports.h"
#include "components/spread/formats/grid_file.h"
#include "components/spread/formats/workbook_import.h"
#include "components/spread/members/call.h"

namespace spread::members {
namespace {

using files::TextLayout;

HRESULT Answer(Variant& r, bool ok) {
  SetShort(r, ok ? -1 : 0);
  return platform::S_OK;
}

// Arguments from `first` on read as texts (t) and numbers (n) by the pattern, e.g. "tttnt".
HRESULT Args(const Call& c, size_t first, std::string_view pattern, std::vector<std::string>& texts, std::vector<std::int32_t>& numbers) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    HRESULT hr = platform::S_OK;
    if (pattern[i] == 't') hr = TextArg(c, first + i, texts.emplace_back());
    else hr = IntArg(c, first + i, numbers.emplace_back());
    if (platform::FAILED(hr)) return hr;
  }
  return platform::S_OK;
}

// The range arguments (Col, Row, Col2, Row2) at the start of the Range methods.
HRESULT RangeArg(const Call& c, Block& b) {
  std::vector<std::string> unused;
  std::vector<std::int32_t> n;
  if (const HRESULT hr = Args(c, 0, "nnnn", unused, n); platform::FAILED(hr)) return hr;
  b = Block{n[0], n[1], n[2], n[3]};
  if (b.col == kAll) b.col2 = kAll;
  if (b.row == kAll) b.row2 = kAll;
  return platform::S_OK;
}

// ExportToTextFile(U) and ExportRangeToTextFile(U): file, cellDelim, colDelim, rowDelim, flags, log.
HRESULT TextExport(Call& c, Variant& r, bool range, bool utf16) {
  Block b{kAll, kAll, kAll, kAll};
  if (range)
    if (const HRESULT hr = RangeArg(c, b); platform::FAILED(hr)) return hr;
  std::vector<std::string> t;
  std::vector<std::int32_t> n;
  if (const HRESULT hr = Args(c, range ? 4 : 0, "ttttnt", t, n); platform::FAILED(hr)) return hr;
  std::string error;
  const bool ok = files::ExportText(c.book, c.book.sheet(), b, t[0], TextLayout{t[1], t[2], t[3], n[0], utf16}, &error);
  if (!ok) files::WriteProblemLog(t[4], t[0], {error});
  return Answer(r, ok);
}

HRESULT HtmlExport(Call& c, Variant& r, bool range) {
  Block b{kAll, kAll, kAll, kAll};
  if (range)
    if (const HRESULT hr = RangeArg(c, b); platform::FAILED(hr)) return hr;
  std::vector<std::string> t;
  std::vector<std::int32_t> n;
  if (const HRESULT hr = Args(c, range ? 4 : 0, "tnt", t, n); platform::FAILED(hr)) return hr;
  std::string error;
  const bool ok = files::ExportHtml(c.book, c.book.sheet(), b, t[0], n[0] != 0, &error);
  if (!ok) files::WriteProblemLog(t[1], t[0], {error});
  return Answer(r, ok);
}

// ExportToXML(file, root, record, flags, log) and its range form.
HRESULT XmlExport(Call& c, Variant& r, bool range) {
  Block b{kAll, kAll, kAll, kAll};
  if (range)
    if (const HRESULT hr = RangeArg(c, b); platform::FAILED(hr)) return hr;
  std::vector<std::string> t;
  std::vector<std::int32_t> n;
  if (const HRESULT hr = Args(c, range ? 4 : 0, "tttnt", t, n); platform::FAILED(hr)) return hr;
  std::string error;
  const bool ok = files::ExportXml(c.book, c.book.sheet(), b, t[0], t[1], t[2], n[0], &error);
  if (!ok) files::WriteProblemLog(t[3], t[0], {error});
  return Answer(r, ok);
}

// ExportToExcel(file, sheetName, log[, flags]): the addressed sheet; ExportExcelBook(file, log
// [, flags]): every sheet.
HRESULT ExcelExport(Call& c, Variant& r, bool wholeBook, bool withFlags) {
  std::vector<std::string> t;
  std::vector<std::int32_t> n;
  const std::string pattern = std::string(wholeBook ? "tt" : "ttt") + (withFlags ? "n" : "");
  if (const HRESULT hr = Args(c, 0, pattern, t, n); platform::FAILED(hr)) return hr;
  std::string error;
  const bool ok =
      files::ExportXlsx(c.book, t[0], wholeBook ? 0 : c.book.sheetIndex(), wholeBook ? std::string() : t[1], withFlags ? n[0] : 0, &error);
  if (!ok) files::WriteProblemLog(t.back(), t[0], {error});
  return Answer(r, ok);
}

HRESULT TabSave(Call& c, Variant& r, bool utf16) {
  std::string file;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  TextLayout layout;
  layout.utf16 = utf16;
  return Answer(r, files::ExportText(c.book, c.book.sheet(), Block{kAll, kAll, kAll, kAll}, file, layout, nullptr));
}

}  // namespace

HRESULT callExportExcelBook(Call& c, Variant& r) { return ExcelExport(c, r, true, false); }
HRESULT callExportExcelBookEx(Call& c, Variant& r) { return ExcelExport(c, r, true, true); }
HRESULT callExportToExcel(Call& c, Variant& r) { return ExcelExport(c, r, false, false); }
HRESULT callExportToExcelEx(Call& c, Variant& r) { return ExcelExport(c, r, false, true); }
HRESULT callExportToHTML(Call& c, Variant& r) { return HtmlExport(c, r, false); }
HRESULT callExportRangeToHTML(Call& c, Variant& r) { return HtmlExport(c, r, true); }
HRESULT callExportToTextFile(Call& c, Variant& r) { return TextExport(c, r, false, false); }
HRESULT callExportToTextFileU(Call& c, Variant& r) { return TextExport(c, r, false, true); }
HRESULT callExportRangeToTextFile(Call& c, Variant& r) { return TextExport(c, r, true, false); }
HRESULT callExportRangeToTextFileU(Call& c, Variant& r) { return TextExport(c, r, true, true); }
HRESULT callExportToXML(Call& c, Variant& r) { return XmlExport(c, r, false); }
HRESULT callExportRangeToXML(Call& c, Variant& r) { return XmlExport(c, r, true); }
HRESULT callSaveTabFile(Call& c, Variant& r) { return TabSave(c, r, false); }
HRESULT callSaveTabFileU(Call& c, Variant& r) { return TabSave(c, r, true); }

HRESULT callImportExcelBook(Call& c, Variant& r) {
  std::string file, log;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  if (c.has(1))
    if (const HRESULT hr = TextArg(c, 1, log); platform::FAILED(hr)) return hr;
  SetInt(r, std::int32_t(files::ImportWorkbook(c.book, file, log)));
  return platform::S_OK;
}

HRESULT callLoadTabFile(Call& c, Variant& r) {
  std::string file;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  std::vector<std::string> problems;
  return Answer(r, files::LoadText(c.book, c.book.sheet(), file, TextLayout{}, problems, nullptr));
}

// LoadTextFile(file, cellDelim, colDelim, rowDelim, flags, log).
HRESULT callLoadTextFile(Call& c, Variant& r) {
  std::vector<std::string> t;
  std::vector<std::int32_t> n;
  if (const HRESULT hr = Args(c, 0, "ttttnt", t, n); platform::FAILED(hr)) return hr;
  std::vector<std::string> problems;
  std::string error;
  const bool ok = files::LoadText(c.book, c.book.sheet(), t[0], TextLayout{t[1], t[2], t[3], n[0], false}, problems, &error);
  if (!ok) problems.push_back(error);
  files::WriteProblemLog(t[4], t[0], problems);
  return Answer(r, ok);
}

// SaveToFile(file, dataOnly).
HRESULT callSaveToFile(Call& c, Variant& r) {
  std::string file;
  std::int32_t dataOnly = 0;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = IntArg(c, 1, dataOnly); platform::FAILED(hr)) return hr;
  return Answer(r, files::SaveGridFile(c.book, file, dataOnly != 0, nullptr));
}

HRESULT callLoadFromFile(Call& c, Variant& r) {
  std::string file;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  return Answer(r, files::LoadGridFile(c.book, file, nullptr));
}

}  // namespace spread::members
