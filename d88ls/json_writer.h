#ifndef D88LS_JSON_WRITER_H
#define D88LS_JSON_WRITER_H

// Writes one JSON document on standard output, a value at a time, with
// the commas and indentation between them. Every string goes out as JSON
// requires it escaped, and as valid UTF-8: a byte that is no part of UTF-8
// becomes U+FFFD. `key` names a member of the object being written, and is
// nullptr for an element of an array.

#include <cstdint>

namespace d88ls {

class JsonWriter {
 public:
  void BeginObject(const char* key = nullptr);
  void EndObject();
  void BeginArray(const char* key);
  void EndArray();
  void String(const char* key, const char* value);  // null where value is nullptr
  void Number(const char* key, std::int32_t value);
  void Bool(const char* key, bool value);
  // Ends the document with a line end.
  void Finish();

 private:
  static constexpr int kMaxDepth = 16;
  void Start(const char* key);
  void End(char close);
  int depth_ = 0;
  bool empty_[kMaxDepth] = {};
};

}  // namespace d88ls

#endif  // D88LS_JSON_WRITER_H
