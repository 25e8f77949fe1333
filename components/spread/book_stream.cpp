#include "components/spread/book_stream.h"

#include <charconv>
#include <map>

#include "components/spread/members/addressed_book.h"
#include "platform/com/com_ptr.h"

namespace spread {

using namespace platform;

namespace {

constexpr std::string_view kMagic = "OVSpreadBook", kVersion = "1";

// Records: one per line, words separated by blanks, texts as one word "LENGTH:BYTES".
class Writer {
 public:
  Writer& word(std::string_view w) {
    if (!lineStart_) out_ += ' ';
    out_ += w;
    lineStart_ = false;
    return *this;
  }
  template <class Number>
  Writer& number(Number n) {
    char buffer[40];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, n);
    return word(std::string_view(buffer, error == std::errc() ? end : buffer));
  }
  Writer& text(std::string_view s) { return word(std::to_string(s.size()) + ":" + std::string(s)); }
  void endRecord() {
    out_ += '\n';
    lineStart_ = true;
  }
  std::string take() { return std::move(out_); }

  // The values of the model's fields.
  Writer& value(bool b) { return word(b ? "1" : "0"); }
  Writer& value(std::int16_t n) { return number(n); }
  Writer& value(std::int32_t n) { return number(n); }
  Writer& value(std::uint32_t n) { return number(n); }
  Writer& value(double d) { return number(d); }
  Writer& value(const std::string& s) { return text(s); }
  Writer& value(DateValue d) { return number(d.day); }
  Writer& value(TimeValue t) { return number(t.seconds); }
  Writer& value(const std::shared_ptr<const Picture>& p) {
    if (!p) return word("-");
    word("picture").text(p->fileName).number(p->kind).number(int(p->format)).number(p->width).number(p->height);
    return text(std::string_view(reinterpret_cast<const char*>(p->bytes.data()), p->bytes.size()));
  }
  Writer& value(const CellValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return word("s").text(*s);
    if (const auto* d = std::get_if<double>(&v)) return word("n").number(*d);
    if (const auto* day = std::get_if<DateValue>(&v)) return word("d").number(day->day);
    if (const auto* time = std::get_if<TimeValue>(&v)) return word("t").number(time->seconds);
    return word("e");
  }

 private:
  std::string out_;
  bool lineStart_ = true;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  bool atEnd() {
    skipBlanks();
    return at_ >= in_.size();
  }
  // The next word; false at the end of the record or of the bytes.
  bool word(std::string_view& w) {
    skipBlanks();
    if (at_ >= in_.size() || in_[at_] == '\n') return false;
    const size_t start = at_;
    while (at_ < in_.size() && in_[at_] != ' ' && in_[at_] != '\n') ++at_;
    w = in_.substr(start, at_ - start);
    return true;
  }
  bool text(std::string& s) {
    skipBlanks();
    size_t length = 0;
    const auto [end, error] = std::from_chars(in_.data() + at_, in_.data() + in_.size(), length);
    if (error != std::errc() || end == in_.data() + in_.size() || *end != ':') return false;
    const size_t start = size_t(end - in_.data()) + 1;
    if (length > in_.size() - start) return false;
    s.assign(in_.substr(start, length));
    at_ = start + length;
    return at_ >= in_.size() || in_[at_] == ' ' || in_[at_] == '\n';
  }
  template <class Number>
  bool number(Number& n) {
    std::string_view w;
    if (!word(w)) return false;
    const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), n);
    return error == std::errc() && end == w.data() + w.size();
  }
  // The end of a record: its line break (or the end of the bytes).
  bool endRecord() {
    skipBlanks();
    if (at_ >= in_.size()) return true;
    if (in_[at_] != '\n') return false;
    ++at_;
    return true;
  }
  // Passes over the rest of a record of a kind (or a field of a name) this reader does not know,
  // written by a later model.
  bool skipRecord() {
    std::string_view w;
    std::string s;
    for (;;) {
      skipBlanks();
      if (at_ >= in_.size() || in_[at_] == '\n') return endRecord();
      const size_t colon = in_.find_first_of(": \n", at_);
      if (colon != std::string_view::npos && in_[colon] == ':' && in_[at_] >= '0' && in_[at_] <= '9') {
        if (!text(s)) return false;
      } else if (!word(w)) {
        return false;
      }
    }
  }

  bool value(bool& b) {
    int n = 0;
    if (!number(n) || (n != 0 && n != 1)) return false;
    b = n;
    return true;
  }
  bool value(std::int16_t& n) { return number(n); }
  bool value(std::int32_t& n) { return number(n); }
  bool value(std::uint32_t& n) { return number(n); }
  bool value(double& d) { return number(d); }
  bool value(std::string& s) { return text(s); }
  bool value(DateValue& d) { return number(d.day); }
  bool value(TimeValue& t) { return number(t.seconds); }
  bool value(std::shared_ptr<const Picture>& p) {
    std::string_view w;
    if (!word(w)) return false;
    if (w == "-") return p.reset(), true;
    auto made = std::make_shared<Picture>();
    int format = 0;
    std::string bytes;
    if (w != "picture" || !text(made->fileName) || !number(made->kind) || !number(format) || !number(made->width) || !number(made->height) ||
        !text(bytes))
      return false;
    if (format < int(PictureFormat::Unknown) || format > int(PictureFormat::Gif)) return false;
    made->format = PictureFormat(format);
    made->bytes.assign(bytes.begin(), bytes.end());
    p = std::move(made);
    return true;
  }
  bool value(CellValue& v) {
    std::string_view kind;
    if (!word(kind)) return false;
    if (kind == "e") return v = CellValue{}, true;
    if (kind == "s") {
      std::string s;
      return text(s) && (v = std::move(s), true);
    }
    if (kind == "n") {
      double d = 0;
      return number(d) && (v = d, true);
    }
    if (kind == "d") {
      DateValue d;
      return number(d.day) && (v = d, true);
    }
    if (kind == "t") {
      TimeValue t;
      return number(t.seconds) && (v = t, true);
    }
    return false;
  }

 private:
  void skipBlanks() {
    while (at_ < in_.size() && in_[at_] == ' ') ++at_;
  }

  std::string_view in_;
  size_t at_ = 0;
};

