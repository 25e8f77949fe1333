// .xls through FreeXL. FreeXL gives every cell as an integer, a double, a text or a date, date
// and time, or time text; this turns those into imported cells.
//
// FreeXL reads a damaged file past its buffers, so it runs in a child process: the child sends
// the imported book back as it reads it (its cells through a memory file, the rest through a
// pipe), and a child that crashes, hangs or dies answers "damaged" instead of taking the program
// down.
#include <fcntl.h>
#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "components/spread/formats/workbook_import.h"
#include "components/spread/formats/workbook_libraries.h"
#include "components/spread/model/calendar.h"

namespace spread::files {
namespace {

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

// The imported book as the child sends it, numbers in host order (the reader is our own child),
// as the book is read so the child never holds more than a block of cells. The blocks of cells
// go one after another into a memory file the parent made (cellsFd), which the parent maps once
// the child has ended, so their bytes are written once and never copied again; the pipe carries
// the rest: each sheet as a Sheet part (its name), a Cells part for each block (its cell count,
// where it lies in the memory file and its size) and a SheetEnd part (the sheet's size); then an
// End part (the status and the problems). A text goes as its 64-bit length and its bytes. The
// pipe parts are gathered and written after each block (so a parent waiting on a large file
// hears from the child) and at the end.
enum class Part : std::uint8_t { Sheet, Cells, SheetEnd, End };

class Wire {
 public:
  Wire(int fd, int cellsFd) : fd_(fd), cellsFd_(cellsFd) {}
  bool ok() const { return ok_; }
  template <class T>
  void put(T v) {
    small_.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void put(std::string_view s) {
    put(std::uint64_t(s.size()));
    small_.append(s);
  }
  void putCells(const ImportedCells::Block& b) {
    const std::string_view bytes = b.bytes();
    for (size_t done = 0; ok_ && done < bytes.size();) {
      const ssize_t n = ::pwrite(cellsFd_, bytes.data() + done, bytes.size() - done, off_t(cellsAt_ + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ok_ = false;
      else done += size_t(n);
    }
    put(Part::Cells);
    put(std::uint64_t(b.count));
    put(cellsAt_);
    put(std::uint64_t(bytes.size()));
    cellsAt_ += bytes.size();
    flush();
  }
  void flush() {
    for (size_t done = 0; ok_ && done < small_.size();) {
      const ssize_t n = ::write(fd_, small_.data() + done, small_.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ok_ = false;
      else done += size_t(n);
    }
    small_.clear();
  }

 private:
  int fd_, cellsFd_;
  std::uint64_t cellsAt_ = 0;  // where the next block goes
  bool ok_ = true;
  std::string small_;
};

// Reads in this process (the child's part) and sends the book as it goes.
ImportStatus ReadXlsHere(const std::string& path, Wire& w, std::vector<std::string>& problems) {
  // The handle is never closed: this runs in the child, which ends as soon as it has answered, and
  // the system takes back FreeXL's memory at once instead of cell by cell.
  const void* raw = nullptr;
  const int opened = freexl_open(path.c_str(), &raw);
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
    w.put(Part::Sheet);
    w.put(std::string_view(sheet.name));
    const auto problem = [&](unsigned int r, unsigned short c, std::string_view what) {
      problems.push_back(sheet.name + " row " + std::to_string(r + 1) + " column " + std::to_string(c + 1) + ": " + std::string(what));
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
        // A full block goes now; its room is taken again by the blocks that follow.
        if (sheet.cells.blocks().size() > 1 && !sheet.cells.passFullBlocks([&](const ImportedCells::Block& b) {
              w.putCells(b);
              return w.ok();
            }))
          return ImportStatus::Damaged;  // the parent stopped reading
      }
    }
    for (const ImportedCells::Block& b : sheet.cells.blocks()) w.putCells(b);
    w.put(Part::SheetEnd);
    w.put(sheet.rows);
    w.put(sheet.cols);
  }
  return ImportStatus::Ok;
}

// What the child answers at the end: the status and the problems.
bool SendEnd(Wire& w, ImportStatus status, const std::vector<std::string>& problems) {
  w.put(Part::End);
  w.put(std::int32_t(status));
  w.put(std::uint64_t(problems.size()));
  for (const std::string& p : problems) w.put(std::string_view(p));
  w.flush();
  return w.ok();
}

// The most bytes of cells a child may put in the memory file.
constexpr std::uint64_t kCellsLimit = std::uint64_t(1) << 40;
// A child that sends nothing for this long is taken as hung.
constexpr int kSilenceLimitMs = 30'000;
// A text's bytes are taken in steps of at most this, so a length the child made up costs no more
// memory than the bytes that really come.
constexpr size_t kReadStep = size_t(64) << 20;

// The child's answer as it comes through the pipe.
class PipeReader {
 public:
  explicit PipeReader(int fd) : fd_(fd) {}
  bool hung() const { return hung_; }
  bool read(char* into, size_t n) {
    while (n > 0) {
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, kSilenceLimitMs);
      if (ready == 0) return hung_ = true, false;
      if (ready < 0 && errno == EINTR) continue;
      const ssize_t got = ::read(fd_, into, n);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      into += got, n -= size_t(got);
    }
    return true;
  }
  template <class T>
  bool get(T& v) {
    return read(reinterpret_cast<char*>(&v), sizeof v);
  }
  bool get(std::string& s) {
    std::uint64_t n = 0;
    if (!get(n)) return false;
    s.clear();
    for (std::uint64_t left = n; left > 0;) {
      const size_t step = size_t(std::min<std::uint64_t>(left, kReadStep)), at = s.size();
      s.resize(at + step);
      if (!read(s.data() + at, step)) return false;
      left -= step;
    }
    return true;
  }
  // True when the child wrote nothing more and closed its end.
  bool atEnd() {
    char extra = 0;
    return !read(&extra, 1) && !hung_;
  }

 private:
  int fd_;
  bool hung_ = false;
};

// A block of cells in the memory file, for the sheet it belongs to.
struct CellsAt {
  size_t sheet;
  std::uint64_t count, at, size;
};

// Reads the pipe's parts; the blocks of cells are listed in blocks, each where the one before
// ended. A sheet the child did not finish (it failed in the middle) is left out, as it would be
// had the child sent the book whole.
bool Decode(PipeReader& r, ImportStatus& status, ImportedBook& book, std::vector<CellsAt>& blocks) {
  bool open = false;      // the last sheet still takes cells
  std::uint64_t end = 0;  // where the blocks so far end
  for (;;) {
    Part part{};
    if (!r.get(part)) return false;
    ImportedSheet* sheet = open ? &book.sheets.back() : nullptr;
    switch (part) {
      case Part::Sheet:
        if (open || !r.get(book.sheets.emplace_back().name)) return false;
        open = true;
        break;
      case Part::Cells: {
        CellsAt b{book.sheets.size() - 1, 0, 0, 0};
        if (!sheet || !r.get(b.count) || !r.get(b.at) || !r.get(b.size) || b.at != end || b.size == 0 || b.size > kCellsLimit - end)
          return false;
        end += b.size;
        blocks.push_back(b);
        break;
      }
      case Part::SheetEnd:
        if (!sheet || !r.get(sheet->rows) || !r.get(sheet->cols)) return false;
        open = false;
        break;
      case Part::End: {
        if (open) {
          std::erase_if(blocks, [&](const CellsAt& b) { return b.sheet == book.sheets.size() - 1; });
          book.sheets.pop_back();
        }
        std::int32_t st = 0;
        std::uint64_t n = 0;
        if (!r.get(st) || !r.get(n)) return false;
        status = ImportStatus(st);
        for (std::uint64_t i = 0; i < n; ++i)
          if (!r.get(book.problems.emplace_back())) return false;
        return r.atEnd();
      }
      default: return false;
    }
  }
}

// Takes the blocks where they lie in the memory file, once the child has ended: the file is
// sealed first, so nothing can change it after its cells are checked, and mapped for reading.
bool TakeCells(int fd, const std::vector<CellsAt>& blocks, ImportedBook& book) {
  if (blocks.empty()) return true;
  const std::uint64_t total = blocks.back().at + blocks.back().size;
  struct stat st {};
  if (::fcntl(fd, F_ADD_SEALS, F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) != 0 || ::fstat(fd, &st) != 0 ||
      std::uint64_t(st.st_size) < total)
    return false;
  void* const map = ::mmap(nullptr, size_t(total), PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  if (map == MAP_FAILED) return false;
  const std::shared_ptr<const void> keeper(map, [total](const void* p) { ::munmap(const_cast<void*>(p), size_t(total)); });
  const auto* const bytes = static_cast<const char*>(map);
  for (const CellsAt& b : blocks)
    if (!book.sheets[b.sheet].cells.adopt(keeper, std::string_view(bytes + b.at, size_t(b.size)), size_t(b.count))) return false;
  return true;
}

}  // namespace

ImportStatus ReadXls(const std::string& path, ImportedBook& out) {
  LoadXlsLibrary();  // in the parent, so the child never runs the loader
  int fds[2];
  if (::pipe(fds) != 0) return ImportStatus::CannotOpen;
  const int cellsFd = ::memfd_create("imported cells", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  const pid_t child = cellsFd < 0 ? -1 : ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    if (cellsFd >= 0) ::close(cellsFd);
    return ImportStatus::CannotOpen;
  }
  if (child == 0) {
    ::close(fds[0]);
    Wire w(fds[1], cellsFd);
    std::vector<std::string> problems;
    const ImportStatus status = ReadXlsHere(path, w, problems);
    ::_exit(SendEnd(w, status, problems) ? 0 : 1);
  }
  ::close(fds[1]);
  PipeReader in(fds[0]);
  ImportStatus status = ImportStatus::Damaged;
  std::vector<CellsAt> blocks;
  const bool whole = Decode(in, status, out, blocks);
  if (!whole) ::kill(child, SIGKILL);  // hung, or still writing what cannot be read
  ::close(fds[0]);
  int wstatus = 0;
  while (::waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {}
  const bool taken = whole && WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0 && TakeCells(cellsFd, blocks, out);
  ::close(cellsFd);  // a mapping made stays
  if (!taken) {
    out = {};
    out.problems.push_back(in.hung() ? "the reader stopped answering" : "the reader failed on the file's contents");
    return ImportStatus::Damaged;
  }
  return status;
}

}  // namespace spread::files
