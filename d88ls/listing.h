#ifndef D88LS_LISTING_H
#define D88LS_LISTING_H

// The two forms of d88ls's listing, text for people (TextListing) and one
// JSON document for programs (JsonListing). Each is driven the same way,
// image by image and disk by disk, by ListImage in main.cpp; each says what
// it is told in its own form, on standard output.

#include <cstdint>

#include "d88image/d88image.h"
#include "disk_facts.h"
#include "json_writer.h"

namespace d88ls {

// What a listing says beyond each disk's line: every track (-t), the
// files of its file system (-l).
struct ListingOptions {
  bool tracks = false;
  bool files = false;
};

class TextListing {
 public:
  explicit TextListing(ListingOptions options) : options_(options) {}
  void Begin() {}
  void End() {}
  // An image that did not open; standard error has said why.
  void Unopened(const char*, const char*) {}
  // An opened image, headed by its name where the call lists `several`.
  void BeginImage(const char* path, const D88Image& image, bool several);
  void NoDisks();
  void UnreadableHeader(std::int32_t index);
  // Disks `first` to `last` repeat the disks from `again` on.
  void Repeats(std::int32_t first, std::int32_t last, std::int32_t again);
  // The disk selected in `image`, its tracks (if asked for) and, if it is
  // marked, its blocks.
  void Disk(D88Image& image, std::int32_t index);
  void EndImage(const char* path, bool plausible, const Trailing& trailing);

 private:
  ListingOptions options_;
  bool anyImage_ = false;
};

class JsonListing {
 public:
  explicit JsonListing(ListingOptions options) : options_(options) {}
  void Begin();
  void End();
  void Unopened(const char* path, const char* reason);
  void BeginImage(const char* path, const D88Image& image, bool several);
  void NoDisks() {}
  void UnreadableHeader(std::int32_t index);
  void Repeats(std::int32_t first, std::int32_t last, std::int32_t again);
  void Disk(D88Image& image, std::int32_t index);
  void EndImage(const char* path, bool plausible, const Trailing& trailing);

 private:
  void Tracks(D88Image& image);
  void Blocks(D88Image& image);
  void Files(D88Image& image);
  ListingOptions options_;
  JsonWriter json_;
  // The repeats of the image being listed, said after its disks.
  bool repeats_ = false;
  std::int32_t repeatFirst_ = 0;
  std::int32_t repeatLast_ = 0;
  std::int32_t repeatAgain_ = 0;
};

}  // namespace d88ls

#endif  // D88LS_LISTING_H
