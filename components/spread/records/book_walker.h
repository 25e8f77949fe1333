// The book as records and back: the one place the whole-book formats reach into the model.
// BookWalk reads a book's records for a writer, in whatever order its format puts them;
// BookBuilder applies a reader's records to a book that was just reset, checking each against
// what the book already holds, so records that came from damaged bytes are refused.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "components/spread/records/book_records.h"

namespace spread {
class AddressedBook;
struct BookSettings;
}  // namespace spread

namespace spread::records {

class BookWalk {
 public:
  // dataOnly: the values alone, without settings, sort indicators, styles, lines, notes,
  // formulas or spans. Sheets are read where they are (the book's address is left alone).
  BookWalk(AddressedBook& book, bool dataOnly);
  ~BookWalk() = default;
  BookWalk(const BookWalk&) = delete;
  BookWalk& operator=(const BookWalk&) = delete;

  bool dataOnly() const { return dataOnly_; }
  const BookSettings& settings() const;
  BookRecord book() const;
  std::vector<SortRecord> sorts() const;
  std::int32_t sheetCount() const;
  // Every style in use, each once, in the order met: sheet by sheet its default, its rows, its
  // columns and its cells.
  void forEachStyle(const std::function<void(const StylePtr&)>& fn);

  // The records of sheet n (from 1).
  SheetRecord sheet(std::int32_t n);
  void selection(std::int32_t n, const std::function<void(SelectRecord&)>& fn);
  void lines(std::int32_t n, Kind rowOrCol, const std::function<void(LineRecord&)>& fn);
  void cells(std::int32_t n, const std::function<void(CellRecord&)>& fn);
  void spans(std::int32_t n, const std::function<void(SpanRecord&)>& fn);

 private:
  AddressedBook& book_;
  const std::int32_t addressed_;
  const bool dataOnly_;
};

class BookBuilder {
 public:
  // A book that was just reset (ReadWhole gives one).
  explicit BookBuilder(AddressedBook& book);

  BookSettings& settings();
  // Defines style id (a later definition replaces an earlier one). A style like a new one is the
  // default style itself, which new sheets start from. Returns why it is refused, or "".
  std::string style(std::int32_t id, const Style& style);
  // The style of an id; -1 is none. False for an id not defined.
  bool styleOf(std::int32_t id, StylePtr& style) const;

  // Each returns why the record is refused, or "". Select, Row, Col, Cell and Span records
  // belong to the sheet last added.
  std::string add(const SortRecord& r);
  std::string add(const SheetRecord& r);
  // The view state of the sheet last added, from a record's view fields (add applies them too).
  std::string view(const SheetRecord& r);
  std::string add(const SelectRecord& r);
  std::string add(Kind rowOrCol, const LineRecord& r);
  std::string add(const CellRecord& r);
  std::string add(const SpanRecord& r);
  // Kept until finish, as the sheets it names may follow it.
  std::string add(const BookRecord& r);
  // After the last record: a book has a sheet, and the book record fits the sheets read.
  std::string finish();

  std::int32_t sheets() const { return sheets_; }

 private:
  AddressedBook& book_;
  std::map<std::int32_t, StylePtr> styles_;
  std::int32_t sheets_ = 0;
  BookRecord address_;
};

// Reads a whole book with `read` (false: refused): first into a scratch book, so that one refused
// leaves the book as it was, then, once taken, into the book itself, reset first.
bool ReadWhole(AddressedBook& book, const std::function<bool(BookBuilder&)>& read);

}  // namespace spread::records
