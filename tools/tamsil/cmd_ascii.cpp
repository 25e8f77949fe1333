// tamsil ascii: the ASCII driver from the shell.
//   cat [--driver STRING] [--record N] FILE     the records NEXT reads, one per line, trailing blanks cut
//   append [--driver STRING] [--record N] FILE  each line of stdin added with ADD (the file is shared)
//   count [--driver STRING] [--record N] FILE   the number of records
// The record is one line of N characters (255 unless given). Exit code 1 when the driver posts an
// error, with the error on stderr.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/file/ascii_driver.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/driver_file.h"
#include "tools/tamsil/command.h"

namespace tamsil::tool {

namespace {

constexpr std::size_t kDefaultRecord = 255;
constexpr const char* kUsage = "usage: tamsil ascii cat|append|count [--driver STRING] [--record N] FILE\n";

struct Options {
  std::string_view action;
  std::string driverString;
  std::size_t record = kDefaultRecord;
  std::string file;
};

bool parseOptions(Args args, Options& o) {
  if (args.empty()) return false;
  o.action = args[0];
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--driver" && i + 1 < args.size()) {
      o.driverString = std::string(args[++i]);
    } else if (args[i] == "--record" && i + 1 < args.size()) {
      const std::string_view n = args[++i];
      if (std::from_chars(n.data(), n.data() + n.size(), o.record).ec != std::errc() || o.record == 0) return false;
    } else if (o.file.empty() && !args[i].starts_with("--")) {
      o.file = std::string(args[i]);
    } else {
      return false;
    }
  }
  return !o.file.empty() && (o.action == "cat" || o.action == "append" || o.action == "count");
}

int fail(const std::string& file, int code) {
  const std::string& text = currentErrorState().text;
  std::fprintf(stderr, "tamsil ascii: %s: error %d: %s\n", file.c_str(), code, text.substr(0, text.find_last_not_of(' ') + 1).c_str());
  return 1;
}

std::string_view clipped(std::string_view record) {
  const std::size_t end = record.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : record.substr(0, end + 1);
}

// Reads every record; each goes to `each`. The end of the data (33) ends the loop quietly.
template <typename Each>
int readAll(file::DriverFile& f, const std::string& name, Each each) {
  for (;;) {
    const int rc = f.call(file::OpNext);
    if (rc == file::ErrNotAvailable) return 0;
    if (rc != 0) return fail(name, rc);
    each(f.recordText());
  }
}

}  // namespace

int asciiCommand(Args args) {
  Options o;
  if (!parseOptions(args, o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  ThreadContextScope context;
  file::DriverFile f(file::asciiDriver(), o.file, o.record, o.driverString);
  const bool append = o.action == "append";
  const unsigned mode = (append ? file::AccessReadWrite : file::AccessReadOnly) | file::DenyNone;
  if (const int rc = f.call(file::OpOpen, {std::intptr_t(mode)})) return fail(o.file, rc);

  if (o.action == "cat") {
    return readAll(f, o.file, [](std::string_view record) {
      const std::string_view line = clipped(record);
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
    });
  }
  if (o.action == "count") {
    long long count = 0;
    const int rc = readAll(f, o.file, [&](std::string_view) { ++count; });
    if (rc == 0) std::printf("%lld\n", count);
    return rc;
  }
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    f.setRecord(line);
    if (const int rc = f.call(file::OpAdd)) return fail(o.file, rc);
  }
  return 0;
}

}  // namespace tamsil::tool
