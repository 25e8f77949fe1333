// .xlsx: the zip archive is opened with libgsf, its XML parts parsed with libxml2 (no network, no
// entity substitution). Read: the sheet list and its relationships, the shared strings, the
// number formats of the cell styles (to tell dates and times from numbers), each sheet's cells
// and column widths.
#include <gsf/gsf.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "components/spread/formats/workbook_import.h"

namespace spread::files {
namespace {

// The most a part may unpack to; a larger one is refused rather than read.
constexpr gsf_off_t kPartLimit = gsf_off_t(512) << 20;

struct GUnref {
  void operator()(void* p) const { g_object_unref(p); }
};
template <class T>
using GPtr = std::unique_ptr<T, GUnref>;
struct DocFree {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

// A part of the archive by its path ("xl/workbook.xml"); nullopt when absent or too large.
std::optional<std::string> ReadPart(GsfInfile* zip, std::string_view path) {
  if (path.starts_with('/')) path.remove_prefix(1);
  std::vector<GPtr<GsfInput>> holds;  // each level of the path, released together
  GsfInfile* dir = zip;
  GsfInput* at = nullptr;
  while (!path.empty()) {
    const size_t slash = path.find('/');
    const std::string name(path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (!dir) return std::nullopt;
    at = gsf_infile_child_by_name(dir, name.c_str());
    if (!at) return std::nullopt;
    holds.emplace_back(at);
    dir = GSF_IS_INFILE(at) ? GSF_INFILE(at) : nullptr;
  }
  if (!at) return std::nullopt;
  const gsf_off_t size = gsf_input_size(at);
  if (size < 0 || size > kPartLimit) return std::nullopt;
  std::string bytes(size_t(size), '\0');
  if (size > 0 && !gsf_input_read(at, size_t(size), reinterpret_cast<guint8*>(bytes.data()))) return std::nullopt;
  return bytes;
}

Doc Parse(const std::string& bytes) {
  if (bytes.size() > size_t(INT32_MAX)) return nullptr;
  return Doc(xmlReadMemory(bytes.data(), int(bytes.size()), "part.xml", nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

bool Is(const xmlNode* n, const char* name) {
  return n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0;
}

std::string Attr(const xmlNode* n, const char* name) {
  for (const xmlAttr* a = n->properties; a; a = a->next)
    if (std::strcmp(reinterpret_cast<const char*>(a->name), name) == 0 && a->children && a->children->content)
      return reinterpret_cast<const char*>(a->children->content);
  return {};
}

// The text of an element's descendants, leaving out phonetic runs (<rPh>).
void AppendText(const xmlNode* n, std::string& out) {
  for (const xmlNode* c = n->children; c; c = c->next) {
    if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
      if (c->content) out += reinterpret_cast<const char*>(c->content);
    } else if (c->type == XML_ELEMENT_NODE && !Is(c, "rPh")) {
      AppendText(c, out);
    }
  }
}
std::string TextOf(const xmlNode* n) {
  std::string s;
  AppendText(n, s);
  return s;
}

const xmlNode* Child(const xmlNode* n, const char* name) {
  for (const xmlNode* c = n ? n->children : nullptr; c; c = c->next)
    if (Is(c, name)) return c;
  return nullptr;
}

template <class F>
void ForEach(const xmlNode* n, const char* name, F f) {
  for (const xmlNode* c = n ? n->children : nullptr; c; c = c->next)
    if (Is(c, name)) f(c);
}

std::optional<double> Number(std::string_view s) {
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}
long Integer(std::string_view s, long fallback) {
  long v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() ? v : fallback;
}

enum class FormatClass : std::uint8_t { Plain, Date, Time, DateTime };

// A number format code read for what it shows: y or d a date, h or s a time, m alone a month.
FormatClass ClassifyFormat(std::string_view code) {
  bool date = false, time = false, month = false;
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = char(std::tolower(static_cast<unsigned char>(code[i])));
    if (c == '"') {
      const size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) break;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      const size_t end = code.find(']', i + 1);
      if (end == std::string_view::npos) break;
      const std::string_view inner = code.substr(i + 1, end - i - 1);
      if (!inner.empty() && std::strchr("hHmMsS", inner[0])) time = true;
      i = end;
    } else if (c == ';') {
      break;
    } else if (c == 'y' || c == 'd') {
      date = true;
    } else if (c == 'h' || c == 's') {
      time = true;
    } else if (c == 'm') {
      month = true;
    }
  }
  if (month && !time) date = true;
  return date && time ? FormatClass::DateTime : date ? FormatClass::Date : time ? FormatClass::Time : FormatClass::Plain;
}

FormatClass BuiltinFormat(long id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) || (id >= 50 && id <= 58)) return FormatClass::Date;
  if ((id >= 18 && id <= 21) || (id >= 32 && id <= 33) || (id >= 45 && id <= 47)) return FormatClass::Time;
  if (id == 22) return FormatClass::DateTime;
  return FormatClass::Plain;
}

// "AB12" as column 28, row 12; false when it is no reference.
bool ParseRef(std::string_view ref, std::int32_t& col, std::int32_t& row) {
  size_t i = 0;
  std::int64_t c = 0, r = 0;
  while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && c <= kImportColLimit)
    c = c * 26 + (std::toupper(static_cast<unsigned char>(ref[i++])) - 'A' + 1);
  if (i == 0 || i == ref.size()) return false;
  for (; i < ref.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(ref[i])) || r > kImportRowLimit) return false;
    r = r * 10 + (ref[i] - '0');
  }
  if (c < 1 || c > kImportColLimit || r < 1 || r > kImportRowLimit) return false;
  col = std::int32_t(c);
  row = std::int32_t(r);
  return true;
}

