// The error log: where the error reporter appends one line per message it shows. ErrorLog is the
// interface the reporter calls (close, open, write, each answering 0 or SevInform on failure);
// ErrorLogFile writes the text file "FWKError.Log" in the working directory through the ASCII
// driver, one record of one line per message.
//
// Opens and closes are counted: the file is opened by the first OpenLog and closed by the last
// CloseLog, so nested users share one open file. The count has its own lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tamsil::file {
class DriverFile;
}

namespace tamsil::framework {

class ErrorLog {
 public:
  virtual ~ErrorLog() = default;
  // With `force` the file is closed (opened) whatever the count says.
  virtual std::uint8_t CloseLog(bool force) = 0;
  virtual std::uint8_t OpenLog(bool force) = 0;
  virtual std::uint8_t WriteLine(std::string_view line) = 0;
};

class ErrorLogFile : public ErrorLog {
 public:
  static constexpr std::size_t kLineSize = 1024;  // the record's one field TXT
  static constexpr const char* kDefaultName = "FWKError.Log";

  explicit ErrorLogFile(std::string name = kDefaultName);
  ~ErrorLogFile() override;

  std::uint8_t CloseLog(bool force) override;
  std::uint8_t OpenLog(bool force) override;
  // Appends the line (cut to kLineSize characters); a line holding a line break is written up to
  // it, since one record is one line.
  std::uint8_t WriteLine(std::string_view line) override;

  std::int32_t usage() const;
  const std::string& name() const { return name_; }

 private:
  mutable std::mutex CRITSECT;
  std::int32_t USAGE = 0;
  std::string name_;
  std::unique_ptr<file::DriverFile> file_;
};

}  // namespace tamsil::framework
