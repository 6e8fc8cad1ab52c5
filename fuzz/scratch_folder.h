#ifndef FUZZ_SCRATCH_FOLDER_H
#define FUZZ_SCRATCH_FOLDER_H

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

// A folder of the fuzz target's own for the files it writes, made on first
// use in the system's temporary folder and removed with them when the
// process exits. Its name is a plain array, which outlives every exit
// handler.
inline const char* ScratchFolder() {
  static char folder[4096];
  if (folder[0] == '\0') {
    const std::string base = std::filesystem::temp_directory_path().string();
    std::snprintf(folder, sizeof folder, "%s/d88fuzz.XXXXXX", base.c_str());
    if (mkdtemp(folder) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
  }
  return folder;
}

#endif  // FUZZ_SCRATCH_FOLDER_H
