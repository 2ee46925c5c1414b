#include "ui/image_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace qor {
namespace {

TEST(ImageLayout, RowsAreAlignedAndHugeOrEmptyImagesRefused) {
    const struct {
        std::uint64_t width, height;
        unsigned bytesPerPixel;
        std::optional<std::size_t> stride, bytes;
    } cases[] = {
        {1, 1, 3, 4, 4},
        {5, 2, 3, 16, 32},
        {7, 3, 4, 28, 84},
        {16384, 16384, 4, 65536, std::size_t{1} << 30},
        {16385, 1, 4, std::nullopt, std::nullopt},
        {1, 16385, 3, std::nullopt, std::nullopt},
        // Widths whose stride overflowed 32 bits.
        {0x40000000, 1, 4, std::nullopt, std::nullopt},
        {0xFFFFFFFF, 0xFFFFFFFF, 4, std::nullopt, std::nullopt},
        {0, 10, 4, std::nullopt, std::nullopt},
        {10, 0, 4, std::nullopt, std::nullopt},
        {10, 10, 0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto layout = imageLayout(c.width, c.height, c.bytesPerPixel);
        ASSERT_EQ(layout.has_value(), c.stride.has_value()) << c.width << "x" << c.height;
        if (layout) {
            EXPECT_EQ(layout->stride, *c.stride) << c.width;
            EXPECT_EQ(layout->bytes, *c.bytes) << c.width;
        }
    }
}

} // namespace
} // namespace qor
