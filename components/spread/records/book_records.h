// What a whole book consists of, record by record and field by field: the one description that
// both whole-book formats (the stream a container stores, book_stream.h, and the grid file,
// files/grid_file.h) write and read. A record is a plain value; fields() names its fields in
// order, each bound to the record's member, so an encoding writes and reads any record the same
// way. A field added to a record here is carried by both formats. Add it at the end: the stream
// writes a record's fields in this order, and the grid file puts a field its layout
// (record_layout.h) does not name at the end of the record's first line. Every record says how
// many of its fields everything written so far holds (kFirst); fields after those may be missing
// at the end of a record, read then as their defaults, so what was written before still reads.
//
// The book's settings and a style's fields are records of named fields, listed once in
// model/settings_list.inc and model/style_list.inc; a style is referred to by the StylePtr
// fields below, which each encoding numbers in its own way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "components/spread/model/style.h"
#include "components/spread/model/values.h"

namespace spread::records {

// A field of a record: its name and the member it is bound to.
using FieldRef = std::variant<bool*, std::int32_t*, double*, std::string*, StylePtr*, CellValue*>;
struct Field {
  std::string_view name;
  FieldRef ref;
};

// The record kinds a book is made of, beside its settings and styles.
enum class Kind { Book, Sort, Sheet, Select, Row, Col, Cell, Span };
inline constexpr Kind kKinds[] = {Kind::Book, Kind::Sort, Kind::Sheet, Kind::Select, Kind::Row, Kind::Col, Kind::Cell, Kind::Span};

// The addressed sheet and block, and the sheet shown.
struct BookRecord {
  static constexpr std::size_t kFirst = 6;
  std::int32_t sheet = 1, activeSheet = 1, row = 1, col = 1, row2 = 1, col2 = 1;
  auto fields() {
    return std::array<Field, 6>{
        {{"sheet", &sheet}, {"activeSheet", &activeSheet}, {"row", &row}, {"col", &col}, {"row2", &row2}, {"col2", &col2}}};
  }
};

// A column's sort indicator (0 none, 1 ascending, 2 descending).
struct SortRecord {
  static constexpr std::size_t kFirst = 2;
  std::int32_t col = 0, indicator = 0;
  auto fields() { return std::array<Field, 2>{{{"col", &col}, {"indicator", &indicator}}}; }
};

// A sheet: its size, default sizes and style, and its view state.
struct SheetRecord {
  static constexpr std::size_t kFirst = 13;
  std::string name;
  bool visible = true;
  std::int32_t maxRows = 1, maxCols = 1;
  double defaultRowHeight = 0, defaultColWidth = 0;
  std::int32_t activeCol = 1, activeRow = 1, topRow = 1, leftCol = 1, rowsFrozen = 0, colsFrozen = 0;
  StylePtr defaultStyle;
  auto fields() {
    return std::array<Field, 13>{{{"name", &name},
                                  {"visible", &visible},
                                  {"maxRows", &maxRows},
                                  {"maxCols", &maxCols},
                                  {"defaultRowHeight", &defaultRowHeight},
                                  {"defaultColWidth", &defaultColWidth},
                                  {"activeCol", &activeCol},
                                  {"activeRow", &activeRow},
                                  {"topRow", &topRow},
                                  {"leftCol", &leftCol},
                                  {"rowsFrozen", &rowsFrozen},
                                  {"colsFrozen", &colsFrozen},
                                  {"defaultStyle", &defaultStyle}}};
  }
};

// One selected block of the sheet last described.
struct SelectRecord {
  static constexpr std::size_t kFirst = 4;
  std::int32_t col = 1, row = 1, col2 = 1, row2 = 1;
  auto fields() { return std::array<Field, 4>{{{"col", &col}, {"row", &row}, {"col2", &col2}, {"row2", &row2}}}; }
};

// A row (Kind::Row) or column (Kind::Col) that carries something of its own.
struct LineRecord {
  static constexpr std::size_t kFirst = 6;
  std::int32_t index = 0;
  StylePtr style;
  double size = -1;
  bool hidden = false, pageBreak = false;
  std::string id;
  auto fields() {
    return std::array<Field, 6>{
        {{"index", &index}, {"style", &style}, {"size", &size}, {"hidden", &hidden}, {"pageBreak", &pageBreak}, {"id", &id}}};
  }
};

// A cell that holds anything: value, own style, note or formula.
struct CellRecord {
  static constexpr std::size_t kFirst = 6;
  std::int32_t col = 0, row = 0;
  CellValue value;
  StylePtr style;
  std::string note, formula;
  auto fields() {
    return std::array<Field, 6>{{{"col", &col}, {"row", &row}, {"value", &value}, {"style", &style}, {"note", &note}, {"formula", &formula}}};
  }
};

// Cells joined into one.
struct SpanRecord {
  static constexpr std::size_t kFirst = 4;
  std::int32_t col = 0, row = 0, cols = 0, rows = 0;
  auto fields() { return std::array<Field, 4>{{{"col", &col}, {"row", &row}, {"cols", &cols}, {"rows", &rows}}}; }
};

// Calls fn with a default record of the kind (for a kind known only at run time).
template <class Fn>
decltype(auto) WithRecordOf(Kind kind, Fn&& fn) {
  switch (kind) {
    case Kind::Book: return fn(BookRecord{});
    case Kind::Sort: return fn(SortRecord{});
    case Kind::Sheet: return fn(SheetRecord{});
    case Kind::Select: return fn(SelectRecord{});
    case Kind::Row:
    case Kind::Col: return fn(LineRecord{});
    case Kind::Cell: return fn(CellRecord{});
    case Kind::Span: break;
  }
  return fn(SpanRecord{});
}

}  // namespace spread::records
