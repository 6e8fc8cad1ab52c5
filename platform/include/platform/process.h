#ifndef PLATFORM_PROCESS_H
#define PLATFORM_PROCESS_H

// What the tools ask of the process they run in, one source file per
// platform (process_posix.cpp, process_windows.cpp).

namespace platform {

// Called first thing in main. A standard descriptor that was closed at start
// is opened on the null device (standard output and error read-only, so that
// writing to them still fails as to a closed one), so that no file the run
// opens takes its number; a write beyond a file-size limit fails as a write
// (EFBIG) instead of ending the process.
void PrepareProcess();

// For a tool whose job is the files it writes: standard output closed by
// its reader (a pipe into `head`, say) makes the next write fail with EPIPE,
// reported as lost output, instead of ending the run between two files. A
// tool whose job is its output keeps the quiet end by SIGPIPE.
void TreatClosedPipeAsWriteError();

// The command line's arguments, program name first, as UTF-8: on Windows
// from the system's UTF-16 command line, so that any file name can be
// given; elsewhere `argv` itself. Sets `*count`.
char** Utf8Arguments(int argc, char** argv, int* count);

}  // namespace platform

#endif  // PLATFORM_PROCESS_H
