#ifndef D88CONV_OUTPUT_KIND_H
#define D88CONV_OUTPUT_KIND_H

namespace d88conv {

// What an output's name asks for, by its extension (of any case).
enum class OutputKind { kUnknown, kD88, kRaw, kHfe };
OutputKind OutputKindOf(const char* path);

}  // namespace d88conv

#endif  // D88CONV_OUTPUT_KIND_H
