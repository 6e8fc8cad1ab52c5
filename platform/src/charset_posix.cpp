// The character set of the user's locale on POSIX systems, and conversion
// into it through iconv.

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "environment_posix.h"
#include "user_locale.h"

namespace platform {
namespace {

// Whether `text` is `name`, whatever the case and the '-' and '_' in it
// ("UTF-8", "utf8"), up to its end or one of `ends`.
bool Names(const char* text, const char* name, const char* ends) {
  for (;; ++text) {
    while (*text == '-' || *text == '_') ++text;
    if (*text == '\0' || std::strchr(ends, *text) != nullptr) return *name == '\0';
    if (std::tolower(static_cast<unsigned char>(*text)) != *name++) return false;
  }
}

Charset CharsetNamed(const char* name, const char* ends) {
  static const struct {
    const char* name;
    Charset charset;
  } kNames[] = {{"utf8", Charset::kUtf8},        {"sjis", Charset::kShiftJis},
                {"shiftjis", Charset::kShiftJis}, {"cp932", Charset::kShiftJis},
                {"windows31j", Charset::kShiftJis}, {"pck", Charset::kShiftJis},
                {"eucjp", Charset::kEucJp},       {"ujis", Charset::kEucJp}};
  for (const auto& known : kNames) {
    if (Names(name, known.name, ends)) return known.charset;
  }
  return Charset::kOther;
}

// As the C library knows the user's locale for characters, or where that
// locale is not installed here (common over ssh and in containers), as its
// name says ("ja_JP.eucJP"). The program's own locale is set only to ask,
// and put back at once.
Charset FindStreamCharset() {
  char before[64] = "C";
  const char* current = setlocale(LC_CTYPE, nullptr);
  if (current != nullptr && std::strlen(current) < sizeof before) std::strcpy(before, current);
  if (setlocale(LC_CTYPE, "") != nullptr) {
    const Charset charset = CharsetNamed(nl_langinfo(CODESET), "");
    setlocale(LC_CTYPE, before);
    return charset;
  }
  static const char* const kVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  const char* codeset = std::strchr(FirstSet(kVariables), '.');
  return codeset == nullptr ? Charset::kOther : CharsetNamed(codeset + 1, "@");
}

// The converter's own name for a character set; the first that it knows.
iconv_t OpenConverter(Charset charset) {
  static const char* const kShiftJis[] = {"CP932", "SHIFT_JIS", nullptr};
  static const char* const kEucJp[] = {"EUC-JP", nullptr};
  const char* const* names = charset == Charset::kShiftJis ? kShiftJis : kEucJp;
  for (; *names != nullptr; ++names) {
    const iconv_t converter = iconv_open(*names, "UTF-8");
    if (converter != reinterpret_cast<iconv_t>(-1)) return converter;
  }
  return reinterpret_cast<iconv_t>(-1);
}

// Asked once: the locale does not change during a run. (Plain flags, not
// function-local statics, which would need the C++ run-time's guards.)
bool charsetKnown = false;
Charset charset = Charset::kOther;
bool converterOpened = false;
iconv_t converter;

}  // namespace

Charset StreamCharset() {
  if (!charsetKnown) {
    charset = FindStreamCharset();
    charsetKnown = true;
  }
  return charset;
}

bool ConvertForStream(const char* text, char* out, int capacity) {
  if (capacity <= 0) return false;
  if (StreamCharset() == Charset::kUtf8) {
    const std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(capacity)) return false;
    std::memcpy(out, text, length + 1);
    return true;
  }
  if (charset == Charset::kOther) return false;
  if (!converterOpened) {
    converter = OpenConverter(charset);
    converterOpened = true;
  }
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(text);
  std::size_t inLeft = std::strlen(text);
  char* at = out;
  std::size_t outLeft = static_cast<std::size_t>(capacity) - 1;
  if (iconv(converter, &in, &inLeft, &at, &outLeft) == static_cast<std::size_t>(-1)) return false;
  *at = '\0';
  return true;
}

}  // namespace platform
