#include "json_writer.h"

#include <cstddef>
#include <cstdio>

#include "platform/tool_output.h"
#include "platform/utf8.h"

namespace d88ls {
namespace {

// The document is UTF-8, whatever the character set of the locale.
constexpr auto Print = platform::PrintUtf8;

// A string as JSON writes it, escaped into a buffer printed whenever it
// fills, so that a long one (a path) costs few writes.
void PrintString(const char* value) {
  char buffer[4096];
  std::size_t used = 0;
  const auto put = [&buffer, &used](const char* part, std::size_t length) {
    if (used + length >= sizeof buffer) {
      Print("%.*s", static_cast<int>(used), buffer);
      used = 0;
    }
    for (std::size_t k = 0; k < length; ++k) buffer[used++] = part[k];
  };
  put("\"", 1);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
  while (*p != '\0') {
    const int length = platform::Utf8Length(p);
    char escape[8];
    if (length == 0) {
      put("\\ufffd", 6);
      ++p;
    } else if (*p == '"' || *p == '\\' || *p < 0x20) {
      const int written = *p < 0x20 ? std::snprintf(escape, sizeof escape, "\\u%04x", *p)
                                    : std::snprintf(escape, sizeof escape, "\\%c", *p);
      put(escape, static_cast<std::size_t>(written));
      ++p;
    } else {
      put(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
      p += length;
    }
  }
  put("\"", 1);
  Print("%.*s", static_cast<int>(used), buffer);
}

}  // namespace

void JsonWriter::Start(const char* key) {
  if (depth_ > 0) {
    Print(empty_[depth_ - 1] ? "\n" : ",\n");
    empty_[depth_ - 1] = false;
    Print("%*s", 2 * depth_, "");
  }
  if (key != nullptr) {
    PrintString(key);
    Print(": ");
  }
}

void JsonWriter::End(char close) {
  --depth_;
  if (!empty_[depth_]) Print("\n%*s", 2 * depth_, "");
  Print("%c", close);
}

void JsonWriter::BeginObject(const char* key) {
  Start(key);
  Print("{");
  if (depth_ < kMaxDepth) empty_[depth_++] = true;
}

void JsonWriter::EndObject() { End('}'); }

void JsonWriter::BeginArray(const char* key) {
  Start(key);
  Print("[");
  if (depth_ < kMaxDepth) empty_[depth_++] = true;
}

void JsonWriter::EndArray() { End(']'); }

void JsonWriter::String(const char* key, const char* value) {
  Start(key);
  if (value == nullptr) {
    Print("null");
  } else {
    PrintString(value);
  }
}

void JsonWriter::Number(const char* key, std::int32_t value) {
  Start(key);
  Print("%d", static_cast<int>(value));
}

void JsonWriter::Bool(const char* key, bool value) {
  Start(key);
  Print(value ? "true" : "false");
}

void JsonWriter::Finish() { Print("\n"); }

}  // namespace d88ls
