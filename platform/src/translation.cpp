#include "platform/translation.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "console_text.h"
#include "user_locale.h"

namespace platform {

// The Japanese catalogue: po/ja.po as msgfmt compiles it (a GNU .mo file),
// embedded by the build.
extern const unsigned char kJapaneseCatalogue[];
extern const std::int32_t kJapaneseCatalogueSize;

namespace {

int spoken = -1;  // -1 not asked yet, 0 English, 1 Japanese

// A GNU .mo file: a header of 32-bit words in the byte order of its magic
// number, then two tables of (length, offset) pairs, the original texts
// sorted, and the translations in the same order.
class MoFile {
 public:
  // Reads the header of the file `data` holds.
  void Open(const unsigned char* data, std::int32_t size) {
    data_ = data;
    size_ = size;
    const std::uint32_t magic = Word(0);
    bigEndian_ = magic == 0xde120495u;
    if (size_ < 28 || (magic != 0x950412deu && !bigEndian_)) return;
    count_ = static_cast<std::int32_t>(Word(8) < 0x10000u ? Word(8) : 0);
    originals_ = Word(12);
    translations_ = Word(16);
    // Both tables within the file.
    const std::uint64_t tables = 8u * static_cast<std::uint64_t>(count_);
    const std::uint64_t bytes = static_cast<std::uint64_t>(size_);
    if (originals_ + tables > bytes || translations_ + tables > bytes) count_ = 0;
  }

  // The translation of `text`, or nullptr: by halving the sorted originals.
  const char* Find(const char* text) const {
    std::int32_t low = 0;
    std::int32_t high = count_;
    while (low < high) {
      const std::int32_t middle = low + (high - low) / 2;
      const char* original = String(originals_, middle);
      if (original == nullptr) return nullptr;
      const int order = std::strcmp(text, original);
      if (order == 0) return String(translations_, middle);
      if (order < 0) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    return nullptr;
  }

 private:
  std::uint32_t Word(std::uint32_t at) const {
    if (size_ < 4 || at > static_cast<std::uint32_t>(size_) - 4) return 0;
    const unsigned char* p = data_ + at;
    return bigEndian_ ? (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                            (std::uint32_t{p[2]} << 8) | p[3]
                      : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) |
                            (std::uint32_t{p[1]} << 8) | p[0];
  }
  // Entry `index` of a table: a text that ends with its NUL inside the file.
  const char* String(std::uint32_t table, std::int32_t index) const {
    const std::uint32_t length = Word(table + 8u * static_cast<std::uint32_t>(index));
    const std::uint32_t offset = Word(table + 8u * static_cast<std::uint32_t>(index) + 4);
    if (offset >= static_cast<std::uint32_t>(size_) ||
        length >= static_cast<std::uint32_t>(size_) - offset || data_[offset + length] != 0) {
      return nullptr;
    }
    return reinterpret_cast<const char*>(data_ + offset);
  }

  const unsigned char* data_ = nullptr;
  std::int32_t size_ = 0;
  bool bigEndian_ = false;
  std::int32_t count_ = 0;
  std::uint32_t originals_ = 0;
  std::uint32_t translations_ = 0;
};

// Read on first use. (Plain flags, not a function-local static, which would
// need the C++ run-time's guards.)
MoFile catalogue;
bool catalogueOpened = false;

bool CharsetCarriesJapanese(Charset charset) {
  return charset == Charset::kUtf8 || charset == Charset::kShiftJis || charset == Charset::kEucJp;
}

}  // namespace

bool SaysJapanese() {
  if (spoken < 0) {
    spoken = UserReadsJapanese() && (CharsetCarriesJapanese(StreamCharset()) ||
                                     (ShowsText(stdout) && ShowsText(stderr)));
  }
  return spoken == 1;
}

const char* Say(const char* english) {
  if (english == nullptr || english[0] == '\0' || !SaysJapanese()) return english;
  if (!catalogueOpened) {
    catalogue.Open(kJapaneseCatalogue, kJapaneseCatalogueSize);
    catalogueOpened = true;
  }
  const char* words = catalogue.Find(english);
  return words != nullptr && words[0] != '\0' ? WordsForStream(words) : english;
}

void SayInEnglish() { spoken = 0; }

}  // namespace platform
