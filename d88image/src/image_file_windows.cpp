// The reader's file operations on Windows. Paths arrive as UTF-8 and go to
// the system as UTF-16, so that every name the file system can hold opens,
// whatever the ANSI code page.

#include <windows.h>

#include "d88image/d88_format.h"
#include "errno_windows.h"
#include "image_file.h"
#include "utf16_windows.h"

namespace d88 {

std::intptr_t OpenRegularFile(const char* path, std::int32_t* size, OpenFailure* failure) {
  *failure = OpenFailure{};
  // On the stack, so that readers in several threads open images at once.
  wchar_t widePath[windows::kMaxWidePath];
  int error = 0;
  if (!windows::Widen(path, widePath, windows::kMaxWidePath, &error)) {
    failure->error = error;
    return -1;
  }
  // FILE_FLAG_BACKUP_SEMANTICS lets a folder open too, so that what stands
  // at the path is told from the open handle: a folder by its attributes, a
  // device (NUL, CON) or a pipe, which open at once, by its type.
  const HANDLE file = CreateFileW(widePath, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure->error = windows::ErrnoFor(GetLastError());
    return -1;
  }
  const DWORD type = GetFileType(file);
  BY_HANDLE_FILE_INFORMATION information;
  if (type == FILE_TYPE_CHAR) {
    failure->kind = FileKind::kDevice;
  } else if (type == FILE_TYPE_PIPE) {
    failure->kind = FileKind::kFifo;
  } else if (type != FILE_TYPE_DISK) {
    failure->kind = FileKind::kOther;
  } else if (!GetFileInformationByHandle(file, &information)) {
    failure->error = windows::ErrnoFor(GetLastError());
  } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    failure->kind = FileKind::kFolder;
  }
  if (failure->error != 0 || failure->kind != FileKind::kNone) {
    CloseHandle(file);
    return -1;
  }
  const ULONGLONG bytes =
      (static_cast<ULONGLONG>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  *size = bytes < static_cast<ULONGLONG>(kInt32Max) ? static_cast<std::int32_t>(bytes) : kInt32Max;
  return reinterpret_cast<std::intptr_t>(file);
}

std::int32_t ReadFileAt(std::intptr_t file, std::int32_t position, std::uint8_t* buffer,
                        std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    // A synchronous handle reads at the offset the OVERLAPPED names.
    const ULONGLONG at = static_cast<ULONGLONG>(position) + static_cast<ULONGLONG>(done);
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD part = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file), buffer + done,
                  static_cast<DWORD>(count - done), &part, &where) ||
        part == 0) {
      break;
    }
    done += static_cast<std::int32_t>(part);
  }
  return done;
}

void CloseFile(std::intptr_t file) { CloseHandle(reinterpret_cast<HANDLE>(file)); }

}  // namespace d88
