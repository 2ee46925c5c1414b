#include "ui/premultiply.h"

namespace qor {

void premultiplyBgra(std::span<std::uint8_t> pixels, std::size_t width, std::size_t height,
                     std::size_t stride) {
    if (stride < width * 4) {
        return;
    }
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t row = y * stride;
        if (row > pixels.size() || pixels.size() - row < width * 4) {
            return;
        }
        std::uint8_t* p = pixels.data() + row;
        for (std::size_t x = 0; x < width; ++x, p += 4) {
            const std::uint8_t alpha = p[3];
            p[0] = premultiplyChannel(p[0], alpha);
            p[1] = premultiplyChannel(p[1], alpha);
            p[2] = premultiplyChannel(p[2], alpha);
        }
    }
}

} // namespace qor