struct Workbook {
  std::vector<std::string> shared;
  std::vector<FormatClass> styles;
  double dateBase = 0;  // 1462 for a workbook counting from 1904
};

ImportStatus ReadSheet(const Workbook& wb, const xmlNode* root, ImportedSheet& sheet, std::vector<std::string>& problems) {
  ForEach(Child(root, "cols"), "col", [&](const xmlNode* col) {
    const long lo = Integer(Attr(col, "min"), 0), hi = Integer(Attr(col, "max"), 0);
    const auto width = Number(Attr(col, "width"));
    if (width && lo >= 1 && hi >= lo && hi <= kImportColLimit && hi - lo < 256)
      for (long c = lo; c <= hi; ++c) sheet.colWidths[std::int32_t(c)] = *width;
  });
  std::int32_t rowAt = 0;
  bool tooLarge = false;
  ForEach(Child(root, "sheetData"), "row", [&](const xmlNode* row) {
    rowAt = std::int32_t(std::clamp<long>(Integer(Attr(row, "r"), rowAt + 1), 1, kImportRowLimit + 1L));
    std::int32_t colAt = 0;
    ForEach(row, "c", [&](const xmlNode* c) {
      std::int32_t col = colAt + 1, r = rowAt;
      if (const std::string ref = Attr(c, "r"); !ref.empty() && !ParseRef(ref, col, r)) {
        problems.push_back(sheet.name + ": bad cell reference " + ref);
        return;
      }
      colAt = col;
      if (r > kImportRowLimit || col > kImportColLimit) {
        tooLarge = true;
        return;
      }
      const std::string type = Attr(c, "t");
      const xmlNode* v = Child(c, "v");
      const std::string value = v ? TextOf(v) : std::string();
      ImportedCell cell{col, r, ImportedKind::Number, 0, {}};
      std::string inlineText;  // what cell.text points to for an inline text
      const auto where = [&] { return sheet.name + " row " + std::to_string(r) + " column " + std::to_string(col); };
      if (type == "s") {
        const long i = Integer(value, -1);
        if (i < 0 || size_t(i) >= wb.shared.size()) {
          problems.push_back(where() + ": shared text " + value + " missing");
          return;
        }
        cell.kind = ImportedKind::Text;
        cell.text = wb.shared[size_t(i)];
      } else if (type == "inlineStr") {
        cell.kind = ImportedKind::Text;
        inlineText = TextOf(Child(c, "is") ? Child(c, "is") : c);
        cell.text = inlineText;
      } else if (type == "str" || type == "d") {
        cell.kind = ImportedKind::Text;
        cell.text = value;
      } else if (type == "e") {
        cell.kind = ImportedKind::Error;
        cell.text = value;
      } else if (type == "b") {
        cell.kind = ImportedKind::Boolean;
        cell.number = value == "1" || value == "true" ? 1 : 0;
      } else {
        if (!v) return;  // a styled empty cell
        const auto n = Number(value);
        if (!n) {
          problems.push_back(where() + ": no number: " + value);
          return;
        }
        cell.number = *n;
        const long s = Integer(Attr(c, "s"), 0);
        const FormatClass f = s >= 0 && size_t(s) < wb.styles.size() ? wb.styles[size_t(s)] : FormatClass::Plain;
        if (f != FormatClass::Plain) {
          cell.number += wb.dateBase;
          const bool whole = cell.number == std::floor(cell.number);
          cell.kind = f == FormatClass::Time && cell.number < 1 ? ImportedKind::Time
                      : whole                                   ? ImportedKind::Date
                      : cell.number < 1                         ? ImportedKind::Time
                                                                : ImportedKind::DateTime;
        }
      }
      if (cell.kind == ImportedKind::Text && cell.text.empty()) return;
      sheet.rows = std::max(sheet.rows, r);
      sheet.cols = std::max(sheet.cols, col);
      sheet.cells.push_back(cell);
    });
  });
  return tooLarge ? ImportStatus::TooLarge : ImportStatus::Ok;
}

