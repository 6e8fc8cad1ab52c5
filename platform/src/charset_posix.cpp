// The character set of the user's locale on POSIX systems, and conversion
// into it through iconv.

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "environment.h"
#include "platform/utf8.h"
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

// The tools' words in the locale's character set, each converted once.
constexpr std::int32_t kMaxConverted = 256;
struct Converted {
  const char* words;
  const char* inSet;
};
Converted converted[kMaxConverted];
std::int32_t convertedCount = 0;
char pool[64 * 1024];
std::size_t poolUsed = 0;

}  // namespace

Charset StreamCharset() {
  if (!charsetKnown) {
    charset = FindStreamCharset();
    charsetKnown = true;
  }
  return charset;
}

const char* WordsForStream(const char* words) {
  const Charset set = StreamCharset();
  if (set == Charset::kUtf8 || set == Charset::kOther) return words;
  if (!converterOpened) {
    converter = OpenConverter(set);
    converterOpened = true;
  }
  if (converter == reinterpret_cast<iconv_t>(-1)) return words;
  // Each text is converted once, into a pool kept for the run.
  for (std::int32_t k = 0; k < convertedCount; ++k) {
    if (converted[k].words == words) return converted[k].inSet;
  }
  if (convertedCount == kMaxConverted) return words;
  char* const start = pool + poolUsed;
  std::size_t room = sizeof pool - poolUsed;
  if (room < 2) return words;
  --room;  // for the NUL
  char* to = start;
  for (const unsigned char* in = reinterpret_cast<const unsigned char*>(words); *in != '\0';) {
    const int length = Utf8Length(in);
    char* from = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
    std::size_t fromLeft = length > 0 ? static_cast<std::size_t>(length) : 1;
    if (length > 1 && iconv(converter, &from, &fromLeft, &to, &room) != static_cast<std::size_t>(-1)) {
      in += length;
      continue;
    }
    if (room == 0) return words;
    *to++ = length == 1 ? static_cast<char>(*in) : '?';  // a character the set lacks
    --room;
    in += length > 0 ? length : 1;
  }
  *to++ = '\0';
  poolUsed += static_cast<std::size_t>(to - start);
  converted[convertedCount++] = {words, start};
  return start;
}

const char* LineForStream(const char* line) { return line; }

}  // namespace platform
