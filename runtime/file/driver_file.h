// A file as a program holds it: its declaration, its record buffer and the control block a driver
// receives, with one call per operation through dispatch() (so every call is traced and clears
// the error state first). Tools and tests use it to drive a driver without a compiled program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file/declaration.h"
#include "runtime/file/driver.h"

namespace tamsil::file {

class DriverFile {
 public:
  // A file whose record is one STRING field "Line" of recordSize characters.
  DriverFile(const DriverDescriptor& driver, std::string name, std::size_t recordSize, std::string driverString = {});
  // DESTROY: the driver frees its state.
  ~DriverFile();
  DriverFile(const DriverFile&) = delete;
  DriverFile& operator=(const DriverFile&) = delete;

  // Runs one operation; the error code it posted (0 on success).
  int call(int operation, std::initializer_list<std::intptr_t> args = {});
  // SEND: the error code; the text the driver answered goes to answer.
  int send(std::string_view command, std::string* answer = nullptr);

  FileDeclaration& declaration() { return declaration_; }
  FileControl& control() { return control_; }
  std::int64_t answer() const { return control_.answer; }

  // The record as text, and the record set from text (cut or padded with blanks).
  std::string_view recordText() const;
  void setRecord(std::string_view text);

 private:
  const DriverDescriptor& driver_;
  FileDeclaration declaration_;
  std::vector<std::byte> record_;
  FileControl control_;
};

}  // namespace tamsil::file
