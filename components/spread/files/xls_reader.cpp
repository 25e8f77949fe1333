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

// The child's answer, written as it reads, in host order (the reader is our own child): each sheet
// (kSheetFollows, its name, its size, its cell count, the cells: kind, column, row, and a text's
// length and bytes or a number), kNoMoreSheets, the problems (count, then each), the status.
// Lengths and counts are 32 bits; a sheet holds at most kImportRowLimit x kImportColLimit cells.
class Wire {
 public:
  std::string bytes;
  template <class T>
  void put(T v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void put(std::string_view s) {
    put(std::uint32_t(s.size()));
    bytes.append(s);
  }
  // Overwrites a number put earlier at offset at.
  template <class T>
  void patch(size_t at, T v) {
    std::memcpy(bytes.data() + at, &v, sizeof v);
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
    std::uint32_t n = 0;
    if (!get(n) || n > b_.size()) return false;
    s.assign(b_.substr(0, n));
    b_.remove_prefix(n);
    return true;
  }
  size_t left() const { return b_.size(); }

 private:
  std::string_view b_;
};

constexpr std::uint8_t kSheetFollows = 1, kNoMoreSheets = 0;
// The least a cell takes on the wire: kind, column, row and an empty text's length.
constexpr size_t kLeastCellBytes = 1 + 4 + 4 + 4;

bool HasText(ImportedKind k) { return k == ImportedKind::Text || k == ImportedKind::Error; }

// Reads the open workbook's sheets onto the wire; problems are added to problems.
ImportStatus ReadSheets(const void* raw, Wire& w, std::vector<std::string>& problems) {
  unsigned int sheets = 0;
  if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) return ImportStatus::Damaged;
  for (unsigned short i = 0; i < sheets; ++i) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(raw, i, &name) != FREEXL_OK) return ImportStatus::Damaged;
    const std::string sheetName = name ? name : "Sheet" + std::to_string(i + 1);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(raw, i) != FREEXL_OK || freexl_worksheet_dimensions(raw, &rows, &cols) != FREEXL_OK)
      return ImportStatus::Damaged;
    if (rows > unsigned(kImportRowLimit) || cols > kImportColLimit) return ImportStatus::TooLarge;
    w.put(kSheetFollows);
    w.put(std::string_view(sheetName));
    const size_t sizeAt = w.bytes.size();
    w.put(std::int32_t(0)), w.put(std::int32_t(0)), w.put(std::uint32_t(0));  // rows, columns, cells: patched below
    std::int32_t usedRows = 0, usedCols = 0;
    std::uint32_t count = 0;
    const auto problem = [&](unsigned int r, unsigned short c, std::string_view what) {
      problems.push_back(sheetName + " row " + std::to_string(r + 1) + " column " + std::to_string(c + 1) + ": " + std::string(what));
    };
    for (unsigned int r = 0; r < rows; ++r) {
      for (unsigned short c = 0; c < cols; ++c) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(raw, r, c, &v) != FREEXL_OK) return ImportStatus::Damaged;
        const bool hasText = v.type >= FREEXL_CELL_TEXT && v.type <= FREEXL_CELL_TIME;  // the value is a union
        const std::string_view text = hasText && v.value.text_value ? v.value.text_value : "";
        ImportedKind kind = ImportedKind::Number;
        double number = 0;
        switch (v.type) {
          case FREEXL_CELL_NULL: continue;
          case FREEXL_CELL_INT: number = v.value.int_value; break;
          case FREEXL_CELL_DOUBLE: number = v.value.double_value; break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
            if (text.empty()) continue;
            kind = ImportedKind::Text;
            break;
          case FREEXL_CELL_DATE:
            kind = ImportedKind::Date;
            number = DateDays(text);
            break;
          case FREEXL_CELL_DATETIME: {
            const double t = text.size() >= 19 ? TimeFraction(text.substr(11)) : -1;
            kind = t > 0 ? ImportedKind::DateTime : ImportedKind::Date;
            number = DateDays(text) + (t > 0 ? t : 0);
            break;
          }
          case FREEXL_CELL_TIME:
            kind = ImportedKind::Time;
            number = TimeFraction(text);
            break;
          default: problem(r, c, "unknown cell kind"); continue;
        }
        if ((kind == ImportedKind::Date || kind == ImportedKind::DateTime) && number < -1e8) {
          problem(r, c, "no date: " + std::string(text));
          continue;
        }
        if (kind == ImportedKind::Time && number < 0) {
          problem(r, c, "no time: " + std::string(text));
          continue;
        }
        usedRows = std::max(usedRows, std::int32_t(r) + 1);
        usedCols = std::max(usedCols, std::int32_t(c) + 1);
        ++count;
        w.put(std::uint8_t(kind)), w.put(std::int32_t(c) + 1), w.put(std::int32_t(r) + 1);
        if (HasText(kind)) w.put(text);
        else w.put(number);
      }
    }
    w.patch(sizeAt, usedRows), w.patch(sizeAt + 4, usedCols), w.patch(sizeAt + 8, count);
  }
  return ImportStatus::Ok;
}

// Reads in this process (the child's part) and answers the wire's bytes.
std::string ReadXlsHere(const std::string& path) {
  Wire w;
  std::vector<std::string> problems;
  const void* raw = nullptr;
  const int opened = freexl_open(path.c_str(), &raw);
  std::unique_ptr<const void, Closer> handle(raw);
  ImportStatus status = ImportStatus::Ok;
  if (opened == FREEXL_FILE_NOT_FOUND) status = ImportStatus::CannotOpen;
  else if (opened != FREEXL_OK) status = ImportStatus::Damaged;
  else status = ReadSheets(raw, w, problems);
  if (status != ImportStatus::Ok) w.bytes.clear();  // no sheets, not even one cut short
  w.put(kNoMoreSheets);
  w.put(std::uint32_t(problems.size()));
  for (const std::string& p : problems) w.put(std::string_view(p));
  w.put(std::int32_t(status));
  return std::move(w.bytes);
}

bool Decode(std::string_view bytes, ImportStatus& status, ImportedBook& book) {
  WireReader r(bytes);
  for (std::uint8_t next = 0; r.get(next) && next == kSheetFollows;) {
    ImportedSheet& s = book.sheets.emplace_back();
    std::uint32_t cells = 0;
    if (!r.get(s.name) || !r.get(s.rows) || !r.get(s.cols) || !r.get(cells) || cells > r.left() / kLeastCellBytes) return false;
    s.cells.resize(cells);
    for (ImportedCell& c : s.cells) {
      std::uint8_t kind = 0;
      if (!r.get(kind) || kind > std::uint8_t(ImportedKind::Error) || !r.get(c.col) || !r.get(c.row)) return false;
      c.kind = ImportedKind(kind);
      if (!(HasText(c.kind) ? r.get(c.text) : r.get(c.number))) return false;
    }
    if (r.left() == 0) return false;
  }
  std::uint32_t problems = 0;
  if (!r.get(problems) || problems > r.left()) return false;
  book.problems.resize(problems);
  for (std::string& p : book.problems)
    if (!r.get(p)) return false;
  std::int32_t st = 0;
  if (!r.get(st) || r.left() != 0) return false;
  status = ImportStatus(st);
  return true;
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
    const std::string bytes = ReadXlsHere(path);
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
