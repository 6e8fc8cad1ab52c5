#ifndef PLATFORM_WINDOWS_ERRNO_WINDOWS_H
#define PLATFORM_WINDOWS_ERRNO_WINDOWS_H

// Win32 error codes as the errno values that name the same reason, so that
// the tools' messages read as on other systems. Only values the C
// run-time's strerror knows are used.

#include <windows.h>

#include <cerrno>

namespace windows {

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

inline int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
    case ERROR_DRIVE_LOCKED:
    case ERROR_CURRENT_DIRECTORY:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:  // the C run-time has no EDQUOT
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_NOT_READY:  // a drive without its medium
    case ERROR_DEV_NOT_EXIST:
      return ENXIO;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return EPIPE;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_BUSY:
      return EBUSY;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return ENOSYS;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NOT_ENOUGH_QUOTA:
      return ENOMEM;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    default:  // the device's own failures: CRC, sector not found, I/O
      return EIO;
  }
}

}  // namespace windows

#endif  // PLATFORM_WINDOWS_ERRNO_WINDOWS_H
