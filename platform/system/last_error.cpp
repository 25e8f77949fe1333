#include "platform/system/last_error.h"

#include <cerrno>

namespace platform {

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;

struct ErrnoPair {
  int error;
  DWORD win32;
};

constexpr ErrnoPair kErrnoTable[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},      {ENOTDIR, ERROR_PATH_NOT_FOUND},     {ENAMETOOLONG, ERROR_PATH_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENFILE, ERROR_TOO_MANY_OPEN_FILES}, {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},        {EISDIR, ERROR_ACCESS_DENIED},       {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},   {ENODEV, ERROR_INVALID_DRIVE},       {EROFS, ERROR_WRITE_PROTECT},
    {EBUSY, ERROR_SHARING_VIOLATION},    {EAGAIN, ERROR_LOCK_VIOLATION},      {ENOSPC, ERROR_HANDLE_DISK_FULL},
    {ENOTSUP, ERROR_NOT_SUPPORTED},      {EEXIST, ERROR_FILE_EXISTS},         {EINVAL, ERROR_INVALID_PARAMETER},
};
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD win32ErrorFromErrno(int error) {
  for (const ErrnoPair& p : kErrnoTable)
    if (p.error == error) return p.win32;
  return error == 0 ? ERROR_SUCCESS : ERROR_INVALID_FUNCTION;
}

}  // namespace platform
