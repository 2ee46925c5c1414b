#include "ui/premultiply.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qor::premultiplyBgra;
using qor::premultiplyChannel;

TEST(PremultiplyTest, ChannelIsScaledByAlphaRoundedDown) {
    struct Case {
        std::uint8_t value, alpha, expected;
    };
    const Case cases[] = {
        {255, 128, 128}, // the skin's half-transparent red
        {255, 255, 255}, {255, 0, 0},    {0, 200, 0},     {1, 254, 0}, // 254/255 rounds down
        {128, 128, 64},  {200, 100, 78}, {254, 255, 254}, {100, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(premultiplyChannel(c.value, c.alpha), c.expected)
            << int(c.value) << " x " << int(c.alpha);
    }
}

TEST(PremultiplyTest, ColourBytesChangeAlphaStays) {
    // blue, green, red, alpha
    std::vector<std::uint8_t> px = {10, 20, 255, 128, 255, 255, 255, 0, 40, 80, 120, 255};
    premultiplyBgra(px, 3, 1, 12);
    EXPECT_EQ(px, (std::vector<std::uint8_t>{5, 10, 128, 128, 0, 0, 0, 0, 40, 80, 120, 255}));
}

TEST(PremultiplyTest, RowPaddingIsLeftAlone) {
    // two rows of one pixel, each row padded to 8 bytes
    std::vector<std::uint8_t> px = {200, 200, 200, 51, 9, 9, 9, 9, 100, 100, 100, 0, 7, 7, 7, 7};
    premultiplyBgra(px, 1, 2, 8);
    EXPECT_EQ(px, (std::vector<std::uint8_t>{40, 40, 40, 51, 9, 9, 9, 9, 0, 0, 0, 0, 7, 7, 7, 7}));
}

TEST(PremultiplyTest, ShortBufferOrStrideNeverWritesPastTheEnd) {
    std::vector<std::uint8_t> px(12, 255);
    for (auto& b : px) {
        b = 100;
    }
    px[3] = 0;
    px[7] = 0;
    px[11] = 0;
    // claims three rows of one pixel but only holds two full rows plus half a pixel
    std::vector<std::uint8_t> small(px.begin(), px.begin() + 10);
    premultiplyBgra(small, 1, 3, 4);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(small[4], 0);
    EXPECT_EQ(small[8], 100); // the incomplete third pixel stays as it was
    // a stride smaller than a row is refused outright
    std::vector<std::uint8_t> rows = px;
    premultiplyBgra(rows, 2, 1, 4);
    EXPECT_EQ(rows, px);
}

TEST(PremultiplyTest, OnlyThirtyTwoBitImagesArePremultiplied) {
    EXPECT_TRUE(qor::needsPremultiply(32));
    for (unsigned bpp : {1u, 4u, 8u, 16u, 24u, 48u, 64u}) {
        EXPECT_FALSE(qor::needsPremultiply(bpp)) << bpp;
    }
}

TEST(PremultiplyTest, EveryFileWithAlphaIsBlended) {
    struct Case {
        unsigned fileBits;
        bool fileHasAlpha;
        bool blended;
    };
    const Case cases[] = {
        {32, true, true},   // 8 bits per channel with alpha: the skins' own images
        {64, true, true},   // 16 bits per channel with alpha
        {16, true, true},   // 1-bit alpha, 5 bits per colour
        {24, false, false}, // no alpha: drawn unchanged
        {48, false, false}, {8, false, false}, {1, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qor::needsPremultiply(qor::loadedBitsPerPixel(c.fileBits, c.fileHasAlpha)),
                  c.blended)
            << c.fileBits << (c.fileHasAlpha ? " with alpha" : "");
    }
}

} // namespace
