#include "components/spread/files/grid_file.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <map>
#include <sstream>
#include <type_traits>

#include "components/spread/files/atomic_write.h"
#include "components/spread/members/addressed_book.h"

namespace spread::files {
namespace {

constexpr std::string_view kMagic = "KESTREL-GRID 1";

// Writing fields.
class Out {
 public:
  std::string text;
  std::map<const Picture*, std::int32_t> pictures;

  Out& put(bool v) { return word(v ? "1" : "0"); }
  template <class T>
  requires std::is_integral_v<T> Out& put(T v) { return word(std::to_string(std::int64_t(v))); }
  Out& put(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.17g", v);
    return word(b);
  }
  Out& put(const std::string& s) {
    std::string w = "=";
    for (const char ch : s) {
      const auto u = static_cast<unsigned char>(ch);
      if (u < 0x21 || u > 0x7E || ch == '%') {
        char b[4];
        std::snprintf(b, sizeof b, "%%%02X", u);
        w += b;
      } else {
        w += ch;
      }
    }
    return word(w);
  }
  Out& put(DateValue v) { return put(v.day); }
  Out& put(TimeValue v) { return put(v.seconds); }
  Out& put(const std::shared_ptr<const Picture>& p) {
    if (!p) return put(-1);
    const auto it = pictures.find(p.get());
    return put(it == pictures.end() ? -1 : it->second);
  }
  Out& word(std::string_view w) {
    if (!text.empty() && text.back() != '\n') text += ' ';
    text += w;
    return *this;
  }
  void end() { text += '\n'; }
};

// Reading the fields of one line.
class In {
 public:
  std::vector<std::string_view> words;
  size_t at = 0;
  const std::map<std::int32_t, std::shared_ptr<const Picture>>* pictures = nullptr;
  bool ok = true;

  std::string_view next() {
    if (at >= words.size()) return ok = false, std::string_view();
    return words[at++];
  }
  bool more() const { return at < words.size(); }

  void get(bool& v) {
    const auto w = next();
    v = w == "1";
    ok = ok && (w == "1" || w == "0");
  }
  template <class T>
  requires std::is_integral_v<T>
  void get(T& v) {
    const auto w = next();
    std::int64_t n = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), n);
    ok = ok && r.ec == std::errc() && r.ptr == w.data() + w.size() && n >= std::int64_t(std::numeric_limits<T>::min()) &&
         n <= std::int64_t(std::numeric_limits<T>::max());
    v = T(n);
  }
  void get(double& v) {
    const auto w = next();
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    ok = ok && r.ec == std::errc() && r.ptr == w.data() + w.size();
  }
  void get(std::string& s) {
    const auto w = next();
    s.clear();
    if (!w.starts_with('=')) return void(ok = false);
    for (size_t i = 1; i < w.size(); ++i) {
      if (w[i] != '%') {
        s += w[i];
        continue;
      }
      unsigned v = 0;
      if (i + 2 >= w.size()) return void(ok = false);
      const auto r = std::from_chars(w.data() + i + 1, w.data() + i + 3, v, 16);
      if (r.ec != std::errc() || r.ptr != w.data() + i + 3) return void(ok = false);
      s += char(v);
      i += 2;
    }
  }
  void get(DateValue& v) { get(v.day); }
  void get(TimeValue& v) { get(v.seconds); }
  void get(std::shared_ptr<const Picture>& p) {
    std::int32_t id = 0;
    get(id);
    p = nullptr;
    if (id < 0 || !pictures) return;
    const auto it = pictures->find(id);
    if (it == pictures->end()) return void(ok = false);
    p = it->second;
  }
};

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    const size_t blank = line.find(' ');
    if (blank != 0) words.push_back(line.substr(0, blank));
    if (blank == std::string_view::npos) break;
    line.remove_prefix(blank + 1);
  }
  return words;
}

void PutValue(Out& o, const CellValue& v) {
  if (const auto* s = std::get_if<std::string>(&v)) o.word("t").put(*s);
  else if (const auto* d = std::get_if<double>(&v)) o.word("d").put(*d);
  else if (const auto* day = std::get_if<DateValue>(&v)) o.word("D").put(*day);
  else if (const auto* t = std::get_if<TimeValue>(&v)) o.word("T").put(*t);
  else o.word("n").put(0);
}

