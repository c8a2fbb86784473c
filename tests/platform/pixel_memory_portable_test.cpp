#include "platform/gdi/pixel_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(PixelMemory, FrameSizedBlocksAreHugePageAlignedAndTheLastReleasedIsReused) {
    if (!pixel_memory::kMapsLargeRequests) GTEST_SKIP() << "AddressSanitizer keeps the heap";
    const std::size_t frame = 820 * 500 * 4;
    auto* first = static_cast<unsigned char*>(pixel_memory::Allocate(frame));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % pixel_memory::kHugePage, 0u);
    std::memset(first, 0xAB, frame);  // every byte asked for is writable
    pixel_memory::Release(first, frame);

    void* again = pixel_memory::Allocate(frame);
    EXPECT_EQ(again, first);
    void* larger = pixel_memory::Allocate(3 * pixel_memory::kHugePage);
    EXPECT_NE(larger, first);
    std::memset(larger, 0xCD, 3 * pixel_memory::kHugePage);
    pixel_memory::Release(again, frame);
    pixel_memory::Release(larger, 3 * pixel_memory::kHugePage);  // unmaps the kept frame
}

// Icon-sized pieces from one region: consecutive, on cache-line boundaries, none past its end,
// and the region carved afresh only once every piece is back.
TEST(PixelMemory, PiecesAreCarvedInTurnAndTheRegionAgainOnceAllAreBack) {
    alignas(64) static unsigned char region[4096];
    pixel_memory::Carver carver(region, sizeof region);
    unsigned char* first = static_cast<unsigned char*>(carver.Take(1000));
    unsigned char* second = static_cast<unsigned char*>(carver.Take(2000));
    ASSERT_EQ(first, region);
    EXPECT_EQ(second, region + 1024);
    EXPECT_EQ(carver.Take(4096 - 3072 + 1), nullptr);  // one byte more than is left
    EXPECT_EQ(carver.Take(5000), nullptr);
    int outside = 0;
    EXPECT_FALSE(carver.Give(&outside));
    EXPECT_TRUE(carver.Give(first));
    EXPECT_EQ(carver.Take(64), region + 3072);  // a piece still out: carving goes on
    EXPECT_TRUE(carver.Give(second));
    EXPECT_TRUE(carver.Give(region + 3072));
    EXPECT_EQ(carver.Take(4096), region);  // all back: the whole region again
}

}  // namespace
