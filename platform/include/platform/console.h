#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

// The console window a run may own, one source file per platform
// (console_portable.cpp, console_windows.cpp).

namespace platform {

// On Windows, a console window that belongs to this run alone (opened by a
// double-click on the program, or an image dropped on it, in Explorer)
// closes as the run ends: this says in which folder the files were written,
// with `writtenIn` (a format whose %s is the folder; nullptr where no file
// was written), then `pressEnter`, both in the user's language (Say), and
// waits for Enter, so that the
// messages can be read. Started from a console, a script or with a stream
// redirected, and on every other system, it does nothing.
void KeepWindowOpenIfAlone(const char* writtenIn, const char* pressEnter);

}  // namespace platform

#endif  // PLATFORM_CONSOLE_H