void GetValue(In& in, CellValue& v) {
  const auto kind = in.next();
  if (kind == "t") {
    std::string s;
    in.get(s);
    v = std::move(s);
  } else if (kind == "d") {
    double d = 0;
    in.get(d);
    v = d;
  } else if (kind == "D") {
    DateValue d;
    in.get(d);
    v = d;
  } else if (kind == "T") {
    TimeValue t;
    in.get(t);
    in.ok = in.ok && t.seconds >= 0 && t.seconds < 86400;
    v = t;
  } else {
    in.next();
    in.ok = in.ok && kind == "n";
    v = std::monostate{};
  }
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s = "=";
  s.reserve(bytes.size() * 2 + 1);
  for (const auto b : bytes) s += kDigits[b >> 4], s += kDigits[b & 15];
  return s;
}

bool Unhex(std::string_view w, std::vector<std::uint8_t>& bytes) {
  if (!w.starts_with('=') || w.size() % 2 == 0) return false;
  for (size_t i = 1; i < w.size(); i += 2) {
    unsigned v = 0;
    const auto r = std::from_chars(w.data() + i, w.data() + i + 2, v, 16);
    if (r.ec != std::errc() || r.ptr != w.data() + i + 2) return false;
    bytes.push_back(std::uint8_t(v));
  }
  return true;
}

class Writer {
 public:
  Writer(AddressedBook& book, bool dataOnly) : book_(book), dataOnly_(dataOnly) {}

  std::string run() {
    o_.text = std::string(kMagic) + "\n";
    const Addressing& a = book_.address();
    o_.word("book").put(book_.sheetIndex()).put(book_.activeSheetIndex()).put(a.row).put(a.col).put(a.row2).put(a.col2).end();
    if (!dataOnly_) {
#define BOOK_FIELD(type, field, initial) o_.word("set").word(#field).put(book_.settings.field).end();
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
      for (const auto& [c, v] : book_.sortIndicators) o_.word("sort").put(c).put(v).end();
    }
    for (std::int32_t i = 1; i <= book_.sheetCount(); ++i) sheet(i);
    o_.word("end").end();
    return std::move(o_.text);
  }

