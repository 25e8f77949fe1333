#include "components/spread/book_stream.h"

#include <charconv>
#include <map>
#include <type_traits>
#include <variant>

#include "components/spread/members/addressed_book.h"
#include "components/spread/records/book_walker.h"
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
  bool atRecordEnd() {
    skipBlanks();
    return at_ >= in_.size() || in_[at_] == '\n';
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

// A record: its kind's word, then its fields in the record's order.
template <class Record>
void writeRecord(Writer& w, std::string_view kind, Record r, const std::map<const Style*, int>& ids) {
  w.word(kind);
  for (const records::Field& f : r.fields())
    std::visit(
        [&](auto* p) {
          if constexpr (std::is_same_v<decltype(p), StylePtr*>) w.number(*p ? ids.at(p->get()) : -1);
          else w.value(*p);
        },
        f.ref);
  w.endRecord();
}

template <class Record>
bool readRecord(Reader& r, Record& record, const records::BookBuilder& b) {
  const auto fields = record.fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const records::Field& f = fields[i];
    if (i >= Record::kFirst && r.atRecordEnd()) break;  // a field added after this was written
    const bool ok = std::visit(
        [&](auto* p) {
          if constexpr (std::is_same_v<decltype(p), StylePtr*>) {
            int id = 0;
            return r.number(id) && b.styleOf(id, *p);
          } else {
            return r.value(*p);
          }
        },
        f.ref);
    if (!ok) return false;
  }
  return r.endRecord();
}

}  // namespace

std::string WriteBook(AddressedBook& book) {
  records::BookWalk walk(book, false);
  Writer w;
  w.word(kMagic).word(kVersion);
  w.endRecord();
#define BOOK_FIELD(type, field, initial) w.word("setting").word(#field).value(walk.settings().field).endRecord();
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
  std::map<const Style*, int> ids;
  for (const records::SortRecord& s : walk.sorts()) writeRecord(w, "sort", s, ids);

  // Every style in use, once, numbered in the order first met.
  walk.forEachStyle([&](const StylePtr& s) {
    const int id = int(ids.size());
    ids.emplace(s.get(), id);
    const Style defaults;
    w.word("style").number(id).endRecord();
#define STYLE_FIELD(type, field, initial) \
  if (!(s->field == defaults.field)) w.word("field").word(#field).value(s->field).endRecord();
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  });
  for (std::int32_t n = 1; n <= walk.sheetCount(); ++n) {
    writeRecord(w, "sheet", walk.sheet(n), ids);
    walk.lines(n, records::Kind::Row, [&](records::LineRecord& r) { writeRecord(w, "row", r, ids); });
    walk.lines(n, records::Kind::Col, [&](records::LineRecord& r) { writeRecord(w, "col", r, ids); });
    walk.cells(n, [&](records::CellRecord& r) { writeRecord(w, "cell", r, ids); });
    walk.spans(n, [&](records::SpanRecord& r) { writeRecord(w, "span", r, ids); });
    walk.selection(n, [&](records::SelectRecord& r) { writeRecord(w, "select", r, ids); });
  }
  writeRecord(w, "book", walk.book(), ids);
  w.word("end").endRecord();
  return w.take();
}

namespace {

// Reads the records into a book; false at the first one that is malformed.
bool readInto(records::BookBuilder& b, Reader& r) {
  std::string_view magic, version, kind;
  if (!r.word(magic) || magic != kMagic || !r.word(version) || version != kVersion || !r.endRecord()) return false;
  std::int32_t styles = 0;
  std::shared_ptr<Style> building;  // the style whose fields are being read
  const auto finishStyle = [&] {
    const bool ok = !building || b.style(styles++, *building).empty();
    building.reset();
    return ok;
  };
  // A record the builder takes.
  const auto add = [&](auto record, auto&&... kindFirst) { return readRecord(r, record, b) && b.add(kindFirst..., record).empty(); };
  while (r.word(kind)) {
    bool ok = true;
    if (kind == "end") {
      return r.endRecord() && r.atEnd() && b.finish().empty();
    } else if (kind == "setting") {
      std::string_view name;
      bool known = false;
      ok = r.word(name) && readSetting(r, name, b.settings(), known) && (known ? r.endRecord() : r.skipRecord());
    } else if (kind == "style") {
      int id = 0;
      ok = finishStyle() && r.number(id) && id == styles && r.endRecord();
      building = std::make_shared<Style>();
    } else if (kind == "field") {
      std::string_view name;
      bool known = false;
      ok = building && r.word(name) && readStyleField(r, name, *building, known) && (known ? r.endRecord() : r.skipRecord());
    } else if (kind == "sheet") {
      ok = finishStyle() && add(records::SheetRecord{});
    } else if (kind == "sort") {
      ok = add(records::SortRecord{});
    } else if (kind == "row") {
      ok = add(records::LineRecord{}, records::Kind::Row);
    } else if (kind == "col") {
      ok = add(records::LineRecord{}, records::Kind::Col);
    } else if (kind == "cell") {
      ok = add(records::CellRecord{});
    } else if (kind == "span") {
      ok = add(records::SpanRecord{});
    } else if (kind == "select") {
      ok = add(records::SelectRecord{});
    } else if (kind == "book") {
      ok = add(records::BookRecord{});
    } else {
      ok = r.skipRecord();  // a record of a later model
    }
    if (!ok) return false;
  }
  return false;  // no "end": cut short
}

}  // namespace

bool ReadBook(AddressedBook& book, std::string_view bytes) {
  return records::ReadWhole(book, [&](records::BookBuilder& b) {
    Reader r(bytes);
    return readInto(b, r);
  });
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
