#include "components/spread/formats/grid_file.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <map>
#include <type_traits>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/records/book_walker.h"
#include "components/spread/records/record_layout.h"

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

// Where the grid file puts fields away from the records' order: a sheet's view state on a line of
// its own, a cell's style before its value.
const records::Layout kSheetLayout{{"name", "visible", "maxRows", "maxCols", "defaultRowHeight", "defaultColWidth", "defaultStyle"},
                                   {"activeCol", "activeRow", "topRow", "leftCol", "rowsFrozen", "colsFrozen"}};
const records::Layout kCellLayout{{"col", "row", "style"}, {}};

class Writer {
 public:
  Writer(AddressedBook& book, bool dataOnly) : walk_(book, dataOnly) {}

  std::string run() {
    o_.text = std::string(kMagic) + "\n";
    record("book", walk_.book());
    if (!walk_.dataOnly()) {
#define BOOK_FIELD(type, field, initial) o_.word("set").word(#field).put(walk_.settings().field).end();
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
    }
    for (const records::SortRecord& s : walk_.sorts()) record("sort", s);
    static const records::LineFields sheetLines = records::FieldsByLine<records::SheetRecord>(kSheetLayout);
    static const records::LineFields cellLines = records::FieldsByLine<records::CellRecord>(kCellLayout);
    for (std::int32_t n = 1; n <= walk_.sheetCount(); ++n) {
      records::SheetRecord sheet = walk_.sheet(n);
      line("sheet", sheet, sheetLines.first);
      line("view", sheet, sheetLines.second);
      walk_.selection(n, [&](records::SelectRecord& r) { record("select", r); });
      walk_.lines(n, records::Kind::Row, [&](records::LineRecord& r) { record("row", r); });
      walk_.lines(n, records::Kind::Col, [&](records::LineRecord& r) { record("col", r); });
      walk_.cells(n, [&](records::CellRecord& r) { line("cell", r, cellLines.first); });
      walk_.spans(n, [&](records::SpanRecord& r) { record("span", r); });
    }
    o_.word("end").end();
    return std::move(o_.text);
  }

 private:
  // A record on one line, its fields in the record's order.
  template <class Record>
  void record(std::string_view kind, Record r) {
    static const records::LineFields all = records::FieldsByLine<Record>({});
    line(kind, r, all.first);
  }

  // One line of a record: the fields at `which`. The styles it names are written before it.
  template <class Record>
  void line(std::string_view kind, Record& r, const std::vector<size_t>& which) {
    const auto fields = r.fields();
    Out l;
    l.word(kind);
    for (const size_t i : which)
      std::visit(
          [&](auto* p) {
            if constexpr (std::is_same_v<decltype(p), StylePtr*>) l.put(style(*p));
            else if constexpr (std::is_same_v<decltype(p), CellValue*>) PutValue(l, *p);
            else l.put(*p);
          },
          fields[i].ref);
    o_.text += l.text;
    o_.end();
  }

  // The id of a style, written on first use; -1 for none.
  std::int32_t style(const StylePtr& s) {
    if (!s) return -1;
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

  records::BookWalk walk_;
  Out o_;
  std::map<const Style*, std::int32_t> styles_;
  std::map<std::string, std::int32_t> byFields_;
};

// Reads the fields at `which` of a record from a line.
template <class Record>
void GetFields(In& in, Record& r, const std::vector<size_t>& which, const records::BookBuilder& b) {
  const auto fields = r.fields();
  for (const size_t i : which) {
    if (i >= Record::kFirst && !in.more()) continue;  // a field added after this was written
    std::visit(
        [&](auto* p) {
          if constexpr (std::is_same_v<decltype(p), StylePtr*>) {
            std::int32_t id = 0;
            in.get(id);
            in.ok = in.ok && (id < 0 ? (*p = nullptr, true) : b.styleOf(id, *p));
          } else if constexpr (std::is_same_v<decltype(p), CellValue*>) {
            GetValue(in, *p);
          } else {
            in.get(*p);
          }
        },
        fields[i].ref);
  }
}

// Applies a grid file to a book; false at the first fault.
bool Apply(records::BookBuilder& b, std::string_view text, std::string* error) {
  const auto fail = [&](size_t lineNo, std::string_view why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + std::string(why);
    return false;
  };
  if (!text.starts_with(kMagic) || (text.size() > kMagic.size() && text[kMagic.size()] != '\n' && text[kMagic.size()] != '\r'))
    return fail(1, "not a grid file");
  static const records::LineFields sheetLines = records::FieldsByLine<records::SheetRecord>(kSheetLayout);
  static const records::LineFields cellLines = records::FieldsByLine<records::CellRecord>(kCellLayout);
  std::map<std::int32_t, std::shared_ptr<const Picture>> pictures;
  // The sheet last read; its view line may follow.
  records::SheetRecord sheet;
  bool ended = false;
  size_t lineNo = 1;
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
    // A record the builder takes, its fields in the record's order (or at `which`).
    std::string why;
    const auto add = [&](auto r, const std::vector<size_t>* which, auto... rowOrCol) {
      static const records::LineFields all = records::FieldsByLine<decltype(r)>({});
      GetFields(in, r, which ? *which : all.first, b);
      if (in.ok) why = b.add(rowOrCol..., r);
    };
    if (kind == "end") {
      ended = true;
    } else if (kind == "book") {
      add(records::BookRecord{}, nullptr);
    } else if (kind == "set") {
      const auto field = in.next();
#define BOOK_FIELD(type, name, initial) \
  if (field == #name) in.get(b.settings().name);
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
    } else if (kind == "sort") {
      add(records::SortRecord{}, nullptr);
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
      Style s;
      while (in.ok && in.more()) {
        const auto field = in.next();
        bool known = false;
#define STYLE_FIELD(type, name, initial) \
  if (!known && field == #name) in.get(s.name), known = true;
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
        if (!known) in.next();
      }
      if (!in.ok) return fail(lineNo, "bad style");
      why = b.style(id, s);
    } else if (kind == "sheet") {
      sheet = {};
      GetFields(in, sheet, sheetLines.first, b);
      if (in.ok) why = b.add(sheet);
    } else if (kind == "view") {
      GetFields(in, sheet, sheetLines.second, b);
      if (in.ok) why = b.view(sheet);
    } else if (kind == "select") {
      add(records::SelectRecord{}, nullptr);
    } else if (kind == "row") {
      add(records::LineRecord{}, nullptr, records::Kind::Row);
    } else if (kind == "col") {
      add(records::LineRecord{}, nullptr, records::Kind::Col);
    } else if (kind == "cell") {
      add(records::CellRecord{}, &cellLines.first);
    } else if (kind == "span") {
      add(records::SpanRecord{}, nullptr);
    }
    if (!in.ok) return fail(lineNo, "bad " + std::string(kind));
    if (!why.empty()) return fail(lineNo, why);
  }
  if (!ended) return fail(lineNo, "the file is cut short");
  if (const std::string why = b.finish(); !why.empty()) return fail(lineNo, why);
  return true;
}

}  // namespace

std::string GridFileText(AddressedBook& book, bool dataOnly) { return Writer(book, dataOnly).run(); }

bool SaveGridFile(AddressedBook& book, const std::string& path, bool dataOnly, std::string* error) {
  return WriteFileAtomically(path, GridFileText(book, dataOnly), error, Durability::Synced);
}

bool ReadGridFileText(AddressedBook& book, const std::string& text, std::string* error) {
  return records::ReadWhole(book, [&](records::BookBuilder& b) { return Apply(b, text, error); });
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
