#include "runtime/file/codes.h"

#include <algorithm>
#include <array>

namespace tamsil::file {

namespace {

constexpr std::array<std::string_view, kLastOperation + 1> kOperations = {
    "(0)",
    "ADD",
    "BOF",
    "BUILDfile",
    "APPEND",
    "BUILDdyn",
    "BUILDkey",
    "CLOSE",
    "COMMIT",
    "COPY",
    "CREATE",
    "DELETE",
    "DUPLICATE",
    "EMPTY",
    "EOF",
    "GETfilekey",
    "GETfileptr",
    "GETkeyptr",
    "HOLDfile",
    "HOLDfilesec",
    "LOCKfile",
    "LOCKfilesec",
    "LOGOUT",
    "NAME",
    "NEXT",
    "OPEN",
    "PACK",
    "POINTERfile",
    "POINTERkey",
    "FLUSH",
    "PUT",
    "PREVIOUS",
    "RECORDSfile",
    "RECORDSkey",
    "BUILDdynfilter",
    "STARTRAN",
    "RELEASE",
    "REMOVE",
    "RENAME",
    "ENDTRAN",
    "ROLLBACK",
    "SETfile",
    "SETfilekey",
    "SETfileptr",
    "SETkey",
    "SETkeykey",
    "SETkeyptr",
    "SETkeykeyptr",
    "SHARE",
    "SKIP",
    "UNLOCK",
    "ADDfilelen",
    "BYTES",
    "GETfileptrlen",
    "PUTfileptr",
    "PUTfileptrlen",
    "STREAM",
    "DUPLICATEkey",
    "WATCH",
    "APPENDlen",
    "SEND",
    "POSITIONfile",
    "POSITIONkey",
    "RESETfile",
    "RESETkey",
    "NOMEMO",
    "REGETfile",
    "REGETkey",
    "NULL",
    "SETNULL",
    "SETNONULL",
    "SET_PROPERTY",
    "GET_PROPERTY",
    "QUERY_KEY",
    "QUERY_VIEW",
    "BLOB_YIELD",
    "BLOB_TAKE",
    "BLOB_SIZE",
    "BLOB_SET_PROP",
    "BLOB_GET_PROP",
    "BUFFER",
    "SETview",
    "CLEAR",
    "RESETviewfile",
    "BUILDevent",
    "SETPROPERTYkey",
    "GETPROPERTYkey",
    "Internal87",
    "DO_PROPERTY",
    "DOPROPERTYkey",
    "DOPROPERTYblob",
    "Internal91",
    "INVIEW",
    "ENDVIEW",
    "Internal94",
    "COUNTRECORDS",
    "GETNULLS",
    "SETNULLS",
    "GETSTATE",
    "RESTORESTATE",
    "Internal100",
    "(101)",
    "FREESTATE",
    "SQLCALLBACK",
    "DESTROY",
};

constexpr std::array<std::string_view, kLastDataType + 1> kDataTypes = {
    "END",      "BYTE",  "SHORT",   "USHORT",  "DATE",  "TIME",    "LONG",     "ULONG",   "SREAL",   "REAL",    "DECIMAL",
    "PDECIMAL", "DUM1",  "BFLOAT4", "BFLOAT8", "ANY",   "TEMPUFO", "(17)",     "STRING",  "CSTRING", "PSTRING", "MEMO",
    "GROUP",    "CLASS", "ARRAY",   "FIELD",   "QUEUE", "BLOB",    "STACKSTR", "PICTURE", "STDNUM",
};

constexpr int kRecordOperations[] = {
    OpAdd,       OpAddFileLen, OpAppend,   OpAppendLen, OpDelete,     OpGetFileKey,    OpGetFilePtr, OpGetFilePtrLen,
    OpGetKeyPtr, OpNext,       OpPrevious, OpPut,       OpPutFilePtr, OpPutFilePtrLen, OpRegetFile,  OpRegetKey,
};

}  // namespace

std::string_view operationName(int code) { return code >= 0 && code <= kLastOperation ? kOperations[std::size_t(code)] : std::string_view(); }

std::string_view dataTypeName(int code) { return code >= 0 && code <= kLastDataType ? kDataTypes[std::size_t(code)] : "UNKNOWN"; }

bool listsRecord(int operation) {
  return std::find(std::begin(kRecordOperations), std::end(kRecordOperations), operation) != std::end(kRecordOperations);
}

}  // namespace tamsil::file
