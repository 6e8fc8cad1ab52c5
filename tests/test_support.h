#ifndef TESTS_TEST_SUPPORT_H
#define TESTS_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "image_builder/image_builder.h"

namespace d88test {

// A fresh folder that is removed with everything in it at the end of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` as `name` in the folder and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

struct RunResult {
  int status = -1;  // exit status, or -1 if the program did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args` (argv[0] included) in folder `cwd`, capturing
// its standard output and standard error.
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::string& cwd);

}  // namespace d88test

#endif  // TESTS_TEST_SUPPORT_H
