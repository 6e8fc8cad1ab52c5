#ifndef FILE_SYSTEM_FILE_SYSTEM_H
#define FILE_SYSTEM_FILE_SYSTEM_H

// The files on a disk: which file system the selected disk of a reader
// carries, told from what the disk holds (never from the image's name),
// its files with their names as the disk holds them, and their bytes.
// Results, not messages: it never prints and never writes a file.
//
// Limits: kMaxFiles files a disk (folders walked, volume labels left out),
// paths of up to kMaxPath bytes (folders joined by '/'), kMaxProblems
// problems; a listing that reaches one of them says so.

#include <cstdint>

#include "d88image/d88image.h"

namespace file_system {

enum class Type {
  kNone,
  kN88Basic,
  kFBasic,
  kHuBasic,
  kMzBasic,
  kFat12,
  kHuman68k,
  kCpm,
};

// The file system's name as d88ls gives it: "n88-basic", "fat12", ...
const char* TypeName(Type type);

// What a file is, as its file system says.
enum class FileType {
  kFile,         // a file, of a file system that says no more
  kFolder,       // a folder, whose files are listed beneath it
  kBasic,        // a BASIC program as the interpreter stores it
  kAscii,        // text
  kMachineCode,  // a program in machine code, or binary data
  kData,         // data a BASIC program writes
};
const char* FileTypeName(FileType type);  // "file", "folder", "basic", ...

// Attributes, one bit each.
enum Attribute : std::uint32_t {
  kReadOnly = 1u << 0,
  kHidden = 1u << 1,
  kSystem = 1u << 2,
  kArchive = 1u << 3,
  kVerify = 1u << 4,         // Hu-BASIC: written with verification
  kProtectedSave = 1u << 5,  // N88-BASIC: saved with ,P
  kRandomAccess = 1u << 6,   // F-BASIC: a file of random access
  kPassword = 1u << 7,       // Hu-BASIC: a password is set
};
constexpr std::int32_t kAttributeCount = 8;
// The name of attribute bit `k` (0 to kAttributeCount - 1): "read-only", ...
const char* AttributeName(std::int32_t k);

constexpr std::int32_t kMaxFiles = 1024;
constexpr std::int32_t kMaxPath = 256;
constexpr std::int32_t kMaxProblems = 64;

struct FileEntry {
  // The path as the disk holds its bytes: folders, then the name, joined
  // by '/'; a name and its extension by '.' where the file system keeps
  // them apart. Not NUL-terminated.
  std::uint8_t path[kMaxPath];
  std::int32_t pathLength = 0;
  // Where the name begins: the bytes before it are folders, each ended by
  // '/'; the name itself may hold any byte, '/' too.
  std::int32_t nameOffset = 0;
  // Bytes: the file's length where its file system records one, or all its
  // allocation holds where it records only sectors or records. A recorded
  // length of 2^31 or more is listed as 2^31 - 1 (and said to be more than
  // its chain holds).
  std::int32_t size = 0;
  FileType type = FileType::kFile;
  std::uint32_t attributes = 0;
  // The first cluster, block or track of its data, as its file system
  // counts them; -1 for none.
  std::int32_t start = -1;
};

// What is wrong with a file, or with the file system.
struct Problem {
  enum class Kind {
    kChainLoops,      // the file's chain comes back to a cluster it passed
    kChainPastEnd,    // the chain names a cluster past the disk's last
    kChainEndsEarly,  // the chain ends at a free or reserved cluster
    kSizeBeyondChain, // the recorded size is more than the chain holds
    kBadName,         // the name has bytes no name may have
    kSectorMissing,   // a sector the file system needs is not there
    kFolderLoops,     // a folder holds itself, or one above it
    kTooManyFiles,    // more files than a listing holds
    kPathTooLong,     // a path longer than a listing holds
  };
  Kind kind = Kind::kChainLoops;
  std::int32_t file = -1;  // the file's index in the list, or -1
  std::int32_t value = 0;  // the cluster, or the sector's track, as it applies
};

struct FileList {
  Type type = Type::kNone;
  std::int32_t fileCount = 0;
  FileEntry files[kMaxFiles];
  std::int32_t problemCount = 0;  // may exceed kMaxProblems; the first are kept
  Problem problems[kMaxProblems];
};

// Lists the files of the disk selected in `image`; false, with type kNone
// and no files, where no file system is recognised. Each directory and FAT
// sector is read once.
bool ListFiles(D88Image& image, FileList* list);

// Reads file `index` of `list` (made from the same disk) into `buffer`, at
// most `capacity` bytes; returns the bytes read, or -1 where the file's
// data cannot be read whole (a sector missing, a chain that loops or runs
// past the disk), with nothing promised of the buffer.
std::int32_t ReadFile(D88Image& image, const FileList& list, std::int32_t index,
                      std::uint8_t* buffer, std::int32_t capacity);

}  // namespace file_system

#endif  // FILE_SYSTEM_FILE_SYSTEM_H
