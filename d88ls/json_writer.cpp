#include "json_writer.h"

#include "platform/tool_output.h"

namespace d88ls {
namespace {

// The document is UTF-8, whatever the character set of the locale.
constexpr auto Print = platform::PrintUtf8;

// The length of the UTF-8 sequence that starts at `text`, or 0 where none
// does: the lead byte, its continuation bytes, and no overlong form, no
// surrogate and nothing past U+10FFFF.
int Utf8Length(const unsigned char* text) {
  const unsigned char lead = text[0];
  int length = 0;
  std::int32_t least = 0;
  std::int32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
    code = lead & 0x07;
  } else {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    if ((text[k] & 0xC0) != 0x80) return 0;  // a NUL ends the text here too
    code = (code << 6) | (text[k] & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void PrintString(const char* value) {
  Print("\"");
  const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
  while (*p != '\0') {
    const int length = Utf8Length(p);
    if (length == 0) {
      Print("\\ufffd");
      ++p;
    } else if (*p == '"' || *p == '\\') {
      Print("\\%c", *p++);
    } else if (*p < 0x20) {
      Print("\\u%04x", *p++);
    } else {
      Print("%.*s", length, reinterpret_cast<const char*>(p));
      p += length;
    }
  }
  Print("\"");
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
