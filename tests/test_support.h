#ifndef TESTS_TEST_SUPPORT_H
#define TESTS_TEST_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "image_builder/expected_blocks.h"
#include "image_builder/image_builder.h"

namespace d88test {

// d88cut's Japanese messages, byte for byte in Shift_JIS, and as text.
constexpr char kOpenFailure[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n";
constexpr char kRecognised[] =
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x81\x75\x8f\xe3\x81\x76\x82\xf0"
    "\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
constexpr char kOpenFailureText[] = "ファイルをオープンできません.\n";
constexpr char kRecognisedText[] = "ディスク「上」を認識しました.\n";

// The names of the files the blocks are cut to, sorted as FilesIn sorts.
std::vector<std::string> AllBlockFiles();

// "cutting ... NAME" lines for `names`, in that order; the recognition
// message followed by every block's line, as d88cut prints for a marked disk.
std::string CuttingLines(const std::vector<std::string>& names);
std::string AllBlocksOutput();

// The standard disk of the image builder, carrying the marker.
Disk MarkedDisk(const std::string& name = "TEST DISK");

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

// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& dir);

struct RunResult {
  int status = -1;  // exit status, or -1 if the program did not exit normally
  // What the program wrote. Where text streams end lines in CR LF, each CR
  // LF reads as LF here and a bare LF as "<bare LF>\n", so that a program
  // that forgets the platform's line ends fails the comparison.
  std::string out;
  std::string err;
};

// Runs `program` with `args` (argv[0] included; UTF-8) in folder `cwd`,
// capturing its standard output and standard error (process_runner_*.cpp).
// Its language and character set are C unless `environment` ("NAME=value"
// each) says otherwise.
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::string& cwd, const std::vector<std::string>& environment = {});

// The same for one of the built tools, started through the build's emulator
// where it has one; the tool sees args[0] as its name either way.
RunResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                  const std::string& cwd, const std::vector<std::string>& environment = {});

// The words that start a built tool from a command line of one's own (a
// shell's "$@", timeout, setpriv): the emulator's, if any, then the tool.
std::vector<std::string> ToolCommand(const std::string& tool);

// Whether the built tools run under an emulator.
bool UnderEmulator();

// This process's number.
int ProcessId();

// A line of UTF-8 as a tool whose locale's character set is UTF-8 writes it
// to a pipe: unchanged, or on Windows, where the ANSI code page is the
// pipe's character set whatever the locale, in that code page with '?' for
// what it lacks. PipesCarryUtf8 says whether nothing changes.
std::string AsPiped(const std::string& utf8);
bool PipesCarryUtf8();

// The path of the host's program `name` (mcopy, as a second reader), where
// the tests run on a POSIX system that has it in /usr/bin; "" otherwise.
std::string HostProgram(const std::string& name);

// The process's limit on open files, where the system has one: returns the
// limit it replaces, or -1 (and changes nothing) where there is none.
int SetOpenFileLimit(int limit);

}  // namespace d88test

#endif  // TESTS_TEST_SUPPORT_H