// The target of each relationship id, made a path from the archive's root.
std::map<std::string, std::string> Relationships(GsfInfile* zip) {
  std::map<std::string, std::string> targets;
  const auto rels = ReadPart(zip, "xl/_rels/workbook.xml.rels");
  if (!rels) return targets;
  const Doc doc = Parse(*rels);
  if (!doc) return targets;
  ForEach(xmlDocGetRootElement(doc.get()), "Relationship", [&](const xmlNode* r) {
    std::string target = Attr(r, "Target");
    targets[Attr(r, "Id")] = target.starts_with('/') ? target.substr(1) : "xl/" + target;
  });
  return targets;
}

}  // namespace

ImportStatus ReadXlsx(const std::string& path, ImportedBook& out) {
  GError* error = nullptr;
  GPtr<GsfInput> file(gsf_input_stdio_new(path.c_str(), &error));
  if (error) g_error_free(error), error = nullptr;
  if (!file) return ImportStatus::CannotOpen;
  GPtr<GsfInfile> zip(gsf_infile_zip_new(file.get(), &error));
  if (error) g_error_free(error);
  if (!zip) return ImportStatus::NotWorkbook;

  const auto workbookXml = ReadPart(zip.get(), "xl/workbook.xml");
  if (!workbookXml) return ImportStatus::NotWorkbook;
  const Doc workbook = Parse(*workbookXml);
  if (!workbook) return ImportStatus::Damaged;
  const xmlNode* wbRoot = xmlDocGetRootElement(workbook.get());

  Workbook wb;
  if (const xmlNode* pr = Child(wbRoot, "workbookPr"); pr && (Attr(pr, "date1904") == "1" || Attr(pr, "date1904") == "true"))
    wb.dateBase = 1462;
  if (const auto sst = ReadPart(zip.get(), "xl/sharedStrings.xml")) {
    const Doc doc = Parse(*sst);
    if (!doc) return ImportStatus::Damaged;
    ForEach(xmlDocGetRootElement(doc.get()), "si", [&](const xmlNode* si) { wb.shared.push_back(TextOf(si)); });
  }
  if (const auto stylesXml = ReadPart(zip.get(), "xl/styles.xml")) {
    const Doc doc = Parse(*stylesXml);
    if (!doc) return ImportStatus::Damaged;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    std::map<long, FormatClass> custom;
    ForEach(Child(root, "numFmts"), "numFmt",
            [&](const xmlNode* f) { custom[Integer(Attr(f, "numFmtId"), -1)] = ClassifyFormat(Attr(f, "formatCode")); });
    ForEach(Child(root, "cellXfs"), "xf", [&](const xmlNode* xf) {
      const long id = Integer(Attr(xf, "numFmtId"), 0);
      const auto it = custom.find(id);
      wb.styles.push_back(it != custom.end() ? it->second : BuiltinFormat(id));
    });
  }

  const auto targets = Relationships(zip.get());
  bool any = false;
  ImportStatus status = ImportStatus::Ok;
  ForEach(Child(wbRoot, "sheets"), "sheet", [&](const xmlNode* s) {
    if (status != ImportStatus::Ok) return;
    any = true;
    ImportedSheet sheet;
    sheet.name = Attr(s, "name");
    std::string rid;
    for (const xmlAttr* a = s->properties; a; a = a->next)
      if (std::strcmp(reinterpret_cast<const char*>(a->name), "id") == 0 && a->children && a->children->content)
        rid = reinterpret_cast<const char*>(a->children->content);
    const auto target = targets.find(rid);
    const auto part = target == targets.end() ? std::nullopt : ReadPart(zip.get(), target->second);
    if (!part) {
      out.problems.push_back(sheet.name + ": sheet part missing");
      status = ImportStatus::Damaged;
      return;
    }
    const Doc doc = Parse(*part);
    if (!doc) {
      out.problems.push_back(sheet.name + ": sheet part is not well-formed XML");
      status = ImportStatus::Damaged;
      return;
    }
    status = ReadSheet(wb, xmlDocGetRootElement(doc.get()), sheet, out.problems);
    out.sheets.push_back(std::move(sheet));
  });
  if (status != ImportStatus::Ok) return status;
  return any ? ImportStatus::Ok : ImportStatus::Damaged;
}

}  // namespace spread::files