// Fields by name: the settings of a book, the fields of a style.
bool readSetting(Reader& r, std::string_view name, BookSettings& s, bool& known) {
#define BOOK_FIELD(type, field, initial) \
  if (name == #field) return known = true, r.value(s.field);
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
  return known = false, true;
}

bool readStyleField(Reader& r, std::string_view name, Style& s, bool& known) {
#define STYLE_FIELD(type, field, initial) \
  if (name == #field) return known = true, r.value(s.field);
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  return known = false, true;
}

void writeLine(Writer& w, std::string_view kind, std::int32_t index, const Line& line, const std::map<const Style*, int>& ids) {
  w.word(kind)
      .number(index)
      .number(line.style ? ids.at(line.style.get()) : -1)
      .value(line.size)
      .value(line.hidden)
      .value(line.pageBreak)
      .text(line.id);
  w.endRecord();
}

}  // namespace

std::string WriteBook(AddressedBook& book) {
  Writer w;
  w.word(kMagic).word(kVersion);
  w.endRecord();
#define BOOK_FIELD(type, field, initial) w.word("setting").word(#field).value(book.settings.field).endRecord();
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD

  // Every style in use, once, numbered in the order first met.
  std::map<const Style*, int> ids;
  auto note = [&](const StylePtr& s) {
    if (!s || ids.contains(s.get())) return;
    const int id = int(ids.size());
    ids.emplace(s.get(), id);
    const Style defaults;
    w.word("style").number(id).endRecord();
#define STYLE_FIELD(type, field, initial) \
  if (!(s->field == defaults.field)) w.word("field").word(#field).value(s->field).endRecord();
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  };
  for (std::int32_t n = 1; n <= book.sheetCount(); ++n) {
    const Sheet& s = book.sheetAt(n);
    note(s.styleAt(kAll, kAll));
    for (std::int32_t r = 0; r <= s.maxRows(); ++r)
      if (const Line* l = s.rowLine(r)) note(l->style);
    for (std::int32_t c = 0; c <= s.maxCols(); ++c)
      if (const Line* l = s.colLine(c)) note(l->style);
    s.forEachCell(Block{kAll, kAll, kAll, kAll}, [&](std::int32_t, std::int32_t, const Cell& cell) { note(cell.style); });
  }
  for (std::int32_t n = 1; n <= book.sheetCount(); ++n) {
    const Sheet& s = book.sheetAt(n);
    w.word("sheet").text(s.name).value(s.visible).number(s.maxRows()).number(s.maxCols()).value(s.defaultRowHeight).value(s.defaultColWidth);
    w.number(s.activeCol).number(s.activeRow).number(s.topRow).number(s.leftCol).number(s.rowsFrozen).number(s.colsFrozen);
    w.number(ids.at(s.styleAt(kAll, kAll).get())).endRecord();
    for (std::int32_t r = 0; r <= s.maxRows(); ++r)
      if (const Line* l = s.rowLine(r)) writeLine(w, "row", r, *l, ids);
    for (std::int32_t c = 0; c <= s.maxCols(); ++c)
      if (const Line* l = s.colLine(c)) writeLine(w, "col", c, *l, ids);
    s.forEachCell(Block{kAll, kAll, kAll, kAll}, [&](std::int32_t c, std::int32_t r, const Cell& cell) {
      w.word("cell")
          .number(c)
          .number(r)
          .value(cell.value)
          .number(cell.style ? ids.at(cell.style.get()) : -1)
          .text(cell.texts.note())
          .text(cell.texts.formula());
      w.endRecord();
    });
    for (const Span& span : s.spans()) w.word("span").number(span.col).number(span.row).number(span.cols).number(span.rows).endRecord();
    for (const Block& b : s.selection) w.word("select").number(b.col).number(b.row).number(b.col2).number(b.row2).endRecord();
  }
  const Addressing& a = book.address();
  w.word("book").number(book.sheetIndex()).number(book.activeSheetIndex()).number(a.row).number(a.col).number(a.row2).number(a.col2);
  w.endRecord();
  w.word("end").endRecord();
  return w.take();
}

namespace {

bool isDefault(const Style& s) {
  const Style& d = *DefaultStyle();
#define STYLE_FIELD(type, field, initial) \
  if (!(s.field == d.field)) return false;
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  return true;
}

// Whether (col, row) lies in the sheet, each at least `lowest` (kAll: a whole row or column too).
bool inSheet(const Sheet& s, std::int32_t col, std::int32_t row, std::int32_t lowest) {
  return col >= lowest && row >= lowest && col <= s.maxCols() && row <= s.maxRows();
}

// Reads the records into a book that was just reset; false at the first one that is malformed.
bool readInto(AddressedBook& book, Reader& r) {
  std::string_view magic, version, kind;
  if (!r.word(magic) || magic != kMagic || !r.word(version) || version != kVersion || !r.endRecord()) return false;
  std::vector<StylePtr> styles;
  std::shared_ptr<Style> building;  // the style whose fields are being read
  // A style like a new one is the default style itself, which new sheets start from.
  const auto finishStyle = [&] {
    if (building) styles.push_back(isDefault(*building) ? DefaultStyle() : StylePtr(std::move(building)));
    building.reset();
  };
  const auto styleOf = [&](int id, StylePtr& out) {
    if (id == -1) return out.reset(), true;
    if (id < 0 || size_t(id) >= styles.size()) return false;
    out = styles[size_t(id)];
    return true;
  };
  Sheet* sheet = nullptr;
  std::int32_t sheets = 0;
  while (r.word(kind)) {
    bool ok = true;
    if (kind == "end") {
      return r.endRecord() && r.atEnd() && sheets > 0;
    } else if (kind == "setting") {
      std::string_view name;
      bool known = false;
      ok = r.word(name) && readSetting(r, name, book.settings, known) && (known ? r.endRecord() : r.skipRecord());
    } else if (kind == "style") {
      int id = 0;
      finishStyle();
      ok = r.number(id) && id == int(styles.size()) && r.endRecord();
      building = std::make_shared<Style>();
    } else if (kind == "field") {
      std::string_view name;
      bool known = false;
      ok = building && r.word(name) && readStyleField(r, name, *building, known) && (known ? r.endRecord() : r.skipRecord());
    } else if (kind == "sheet") {
      finishStyle();
      std::int32_t maxRows = 0, maxCols = 0;
      int defaultStyle = 0;
      ++sheets;
      ok = book.setSheetCount(sheets) && book.setSheetIndex(sheets);
      sheet = ok ? &book.sheet() : nullptr;
      StylePtr style;
      ok = ok && r.text(sheet->name) && r.value(sheet->visible) && r.number(maxRows) && r.number(maxCols) && maxRows >= 0 &&
           maxRows <= kRowLimit && maxCols >= 0 && maxCols <= kColLimit && r.value(sheet->defaultRowHeight) && r.value(sheet->defaultColWidth);
      if (ok) sheet->setMaxRows(maxRows), sheet->setMaxCols(maxCols);
      ok = ok && r.number(sheet->activeCol) && r.number(sheet->activeRow) && r.number(sheet->topRow) && r.number(sheet->leftCol) &&
           r.number(sheet->rowsFrozen) && r.number(sheet->colsFrozen) && r.number(defaultStyle) && styleOf(defaultStyle, style) && style &&
           r.endRecord() && inSheet(*sheet, sheet->activeCol, sheet->activeRow, 1) && inSheet(*sheet, sheet->leftCol, sheet->topRow, 1) &&
           inSheet(*sheet, sheet->colsFrozen, sheet->rowsFrozen, 0);
      // A sheet starts from the default style; another one is put in its place by changing it
      // whole, and the sheet's copy then stands for that style wherever it is used.
      if (ok && style != sheet->styleAt(kAll, kAll)) {
        sheet->changeStyles(
            Block{kAll, kAll, kAll, kAll}, [&](Style& s) { s = *style; }, book.formatContext());
        styles[size_t(defaultStyle)] = sheet->styleAt(kAll, kAll);
      }
    } else if (kind == "row" || kind == "col") {
      std::int32_t index = 0;
      int style = 0;
      Line line;
      ok = sheet && r.number(index) && index >= 0 && index <= (kind == "row" ? sheet->maxRows() : sheet->maxCols()) && r.number(style) &&
           styleOf(style, line.style) && r.value(line.size) && r.value(line.hidden) && r.value(line.pageBreak) && r.text(line.id) &&
           r.endRecord();
      if (ok) (kind == "row" ? sheet->rowLineForWrite(index) : sheet->colLineForWrite(index)) = std::move(line);
    } else if (kind == "cell") {
      std::int32_t c = 0, row = 0;
      int style = 0;
      Cell cell;
      std::string note, formula;
      ok = sheet && r.number(c) && r.number(row) && c >= 0 && row >= 0 && c <= sheet->maxCols() && row <= sheet->maxRows() &&
           r.value(cell.value) && r.number(style) && styleOf(style, cell.style) && r.text(note) && r.text(formula) && r.endRecord();
      cell.texts.setNote(note), cell.texts.setFormula(formula);
      if (ok) sheet->cellForWrite(c, row) = std::move(cell);
    } else if (kind == "span") {
      Span span{};
      ok = sheet && r.number(span.col) && r.number(span.row) && r.number(span.cols) && r.number(span.rows) && r.endRecord() &&
           sheet->addSpan(span);
    } else if (kind == "select") {
      Block b;
      ok = sheet && r.number(b.col) && r.number(b.row) && r.number(b.col2) && r.number(b.row2) && r.endRecord() &&
           inSheet(*sheet, b.col, b.row, kAll) && inSheet(*sheet, b.col2, b.row2, kAll);
      if (ok) sheet->selection.push_back(b);
    } else if (kind == "book") {
      std::int32_t index = 0, active = 0;
      Addressing a;
      ok = r.number(index) && r.number(active) && r.number(a.row) && r.number(a.col) && r.number(a.row2) && r.number(a.col2) && r.endRecord() &&
           book.setSheetIndex(index) && book.restoreActiveSheet(active) && inSheet(book.sheet(), a.col, a.row, kAll) &&
           inSheet(book.sheet(), a.col2, a.row2, kAll);
      if (ok) book.setRow(a.row), book.setCol(a.col), book.setRow2(a.row2), book.setCol2(a.col2);
    } else {
      ok = r.skipRecord();  // a record of a later model
    }
    if (!ok) return false;
  }
  return false;  // no "end": cut short
}

}  // namespace

bool ReadBook(AddressedBook& book, std::string_view bytes) {
  // Read once into a scratch book, so a stream that turns out malformed leaves the book alone.
  AddressedBook scratch;
  Reader check(bytes);
  if (!readInto(scratch, check)) return false;
  book.reset();
  Reader r(bytes);
  return readInto(book, r);
}

HRESULT SaveBook(AddressedBook& book, IStorage* storage) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->CreateStream(kBookStreamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                     reinterpret_cast<IStream**>(stream.put()));
  if (FAILED(hr)) return hr;
  const std::string bytes = WriteBook(book);
  ULONG written = 0;
  hr = stream->Write(bytes.data(), ULONG(bytes.size()), &written);
  if (SUCCEEDED(hr) && written != bytes.size()) hr = STG_E_WRITEFAULT;
  return hr;
}

HRESULT LoadBook(AddressedBook& book, IStorage* storage) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(kBookStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStream**>(stream.put()))))
    return STG_E_FILENOTFOUND;
  std::string bytes;
  char buffer[16384];
  ULONG got = 0;
  HRESULT hr = S_OK;
  while (SUCCEEDED(hr = stream->Read(buffer, sizeof buffer, &got)) && got) bytes.append(buffer, got);
  if (FAILED(hr)) return hr;
  return ReadBook(book, bytes) ? S_OK : STG_E_INVALIDHEADER;
}

}  // namespace spread
