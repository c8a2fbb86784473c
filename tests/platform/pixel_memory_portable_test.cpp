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

}  // namespace
