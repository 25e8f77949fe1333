// What BIND makes visible to expressions: a program variable (address, storage type, size), an
// array of such variables, or a procedure that yields a value from its arguments. Expressions keep copies of these, so unbinding a name never
// leaves a compiled tree pointing at a freed symbol.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/eval/value.h"

namespace tamsil {

// Storage types a variable can be bound with; the numbers are the runtime's data type codes.
enum class StorageType : uint8_t {
  Byte = 1,
  Short = 2,
  UShort = 3,
  Date = 4,  // packed date: year << 16 | month << 8 | day
  Time = 5,  // packed time: hours << 24 | minutes << 16 | seconds << 8 | hundredths
  Long = 6,
  ULong = 7,
  SReal = 8,
  Real = 9,
  // Packed decimal digits, two to a byte; `places` of them after the point. DECIMAL keeps the sign
  // in the first half-byte (0 positive, anything else negative), PDECIMAL in the last (0xB or 0xD
  // negative, anything else positive).
  Decimal = 10,
  PDecimal = 11,
  String = 18,   // fixed width, blank-padded
  CString = 19,  // zero-terminated within its size
  PString = 20,  // first byte holds the length
};

// The value class a storage type gives: integer types whole, reals real, strings text; None when
// the code is not a storage type that can be bound.
ValueClass storageClass(StorageType type);

struct BoundVariable {
  StorageType type = StorageType::Long;
  const void* address = nullptr;  // of the first element of an array
  size_t size = 0;                // bytes, for the string and decimal types
  unsigned places = 0;            // decimal types: digits after the point
  size_t count = 1;               // elements: more than one for an array, which takes a subscript
};

// Whether the variable can be bound: a type with a value class, an address, a size for the types
// that need one, no more places than a decimal has digits, at least one element.
bool validVariable(const BoundVariable& v);
// Bytes of one element.
size_t elementSize(const BoundVariable& v);
// The n-th element (from 1) of an array as a variable of its own; nothing out of range.
std::optional<BoundVariable> element(const BoundVariable& v, int64_t n);

// Reads the variable's current value in its class.
Value readVariable(const BoundVariable& v);
double readReal(const BoundVariable& v);
int64_t readWhole(const BoundVariable& v);
// A decimal variable's value as text: a sign when negative, the digits, the point when it has
// places ("-12.50").
std::string decimalText(const BoundVariable& v);
// Writes a number given as text into a decimal variable, rounded half away from zero to its
// places; a value too large for its digits keeps only the digits that fit.
void storeDecimal(const BoundVariable& v, std::string_view text);

// A bound procedure: called with its arguments' values (an omitted one as such) each time an
// expression uses it; written `name` without arguments, or `name(a, b)` with minArgs to maxArgs
// of them.
struct BoundProcedure {
  ValueClass cls = ValueClass::Text;
  std::function<Value(const std::vector<Value>& arguments)> call;
  uint8_t minArgs = 0, maxArgs = 0;
};

}  // namespace tamsil
