// The codes every file driver shares: operation codes (what a driver is asked to do) and data
// type codes (what a record field holds), with the names traces and declarations use.
#pragma once

#include <string_view>

namespace tamsil::file {

// The operations whose record (or key) contents a detailed trace lists.
enum Operation : int {
  OpAdd = 1,
  OpAppend = 4,
  OpDelete = 11,
  OpGetFileKey = 15,
  OpGetFilePtr = 16,
  OpGetKeyPtr = 17,
  OpNext = 24,
  OpPut = 30,
  OpPrevious = 31,
  OpSetKeyKey = 45,
  OpSetKeyKeyPtr = 47,
  OpAddFileLen = 51,
  OpGetFilePtrLen = 53,
  OpPutFilePtr = 54,
  OpPutFilePtrLen = 55,
  OpAppendLen = 59,
  OpRegetFile = 66,
  OpRegetKey = 67,
};
inline constexpr int kLastOperation = 104;

enum DataType : int {
  TypeEnd = 0,
  TypeByte = 1,
  TypeShort = 2,
  TypeUShort = 3,
  TypeDate = 4,
  TypeTime = 5,
  TypeLong = 6,
  TypeULong = 7,
  TypeSReal = 8,
  TypeReal = 9,
  TypeDecimal = 10,
  TypePDecimal = 11,
  TypeBFloat4 = 13,
  TypeBFloat8 = 14,
  TypeString = 18,
  TypeCString = 19,
  TypePString = 20,
  TypeMemo = 21,
  TypeGroup = 22,
  TypeBlob = 27,
};
inline constexpr int kLastDataType = 30;

// "ADD", "SETkeykey" ...; "(0)" and "(101)" for the two unnamed codes; empty outside 0..104.
std::string_view operationName(int code);
// "END" ... "STDNUM"; "UNKNOWN" outside 0..30.
std::string_view dataTypeName(int code);

// Whether a detailed trace lists the record after this operation.
bool listsRecord(int operation);

}  // namespace tamsil::file