 private:
  // The id of a style, written on first use; -1 for none or when only data is saved.
  std::int32_t style(const StylePtr& s) {
    if (!s || dataOnly_) return -1;
    if (const auto it = styles_.find(s.get()); it != styles_.end()) return it->second;
    if (s->picture && !o_.pictures.contains(s->picture.get())) {
      const auto id = std::int32_t(o_.pictures.size());
      o_.pictures[s->picture.get()] = id;
      o_.word("picture").put(id).put(s->picture->kind).put(s->picture->fileName).word(Hex(s->picture->bytes)).end();
    }
    const Style& d = *DefaultStyle();
    Out fields;
    fields.pictures = o_.pictures;
#define STYLE_FIELD(type, field, initial) \
  if (!(s->field == d.field)) fields.word(#field).put(s->field);
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
    // Equal styles held apart (two sheets' defaults) are written once.
    const auto [known, added] = byFields_.try_emplace(fields.text, std::int32_t(byFields_.size()));
    styles_[s.get()] = known->second;
    if (added) o_.word("style").put(known->second).word(fields.text).end();
    return known->second;
  }

  void line(const char* kind, std::int32_t n, const Line* l) {
    if (!l || l->empty()) return;
    const std::int32_t sid = style(l->style);
    o_.word(kind).put(n).put(sid).put(l->size).put(l->hidden).put(l->pageBreak).put(l->id).end();
  }

  void sheet(std::int32_t index) {
    const Sheet& s = book_.sheetAt(index);
    const std::int32_t def = style(s.styleAt(kAll, kAll));
    o_.word("sheet").put(s.name).put(s.visible).put(s.maxRows()).put(s.maxCols()).put(s.defaultRowHeight).put(s.defaultColWidth).put(def).end();
    o_.word("view").put(s.activeCol).put(s.activeRow).put(s.topRow).put(s.leftCol).put(s.rowsFrozen).put(s.colsFrozen).end();
    for (const Block& b : s.selection) o_.word("select").put(b.col).put(b.row).put(b.col2).put(b.row2).end();
    if (!dataOnly_) {
      for (std::int32_t r = 0; r <= s.maxRows(); ++r) line("row", r, s.rowLine(r));
      for (std::int32_t c = 0; c <= s.maxCols(); ++c) line("col", c, s.colLine(c));
    }
    s.forEachCell(Block{kAll, kAll, kAll, kAll}, [&](std::int32_t c, std::int32_t r, const Cell& cell) {
      if (dataOnly_ && IsEmpty(cell.value)) return;
      const std::int32_t sid = style(cell.style);
      o_.word("cell").put(c).put(r).put(sid);
      PutValue(o_, cell.value);
      o_.put(dataOnly_ ? std::string() : cell.texts.note()).put(dataOnly_ ? std::string() : cell.texts.formula()).end();
    });
    if (!dataOnly_)
      for (const Span& sp : s.spans()) o_.word("span").put(sp.col).put(sp.row).put(sp.cols).put(sp.rows).end();
  }

  AddressedBook& book_;
  bool dataOnly_;
  Out o_;
  std::map<const Style*, std::int32_t> styles_;
  std::map<std::string, std::int32_t> byFields_;
};

// Applies a grid file to a book that has just been reset; false at the first fault.
bool Apply(AddressedBook& book, std::string_view text, std::string* error) {
  const auto fail = [&](size_t lineNo, std::string_view why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + std::string(why);
    return false;
  };
  if (!text.starts_with(kMagic) || (text.size() > kMagic.size() && text[kMagic.size()] != '\n' && text[kMagic.size()] != '\r'))
    return fail(1, "not a grid file");
  std::map<std::int32_t, std::shared_ptr<const Picture>> pictures;
  std::map<std::int32_t, StylePtr> styles;
  std::int32_t sheets = 0, addressed = 1, active = 1;
  std::int32_t bookRow = 1, bookCol = 1, bookRow2 = 1, bookCol2 = 1;
  bool ended = false;
  size_t lineNo = 1;
  const auto styleById = [&](In& in, StylePtr& s) {
    std::int32_t id = 0;
    in.get(id);
    s = nullptr;
    if (id < 0) return;
    const auto it = styles.find(id);
    if (it == styles.end()) return void(in.ok = false);
    s = it->second;
  };
  size_t pos = text.find('\n');
  while (pos != std::string_view::npos && pos + 1 < text.size()) {
    ++lineNo;
    const size_t next = text.find('\n', pos + 1);
    std::string_view lineText = text.substr(pos + 1, next == std::string_view::npos ? std::string_view::npos : next - pos - 1);
    pos = next;
    if (lineText.ends_with('\r')) lineText.remove_suffix(1);
    if (ended) return fail(lineNo, "text after the end");
    In in;
    in.words = Words(lineText);
    in.pictures = &pictures;
    if (in.words.empty()) continue;
    const std::string_view kind = in.next();
    Sheet* sheet = sheets > 0 ? &book.sheet() : nullptr;
    if (kind == "end") {
      ended = true;
    } else if (kind == "book") {
      in.get(addressed), in.get(active), in.get(bookRow), in.get(bookCol), in.get(bookRow2), in.get(bookCol2);
    } else if (kind == "set") {
      const auto field = in.next();
#define BOOK_FIELD(type, name, initial) \
  if (field == #name) in.get(book.settings.name);
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
    } else if (kind == "sort") {
      std::int32_t c = 0, v = 0;
      in.get(c), in.get(v);
      book.sortIndicators[c] = v;
    } else if (kind == "picture") {
      std::int32_t id = 0;
      auto p = std::make_shared<Picture>();
      in.get(id), in.get(p->kind), in.get(p->fileName);
      if (!Unhex(in.next(), p->bytes)) return fail(lineNo, "bad picture bytes");
      ReadPictureHeader(*p);
      pictures[id] = std::move(p);
    } else if (kind == "style") {
      std::int32_t id = 0;
      in.get(id);
      auto s = std::make_shared<Style>(*DefaultStyle());
      while (in.ok && in.more()) {
        const auto field = in.next();
        bool known = false;
#define STYLE_FIELD(type, name, initial) \
  if (!known && field == #name) in.get(s->name), known = true;
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
        if (!known) in.next();
      }
      if (!in.ok) return fail(lineNo, "bad style");
      if (const std::string broken = ValidateStyle(*s); !broken.empty()) return fail(lineNo, broken);
      styles[id] = std::move(s);
    } else if (kind == "sheet") {
      if (++sheets > kSheetLimit) return fail(lineNo, "too many sheets");
      if (sheets > 1) book.setSheetCount(sheets);
      book.setSheetIndex(sheets);
      Sheet& s = book.sheet();
      std::int32_t rows = 0, cols = 0;
      StylePtr def;
      in.get(s.name), in.get(s.visible), in.get(rows), in.get(cols), in.get(s.defaultRowHeight), in.get(s.defaultColWidth);
      styleById(in, def);
      if (!in.ok || rows < 1 || rows > kRowLimit || cols < 1 || cols > kColLimit) return fail(lineNo, "bad sheet");
      s.setMaxRows(rows);
      s.setMaxCols(cols);
      if (def)
        s.changeStyles(
            Block{kAll, kAll, kAll, kAll}, [&](Style& st) { st = *def; }, book.formatContext());
    } else if (!sheet) {
      if (kind == "view" || kind == "select" || kind == "row" || kind == "col" || kind == "cell" || kind == "span")
        return fail(lineNo, "no sheet yet");
    } else if (kind == "view") {
      in.get(sheet->activeCol), in.get(sheet->activeRow), in.get(sheet->topRow), in.get(sheet->leftCol), in.get(sheet->rowsFrozen),
          in.get(sheet->colsFrozen);
      if (in.ok &&
          (sheet->activeCol < 1 || sheet->activeCol > sheet->maxCols() || sheet->activeRow < 1 || sheet->activeRow > sheet->maxRows() ||
           sheet->topRow < 1 || sheet->leftCol < 1 || sheet->rowsFrozen < 0 || sheet->colsFrozen < 0))
        return fail(lineNo, "bad view");
    } else if (kind == "select") {
      Block b;
      in.get(b.col), in.get(b.row), in.get(b.col2), in.get(b.row2);
      sheet->selection.push_back(b);
    } else if (kind == "row" || kind == "col") {
      std::int32_t n = 0;
      in.get(n);
      const bool isRow = kind == "row";
      if (!in.ok || n < 0 || n > (isRow ? sheet->maxRows() : sheet->maxCols())) return fail(lineNo, "bad line");
      Line& l = isRow ? sheet->rowLineForWrite(n) : sheet->colLineForWrite(n);
      styleById(in, l.style);
      in.get(l.size), in.get(l.hidden), in.get(l.pageBreak), in.get(l.id);
    } else if (kind == "cell") {
      std::int32_t c = 0, r = 0;
      in.get(c), in.get(r);
      if (!in.ok || c < 0 || r < 0 || c > sheet->maxCols() || r > sheet->maxRows()) return fail(lineNo, "bad cell");
      Cell& cell = sheet->cellForWrite(c, r);
      styleById(in, cell.style);
      GetValue(in, cell.value);
      std::string note, formula;
      in.get(note), in.get(formula);
      cell.texts.setNote(note), cell.texts.setFormula(formula);
    } else if (kind == "span") {
      Span sp{};
      in.get(sp.col), in.get(sp.row), in.get(sp.cols), in.get(sp.rows);
      if (in.ok && !sheet->addSpan(sp)) return fail(lineNo, "bad span");
    }
    if (!in.ok) return fail(lineNo, "bad " + std::string(kind));
  }
  if (!ended) return fail(lineNo, "the file is cut short");
  if (sheets < 1) return fail(lineNo, "no sheet");
  if (addressed < 1 || addressed > sheets || active < 1 || active > sheets) return fail(lineNo, "bad book record");
  book.restoreActiveSheet(active);
  book.setSheetIndex(addressed);
  book.setRow(bookRow), book.setCol(bookCol), book.setRow2(bookRow2), book.setCol2(bookCol2);
  return true;
}

}  // namespace

std::string GridFileText(AddressedBook& book, bool dataOnly) { return Writer(book, dataOnly).run(); }

bool SaveGridFile(AddressedBook& book, const std::string& path, bool dataOnly, std::string* error) {
  return WriteFileAtomically(path, GridFileText(book, dataOnly), error, Durability::Synced);
}

bool ReadGridFileText(AddressedBook& book, const std::string& text, std::string* error) {
  AddressedBook trial;
  if (!Apply(trial, text, error)) return false;
  book.reset();
  return Apply(book, text, error);
}

bool LoadGridFile(AddressedBook& book, const std::string& path, std::string* error) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  return ReadGridFileText(book, text, error);
}

}  // namespace spread::files
