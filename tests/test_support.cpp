#include "test_support.h"

#include "test_config.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace d88test {

TempDir::TempDir() {
  // create_directory reports whether it made the folder, so a name that is
  // taken is never shared.
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("d88test." + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
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

std::vector<std::string> AllBlockFiles() {
  std::vector<std::string> names = BlockNames();
  std::sort(names.begin(), names.end());
  return names;
}

std::string CuttingLines(const std::vector<std::string>& names) {
  std::string lines;
  for (const std::string& name : names) lines += "cutting ... " + name + "\n";
  return lines;
}

std::string AllBlocksOutput() { return kRecognised + CuttingLines(BlockNames()); }

Disk MarkedDisk(const std::string& name) {
  Disk disk = MakeStandardDisk(name);
  SetMarker(&disk);
  return disk;
}

bool UnderEmulator() { return kEmulator[0] != nullptr; }

std::vector<std::string> ToolCommand(const std::string& tool) {
  std::vector<std::string> command;
  for (const char* const* word = kEmulator; *word != nullptr; ++word) command.push_back(*word);
  command.push_back(tool);
  return command;
}

RunResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                  const std::string& cwd, const std::vector<std::string>& environment) {
  if (!UnderEmulator()) return Run(tool, args, cwd, environment);
  std::vector<std::string> command = ToolCommand(tool);
  // qemu-user: -0 sets the name the program sees, before the program.
  command.insert(command.end() - 1, {"-0", args.at(0)});
  command.insert(command.end(), args.begin() + 1, args.end());
  return Run(command.front(), command, cwd, environment);
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace d88test
