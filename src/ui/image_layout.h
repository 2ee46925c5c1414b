// The memory a decoded skin image takes. A skin is a folder of files anyone can replace: an
// image whose header claims a huge size must be refused before its rows are counted, or the
// stride overflows and the allocation has no bound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qor {

// The largest width and height drawn; the program's own images are a few hundred pixels.
inline constexpr std::uint64_t kImageSideMax = 16384;

struct ImageLayout {
    std::size_t stride = 0; // bytes per row, a multiple of 4 as DIB rows are
    std::size_t bytes = 0;  // stride * height
};

// Nothing for an empty image, a side above kImageSideMax or a pixel size other than 1 to 4
// bytes.
std::optional<ImageLayout> imageLayout(std::uint64_t width, std::uint64_t height,
                                       unsigned bytesPerPixel);

} // namespace qor
