# Writes the bytes of INPUT as a C++ source OUTPUT that defines
#   const unsigned char platform::<SYMBOL>[];
#   const std::int32_t platform::<SYMBOL>Size;
#   cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DSYMBOL=NAME -P embed_file.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Made by the build from ${INPUT}; do not edit.\n#include <cstdint>\n"
  "namespace platform {\nextern const unsigned char ${SYMBOL}[];\n"
  "extern const std::int32_t ${SYMBOL}Size;\n"
  "const unsigned char ${SYMBOL}[] = {\n${bytes}0};\n"
  "const std::int32_t ${SYMBOL}Size = ${size};\n}  // namespace platform\n")
