#include "platform/arguments.h"

#include <cstring>

#include "platform/console.h"
#include "platform/tool_output.h"
#include "platform/translation.h"

namespace platform {

bool ReadDiskCommandLine(int argc, char** argv, int minNames, int maxNames,
                         std::int32_t diskLimit, const DiskToolWords& words,
                         DiskCommandLine* line, int* status) {
  const char* program = argc > 0 && argv[0] ? argv[0] : words.program;
  bool optionsEnded = false;
  bool wrong = false;
  for (int i = 1; i < argc && !wrong; ++i) {
    char* argument = argv[i];
    if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
      if (line->names == maxNames) wrong = true;
      else argv[++line->names] = argument;
    } else if (std::strcmp(argument, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(argument, "--disk") == 0) {
      if (i + 1 == argc) {
        ReportError(nullptr, "%s", Say(words.noDiskNumber));
        wrong = true;
      } else if (!ParseDiskNumber(argv[i + 1], diskLimit, &line->disk)) {
        ReportError(nullptr, words.badDiskNumber, argv[i + 1]);
        wrong = true;
      }
      ++i;
    } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
      Print(words.usage, program);
      Print("%s", Say(words.help));
      *status = FinishRun(words.writeError);
      return false;
    } else if (std::strcmp(argument, "--version") == 0) {
      Print(words.version, words.release);
      *status = FinishRun(words.writeError);
      return false;
    } else {
      ReportError(nullptr, words.unknownOption, argument);
      wrong = true;
    }
  }
  if (wrong || line->names < minNames) {
    PrintError(words.usage, program);
    KeepWindowOpenIfAlone(nullptr, words.pressEnter);
    *status = 1;
    return false;
  }
  return true;
}

}  // namespace platform
