// Packet buffers: growth past the size where a packet gets a mapping of its own, and reuse.
#include "data/engine/ds_packet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace engine {
namespace {

// The byte a test writes at position i.
std::uint8_t Pattern(std::size_t i) {
  return static_cast<std::uint8_t>(i * 131 + 7);
}

TEST(DSPacket, KeepsItsBytesWhileGrowingAndReadsNewBytesAsZero) {
  // Steps small and large, across the 2 MiB where the buffer moves into a mapping.
  for (std::size_t step : {std::size_t{51}, std::size_t{4096}, std::size_t{3} << 20}) {
    SCOPED_TRACE(step);
    DSPacket p;
    std::size_t written = 0;
    while (written < (std::size_t{9} << 20)) {
      std::uint8_t* fresh = p.Grow(step);
      for (std::size_t i = 0; i < step; ++i) {
        ASSERT_EQ(fresh[i], 0) << "at " << written + i;
        fresh[i] = Pattern(written + i);
      }
      written += step;
    }
    DSPacket moved = std::move(p);
    EXPECT_TRUE(p.empty());
    ASSERT_EQ(moved.size(), written);
    for (std::size_t i = 0; i < written; ++i) ASSERT_EQ(moved.data()[i], Pattern(i)) << i;
  }
}

TEST(DSPacket, KeepsItsBytesWhenReservedFarPastItsFirstRegion) {
  // Past the address space a large packet first gets on Windows, so its pages must move; the
  // untouched reserve costs no memory.
  DSPacket p;
  const std::size_t written = std::size_t{3} << 20;
  std::uint8_t* bytes = p.Grow(written);
  for (std::size_t i = 0; i < written; ++i) bytes[i] = Pattern(i);
  p.Reserve(std::size_t{3} << 29);
  ASSERT_EQ(p.size(), written);
  for (std::size_t i = 0; i < written; ++i) ASSERT_EQ(p.data()[i], Pattern(i)) << i;
  const std::uint8_t* fresh = p.Grow(std::size_t{1} << 20);
  for (std::size_t i = 0; i < (std::size_t{1} << 20); ++i) ASSERT_EQ(fresh[i], 0) << i;
}

TEST(DSPacket, BytesGivenBackAreZeroWhenGrownAgain) {
  for (std::size_t size : {std::size_t{100}, std::size_t{5} << 20}) {
    SCOPED_TRACE(size);
    DSPacket p;
    std::uint8_t* bytes = p.Grow(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = 0xFF;
    p.Truncate(size / 2);
    bytes = p.Grow(size);
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(bytes[i], 0) << i;
    p.Clear();
    p.Append("ab", 2);
    EXPECT_EQ(p.size(), 2u);
    EXPECT_EQ(p.data()[0], 'a');
    EXPECT_EQ(p.Clone().bytes()[1], 'b');
  }
}

}  // namespace
}  // namespace engine
