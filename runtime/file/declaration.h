// What a file is declared as: driver, names, flags, keys, memos and the record's fields. The
// trace writes it back in declaration syntax and reads field values out of the record buffer
// with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsil::file {

struct FieldDeclaration {
  std::string label;
  int type = 0;                          // data type code (codes.h)
  std::uint32_t offset = 0;              // byte offset in the record
  std::uint32_t size = 0;                // bytes of one element (characters for the string types)
  std::uint32_t digits = 0, places = 0;  // DECIMAL and PDECIMAL
  std::string picture;                   // string types declared with a picture instead of a size
  std::uint32_t dim = 0;                 // elements; 0 or 1 for a single value
  std::string over;                      // label of the field this one lies over
  std::string name;                      // external name
};

struct KeyDeclaration {
  std::string label;
  bool index = false;           // INDEX rather than KEY
  std::vector<int> components;  // field numbers (0-based) in key order
  bool opt = false, nocase = false, primary = false;
  std::string name;
};

struct MemoDeclaration {
  std::string label;
  bool blob = false;
  std::uint32_t size = 0;
  std::string name;
  bool binary = false;
};

struct FileDeclaration {
  std::string label;
  std::string driver;
  std::string driverString;  // the driver's switches: "/CLIP=OFF/TAB=4"
  std::string owner;         // never written to a trace
  std::string name;
  bool create = false, encrypt = false, reclaim = false, thread = false;
  std::vector<KeyDeclaration> keys;
  std::vector<MemoDeclaration> memos;
  std::vector<FieldDeclaration> fields;
};

}  // namespace tamsil::file
