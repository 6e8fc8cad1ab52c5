// What stands at a path, on Windows. Paths arrive as UTF-8.

#include <windows.h>

#include <cerrno>

#include "errno_windows.h"
#include "file_kind.h"

namespace d88cut {

bool WhyNotARegularFile(const char* path, FileKind* kind, int* error) {
  static wchar_t wide[32768];  // the longest path the system takes
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, 32768) == 0) {
    *error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
    return false;
  }
  const DWORD attributes = GetFileAttributesW(wide);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *kind = FileKind::kFolder;
    return true;
  }
  // Devices (NUL, CON) and pipes open at once and are told by their type.
  const HANDLE file = CreateFileW(wide, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = ErrnoFor(GetLastError());
    return false;
  }
  const DWORD type = GetFileType(file);
  CloseHandle(file);
  if (type == FILE_TYPE_DISK) {
    *error = EIO;  // a file that opens now has changed since
    return false;
  }
  *kind = type == FILE_TYPE_CHAR ? FileKind::kDevice
          : type == FILE_TYPE_PIPE ? FileKind::kFifo
                                   : FileKind::kOther;
  return true;
}

}  // namespace d88cut
