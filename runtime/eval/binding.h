// What BIND makes visible to expressions: a program variable (address, storage type, size) or a
// procedure that yields a value. Expressions keep copies of these, so unbinding a name never
// leaves a compiled tree pointing at a freed symbol.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

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
  String = 18,   // fixed width, blank-padded
  CString = 19,  // zero-terminated within its size
  PString = 20,  // first byte holds the length
};

// The value class a storage type gives: integer types whole, reals real, strings text; None when
// the code is not a storage type that can be bound.
ValueClass storageClass(StorageType type);

struct BoundVariable {
  StorageType type = StorageType::Long;
  const void* address = nullptr;
  size_t size = 0;  // bytes, for the string types
};

// Reads the variable's current value in its class.
Value readVariable(const BoundVariable& v);
double readReal(const BoundVariable& v);
int64_t readWhole(const BoundVariable& v);

struct BoundProcedure {
  ValueClass cls = ValueClass::Text;
  std::function<Value()> call;
};

}  // namespace tamsil
