// .xls through FreeXL. FreeXL gives every cell as an integer, a double, a text or a date, date
// and time, or time text; this turns those into imported cells.
//
// FreeXL reads a damaged file past its buffers, so it runs in a child process: the child sends
// the imported book back through a pipe, and a child that crashes, hangs or dies answers
// "damaged" instead of taking the program down.
#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>

#include "components/spread/files/workbook_import.h"
#include "components/spread/model/calendar.h"

namespace spread::files {
namespace {

struct Closer {
  void operator()(const void* h) const { freexl_close(h); }
};

int Digits(std::string_view s, size_t at, size_t n) {
  int v = 0;
  if (at + n > s.size() || std::from_chars(s.data() + at, s.data() + at + n, v).ec != std::errc()) return -1;
  return v;
}

// "YYYY-MM-DD" as a day count; -1e9 when it is no date.
double DateDays(std::string_view s) {
  const CivilDate d{Digits(s, 0, 4), Digits(s, 5, 2), Digits(s, 8, 2)};
  return IsValidDate(d) ? ToDateValue(d).day : -1e9;
}
// "HH:MM:SS" as a fraction of a day; -1 when it is no time.
double TimeFraction(std::string_view s) {
  const int h = Digits(s, 0, 2), m = Digits(s, 3, 2), sec = Digits(s, 6, 2);
  if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59) return -1;
  return (h * 3600 + m * 60 + sec) / 86400.0;
}

// Reads in this process (the child's part).
ImportStatus ReadXlsHere(const std::string& path, ImportedBook& out) {
  const void* raw = nullptr;
  const int opened = freexl_open(path.c_str(), &raw);
  std::unique_ptr<const void, Closer> handle(raw);
  if (opened == FREEXL_FILE_NOT_FOUND) return ImportStatus::CannotOpen;
  if (opened != FREEXL_OK) return ImportStatus::Damaged;
  unsigned int sheets = 0;
  if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) return ImportStatus::Damaged;
  for (unsigned short i = 0; i < sheets; ++i) {
    ImportedSheet sheet;
    const char* name = nullptr;
    if (freexl_get_worksheet_name(raw, i, &name) != FREEXL_OK) return ImportStatus::Damaged;
    sheet.name = name ? name : "Sheet" + std::to_string(i + 1);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(raw, i) != FREEXL_OK || freexl_worksheet_dimensions(raw, &rows, &cols) != FREEXL_OK)
      return ImportStatus::Damaged;
    if (rows > unsigned(kImportRowLimit) || cols > kImportColLimit) return ImportStatus::TooLarge;
    const auto problem = [&](unsigned int r, unsigned short c, std::string_view what) {
      out.problems.push_back(sheet.name + " row " + std::to_string(r + 1) + " column " + std::to_string(c + 1) + ": " + std::string(what));
    };
    for (unsigned int r = 0; r < rows; ++r) {
      for (unsigned short c = 0; c < cols; ++c) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(raw, r, c, &v) != FREEXL_OK) return ImportStatus::Damaged;
        ImportedCell cell{std::int32_t(c) + 1, std::int32_t(r) + 1, ImportedKind::Number, 0, {}};
        const bool hasText = v.type >= FREEXL_CELL_TEXT && v.type <= FREEXL_CELL_TIME;  // the value is a union
        const std::string_view text = hasText && v.value.text_value ? v.value.text_value : "";
        switch (v.type) {
          case FREEXL_CELL_NULL: continue;
          case FREEXL_CELL_INT: cell.number = v.value.int_value; break;
          case FREEXL_CELL_DOUBLE: cell.number = v.value.double_value; break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
            if (text.empty()) continue;
            cell.kind = ImportedKind::Text;
            cell.text = text;
            break;
          case FREEXL_CELL_DATE:
            cell.kind = ImportedKind::Date;
            cell.number = DateDays(text);
            break;
          case FREEXL_CELL_DATETIME: {
            const double t = text.size() >= 19 ? TimeFraction(text.substr(11)) : -1;
            cell.kind = t > 0 ? ImportedKind::DateTime : ImportedKind::Date;
            cell.number = DateDays(text) + (t > 0 ? t : 0);
            break;
          }
          case FREEXL_CELL_TIME:
            cell.kind = ImportedKind::Time;
            cell.number = TimeFraction(text);
            break;
          default: problem(r, c, "unknown cell kind"); continue;
        }
        if ((cell.kind == ImportedKind::Date || cell.kind == ImportedKind::DateTime) && cell.number < -1e8) {
          problem(r, c, "no date: " + std::string(text));
          continue;
        }
        if (cell.kind == ImportedKind::Time && cell.number < 0) {
          problem(r, c, "no time: " + std::string(text));
          continue;
        }
        sheet.rows = std::max(sheet.rows, cell.row);
        sheet.cols = std::max(sheet.cols, cell.col);
        sheet.cells.push_back(cell);
      }
    }
    out.sheets.push_back(std::move(sheet));
  }
  return ImportStatus::Ok;
}

