#include "ui/image_layout.h"

namespace qor {

std::optional<ImageLayout> imageLayout(std::uint64_t width, std::uint64_t height,
                                       unsigned bytesPerPixel) {
    if (width == 0 || height == 0 || width > kImageSideMax || height > kImageSideMax ||
        bytesPerPixel == 0 || bytesPerPixel > 4) {
        return std::nullopt;
    }
    // At most 16384 * 4 + 3 bytes a row and 2^32 bytes in all: no overflow in 64 bits.
    const std::uint64_t stride = (width * bytesPerPixel + 3) & ~std::uint64_t{3};
    const std::uint64_t bytes = stride * height;
    if (bytes > SIZE_MAX) {
        return std::nullopt;
    }
    return ImageLayout{static_cast<std::size_t>(stride), static_cast<std::size_t>(bytes)};
}

} // namespace qor
