#include "runtime/file/driver_file.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/error_state.h"

namespace tamsil::file {

namespace {
constexpr int kOpDestroy = 104;
constexpr int kOpSend = 60;
}  // namespace

DriverFile::DriverFile(const DriverDescriptor& driver, std::string name, std::size_t recordSize, std::string driverString)
    : driver_(driver), record_(recordSize, std::byte(' ')) {
  declaration_.label = "TEXT";
  declaration_.driver = std::string(driver.shortName);
  declaration_.driverString = std::move(driverString);
  declaration_.name = std::move(name);
  FieldDeclaration line;
  line.label = "Line";
  line.type = TypeString;
  line.size = std::uint32_t(recordSize);
  declaration_.fields = {line};
  control_.declaration = &declaration_;
  control_.record = record_;
}

DriverFile::~DriverFile() { call(kOpDestroy); }

int DriverFile::call(int operation, std::initializer_list<std::intptr_t> args) {
  dispatch(driver_, operation, control_, std::span<const std::intptr_t>(args.begin(), args.size()));
  return currentErrorState().code;
}

int DriverFile::send(std::string_view command, std::string* answer) {
  const int rc = call(kOpSend, {reinterpret_cast<std::intptr_t>(&command)});
  if (answer) *answer = control_.answerText;
  return rc;
}

std::string_view DriverFile::recordText() const { return {reinterpret_cast<const char*>(control_.record.data()), control_.record.size()}; }

void DriverFile::setRecord(std::string_view text) {
  const std::size_t n = std::min(text.size(), control_.record.size());
  if (n) std::memcpy(control_.record.data(), text.data(), n);
  std::fill(control_.record.begin() + std::ptrdiff_t(n), control_.record.end(), std::byte(' '));
}

}  // namespace tamsil::file
