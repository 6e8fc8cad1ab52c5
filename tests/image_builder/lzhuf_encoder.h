#ifndef TESTS_IMAGE_BUILDER_LZHUF_ENCODER_H
#define TESTS_IMAGE_BUILDER_LZHUF_ENCODER_H

// Compresses bytes as Teledisk's advanced compression stores them (LZSS in
// a 4,096-byte window that starts as spaces, matches of 3 to 60 bytes, an
// adaptive Huffman code for literals and lengths, a fixed one for the
// distance's upper 6 bits), for the tests' TD0 images.

#include "image_builder/image_builder.h"

namespace d88test {

Bytes LzhufEncode(const Bytes& input);

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_LZHUF_ENCODER_H