// The imported book as bytes for the pipe: numbers in host order (the reader is our own child);
// each sheet's cells go as the packed bytes they already are.
class Wire {
 public:
  std::string bytes;
  template <class T>
  void put(T v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void put(std::string_view s) {
    put(std::uint64_t(s.size()));
    bytes.append(s);
  }
};

class WireReader {
 public:
  explicit WireReader(std::string_view b) : b_(b) {}
  template <class T>
  bool get(T& v) {
    if (b_.size() < sizeof v) return false;
    std::memcpy(&v, b_.data(), sizeof v);
    b_.remove_prefix(sizeof v);
    return true;
  }
  bool get(std::string& s) {
    std::uint64_t n = 0;
    if (!get(n) || n > b_.size()) return false;
    s.assign(b_.substr(0, size_t(n)));
    b_.remove_prefix(size_t(n));
    return true;
  }
  bool atEnd() const { return b_.empty(); }

 private:
  std::string_view b_;
};

std::string Encode(ImportStatus status, const ImportedBook& book) {
  Wire w;
  size_t size = 64;
  for (const ImportedSheet& s : book.sheets) size += s.name.size() + s.cells.bytes().size() + 64;
  w.bytes.reserve(size);
  w.put(std::int32_t(status));
  w.put(std::uint64_t(book.problems.size()));
  for (const std::string& p : book.problems) w.put(std::string_view(p));
  w.put(std::uint64_t(book.sheets.size()));
  for (const ImportedSheet& s : book.sheets) {
    w.put(std::string_view(s.name));
    w.put(s.rows);
    w.put(s.cols);
    w.put(std::uint64_t(s.cells.size()));
    w.put(std::string_view(s.cells.bytes()));
  }
  return std::move(w.bytes);
}

bool Decode(std::string_view bytes, ImportStatus& status, ImportedBook& book) {
  WireReader r(bytes);
  std::int32_t st = 0;
  std::uint64_t n = 0;
  if (!r.get(st) || !r.get(n) || n > bytes.size()) return false;
  status = ImportStatus(st);
  for (std::uint64_t i = 0; i < n; ++i)
    if (!r.get(book.problems.emplace_back())) return false;
  if (!r.get(n) || n > bytes.size()) return false;
  for (std::uint64_t i = 0; i < n; ++i) {
    ImportedSheet& s = book.sheets.emplace_back();
    std::uint64_t cells = 0;
    std::string packed;
    if (!r.get(s.name) || !r.get(s.rows) || !r.get(s.cols) || !r.get(cells) || !r.get(packed) || !s.cells.adopt(std::move(packed), cells))
      return false;
  }
  return r.atEnd();
}

// A child that sends nothing for this long is taken as hung.
constexpr int kSilenceLimitMs = 30'000;
// The largest answer length the parent makes room for before the bytes arrive.
constexpr std::uint64_t kTrustedLength = std::uint64_t(1) << 30;

bool WriteAll(int fd, const void* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd, static_cast<const char*>(data) + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

ImportStatus ReadXls(const std::string& path, ImportedBook& out) {
  int fds[2];
  if (::pipe(fds) != 0) return ImportStatus::CannotOpen;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return ImportStatus::CannotOpen;
  }
  if (child == 0) {
    ::close(fds[0]);
    // The answer's length first, so the parent takes it into one buffer of the right size.
    ImportedBook book;
    const ImportStatus status = ReadXlsHere(path, book);
    const std::string bytes = Encode(status, book);
    const std::uint64_t length = bytes.size();
    if (!WriteAll(fds[1], &length, sizeof length) || !WriteAll(fds[1], bytes.data(), bytes.size())) ::_exit(1);
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string bytes;
  std::uint64_t length = 0;
  size_t got = 0;  // bytes of the length, then of the answer
  bool hung = false;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, kSilenceLimitMs);
    if (ready == 0) {
      hung = true;
      ::kill(child, SIGKILL);
      break;
    }
    if (ready < 0 && errno == EINTR) continue;
    const bool header = got < sizeof length;
    if (!header && got - sizeof length == bytes.size()) {
      // Past the announced length (a child gone wrong): grow, so what is left is still read.
      bytes.resize(std::max<size_t>(bytes.size() * 2, 1 << 16));
    }
    char* const into = header ? reinterpret_cast<char*>(&length) + got : bytes.data() + (got - sizeof length);
    const size_t room = header ? sizeof length - got : bytes.size() - (got - sizeof length);
    const ssize_t n = ::read(fds[0], into, room);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
    // Taken on trust up to a bound only: a larger answer grows the buffer as it comes.
    if (header && got == sizeof length) bytes.resize(size_t(std::min<std::uint64_t>(length, kTrustedLength)));
  }
  bytes.resize(got > sizeof length ? got - sizeof length : 0);
  const bool whole = got >= sizeof length && bytes.size() == length;
  ::close(fds[0]);
  int wstatus = 0;
  while (::waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {}
  ImportStatus status = ImportStatus::Damaged;
  if (hung || !WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0 || !whole || !Decode(bytes, status, out)) {
    out = {};
    out.problems.push_back(hung ? "the reader stopped answering" : "the reader failed on the file's contents");
    return ImportStatus::Damaged;
  }
  return status;
}

}  // namespace spread::files
