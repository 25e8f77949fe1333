#include "framework/error/error_log.h"

#include <algorithm>

#include "framework/window/framework_codes.h"
#include "runtime/file/ascii_driver.h"
#include "runtime/file/ascii_file.h"
#include "runtime/file/driver_file.h"

namespace tamsil::framework {

namespace {
// Read and write, others may read: the log is only ever appended to.
constexpr std::intptr_t kOpenReadWriteDenyWrite = 0x22;
}  // namespace

ErrorLogFile::ErrorLogFile(std::string name) : name_(std::move(name)) {}

ErrorLogFile::~ErrorLogFile() = default;

std::uint8_t ErrorLogFile::OpenLog(bool force) {
  std::lock_guard lock(CRITSECT);
  if (USAGE == 0 || force) {
    if (!file_) {
      file_ = std::make_unique<file::DriverFile>(file::asciiDriver(), name_, kLineSize);
      file_->declaration().label = "FWK";
      file_->declaration().create = true;
      file_->declaration().fields.front().label = "TXT";
    }
    // Only a missing file is created: creating empties the file, and a log that cannot be opened
    // for another reason (locked, no access) keeps what it holds.
    int rc = file_->call(file::OpOpen, {kOpenReadWriteDenyWrite});
    if (rc == file::ErrFileNotFound && file_->call(file::OpCreate) == 0) rc = file_->call(file::OpOpen, {kOpenReadWriteDenyWrite});
    if (rc != 0) return SevInform;
  }
  ++USAGE;
  return SevNone;
}

std::uint8_t ErrorLogFile::WriteLine(std::string_view line) {
  std::lock_guard lock(CRITSECT);
  if (USAGE == 0 || !file_) return SevInform;
  line = line.substr(0, std::min(line.find_first_of("\r\n"), kLineSize));
  file_->setRecord(line);
  return file_->call(file::OpAdd) == 0 ? SevNone : SevInform;
}

std::uint8_t ErrorLogFile::CloseLog(bool force) {
  std::lock_guard lock(CRITSECT);
  if (USAGE == 1 || force) {
    if (file_ && file_->call(file::OpClose) != 0) return SevInform;
    USAGE = 1;
  }
  if (USAGE > 0) --USAGE;
  return SevNone;
}

std::int32_t ErrorLogFile::usage() const {
  std::lock_guard lock(CRITSECT);
  return USAGE;
}

}  // namespace tamsil::framework
