// Shift_JIS through iconv, on POSIX systems and in the browser: CP932 where
// the C library has it (glibc), Shift_JIS where it has only that (musl).

#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "platform/shift_jis.h"

namespace platform {
namespace {

iconv_t OpenDecoder() {
  static const char* const kNames[] = {"CP932", "SHIFT_JIS"};
  for (const char* name : kNames) {
    const iconv_t decoder = iconv_open("UTF-8", name);
    if (decoder != reinterpret_cast<iconv_t>(-1)) return decoder;
  }
  return reinterpret_cast<iconv_t>(-1);
}

// Opened on first use. (Plain flags, not a function-local static, which
// would need the C++ run-time's guards.)
bool decoderOpened = false;
iconv_t decoder;

}  // namespace

int DecodeShiftJis(const unsigned char* bytes, int available, char (&utf8)[8]) {
  if (!decoderOpened) {
    decoder = OpenDecoder();
    decoderOpened = true;
  }
  if (decoder == reinterpret_cast<iconv_t>(-1)) return 0;
  // One byte, or where that is the first of two, both.
  for (int length = 1; length <= 2 && length <= available; ++length) {
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    std::size_t inLeft = static_cast<std::size_t>(length);
    char* out = utf8;
    std::size_t outLeft = sizeof utf8 - 1;
    if (iconv(decoder, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0) {
      *out = '\0';
      return length;
    }
    if (errno != EINVAL) return 0;
  }
  return 0;
}

}  // namespace platform
