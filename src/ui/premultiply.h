// Alpha premultiplication of 32-bit skin images before they are blended onto a surface.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace qor {

// One colour byte scaled by its pixel's alpha, rounded down (byte * alpha / 255).
constexpr std::uint8_t premultiplyChannel(std::uint8_t value, std::uint8_t alpha) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(value) * alpha / 255u);
}

// Premultiplies rows of 4-byte pixels in blue, green, red, alpha order. `stride` is the distance
// in bytes between the starts of two rows (it may be larger than width * 4, never smaller);
// pixels outside the buffer are never touched. Alpha is kept.
void premultiplyBgra(std::span<std::uint8_t> pixels, std::size_t width, std::size_t height,
                     std::size_t stride);

// Only 32-bit images carry alpha; every other depth is drawn as it is.
constexpr bool needsPremultiply(unsigned bitsPerPixel) {
    return bitsPerPixel == 32;
}

// The depth an image is drawn from: a file with an alpha channel is loaded as 32 bits with
// alpha whatever its own depth (a PNG of 16 bits per channel, a 16-bit ARGB image), as the
// platform's image class does; any other keeps its own depth.
constexpr unsigned loadedBitsPerPixel(unsigned fileBitsPerPixel, bool fileHasAlpha) {
    return fileHasAlpha ? 32 : fileBitsPerPixel;
}

} // namespace qor
