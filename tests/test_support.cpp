#include "test_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace d88test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "d88test.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Folders made read-only by a test must be writable again to be removed.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string file = *this / name;
  WriteFile(file, bytes);
  return file;
}

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::string& cwd) {
  TempDir capture;
  const std::string outPath = capture / "out";
  const std::string errPath = capture / "err";
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) {
      _exit(127);
    }
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int wstatus = 0;
  if (waitpid(child, &wstatus, 0) != child) throw std::runtime_error("waitpid failed");
  RunResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  const Bytes out = ReadFile(outPath);
  const Bytes err = ReadFile(errPath);
  result.out.assign(out.begin(), out.end());
  result.err.assign(err.begin(), err.end());
  return result;
}

}  // namespace d88test
