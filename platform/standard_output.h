#ifndef EXTRACT_STANDARD_OUTPUT_H
#define EXTRACT_STANDARD_OUTPUT_H

namespace d88cut {

// Formatted output to standard output, sent out at once, so that a reader
// of a pipe or a log sees it even if the run is then killed. The first
// failure to write it is kept for FinishStandardOutput.
void PrintNow(const char* format, ...);

// Flushes standard output one last time. If any of it could not be written,
// says "<program>: write error: <reason>" on standard error and returns
// false: output that is lost is a failed run.
bool FinishStandardOutput(const char* program);

}  // namespace d88cut

#endif  // EXTRACT_STANDARD_OUTPUT_H
