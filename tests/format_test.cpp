#include <cstdint>

#include <gtest/gtest.h>

#include "d88image/d88_format.h"

namespace {

TEST(LittleEndianTest, DecodesFromSingleBytesAtAnyAlignment) {
  const std::uint8_t bytes[] = {0xAA, 0x34, 0x12, 0x78, 0x56, 0xFF, 0xFF};
  EXPECT_EQ(d88::DecodeU16Le(bytes + 1), 0x1234);
  EXPECT_EQ(d88::DecodeU16Le(bytes + 5), 65535);
  EXPECT_EQ(d88::DecodeU32Le(bytes + 1), 0x56781234);
}

TEST(LittleEndianTest, TopBitSetDecodesAsNegative) {
  const std::uint8_t allOnes[] = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::uint8_t topOnly[] = {0x00, 0x00, 0x00, 0x80};
  const std::uint8_t below[] = {0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_EQ(d88::DecodeU32Le(allOnes), -1);
  EXPECT_EQ(d88::DecodeU32Le(topOnly), INT32_MIN);
  EXPECT_EQ(d88::DecodeU32Le(below), INT32_MAX);
}

}  // namespace
