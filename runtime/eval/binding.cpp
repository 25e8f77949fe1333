#include "runtime/eval/binding.h"

#include <cstring>

#include "runtime/value/calendar.h"

namespace tamsil {

namespace {

template <class T>
T load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // bound fields need not be aligned
  return v;
}

std::string_view textOf(const BoundVariable& v) {
  const char* p = static_cast<const char*>(v.address);
  switch (v.type) {
    case StorageType::String: return {p, v.size};
    case StorageType::CString: return {p, strnlen(p, v.size)};
    case StorageType::PString: return v.size == 0 ? std::string_view{} : std::string_view{p + 1, std::min<size_t>(uint8_t(p[0]), v.size - 1)};
    default: return {};
  }
}

}  // namespace

ValueClass storageClass(StorageType type) {
  switch (type) {
    case StorageType::Byte:
    case StorageType::Short:
    case StorageType::UShort:
    case StorageType::Date:
    case StorageType::Time:
    case StorageType::Long:
    case StorageType::ULong: return ValueClass::Whole;
    case StorageType::SReal:
    case StorageType::Real: return ValueClass::Real;
    case StorageType::String:
    case StorageType::CString:
    case StorageType::PString: return ValueClass::Text;
  }
  return ValueClass::None;
}

int64_t readWhole(const BoundVariable& v) {
  const void* p = v.address;
  switch (v.type) {
    case StorageType::Byte: return load<uint8_t>(p);
    case StorageType::Short: return load<int16_t>(p);
    case StorageType::UShort: return load<uint16_t>(p);
    case StorageType::Date: return unpackDate(load<uint32_t>(p));
    case StorageType::Time: return unpackTime(load<uint32_t>(p));
    case StorageType::Long: return load<int32_t>(p);
    case StorageType::ULong: return load<uint32_t>(p);
    case StorageType::SReal: return wholeFromReal(load<float>(p));
    case StorageType::Real: return wholeFromReal(load<double>(p));
    default: return wholeFromReal(realFromText(textOf(v)));
  }
}

double readReal(const BoundVariable& v) {
  switch (v.type) {
    case StorageType::SReal: return load<float>(v.address);
    case StorageType::Real: return load<double>(v.address);
    case StorageType::String:
    case StorageType::CString:
    case StorageType::PString: return realFromText(textOf(v));
    default: return static_cast<double>(readWhole(v));
  }
}

Value readVariable(const BoundVariable& v) {
  switch (storageClass(v.type)) {
    case ValueClass::Whole: return Value::ofWhole(readWhole(v));
    case ValueClass::Real: return Value::ofReal(readReal(v));
    case ValueClass::Text: return Value::ofText(std::string(textOf(v)));
    case ValueClass::None: break;
  }
  return {};
}

}  // namespace tamsil
