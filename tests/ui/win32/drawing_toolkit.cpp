// The drawing toolkit against real GDI and GDI+: premultiplied alpha, unchanged 24-bit images,
// missing images, and the off-screen surface's single block transfer.
#include "base/message_sink.h"
#include "ui/win32/drawing.h"
#include "ui/win32/mem_dc.h"
#include "ui/win32/scene_painter.h"
#include "window/main_window.h"

#include <objidl.h>
// objidl.h first: GDI+ needs the COM stream interfaces.
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

CLSID pngEncoder() {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            return codecs[i].Clsid;
        }
    }
    return CLSID{};
}

std::filesystem::path tempDir() {
    auto dir = std::filesystem::temp_directory_path() / "qor-drawing-toolkit";
    std::filesystem::create_directories(dir);
    return dir;
}

// Writes a width x height PNG filled with one ARGB colour in the given pixel format.
std::wstring writePng(const wchar_t* name, int width, int height, Gdiplus::PixelFormat format,
                      Gdiplus::Color colour) {
    const std::wstring path = (tempDir() / name).wstring();
    Gdiplus::Bitmap bitmap(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.SetPixel(x, y, colour);
        }
    }
    const CLSID encoder = pngEncoder();
    EXPECT_EQ(bitmap.Save(path.c_str(), &encoder, nullptr), Gdiplus::Ok);
    return path;
}

// A 32-bit top-down DIB surface filled with one colour, read back pixel by pixel.
class Surface {
public:
    Surface(int width, int height, COLORREF fill) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
        GdiFlush();
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // red, green, blue of one pixel
    std::array<int, 3> rgb(int x, int y) const {
        GdiFlush();
        const std::uint8_t* p = bits_ + (y * width_ + x) * 4;
        return {p[2], p[1], p[0]};
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    std::uint8_t* bits_ = nullptr;
};

using Rgb = std::array<int, 3>;

class RecordingSink : public qor::MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.emplace_back(std::u16string(text) + u"|" + std::u16string(caption));
    }
    std::vector<std::u16string> shown;
};

TEST(DrawingToolkitTest, HalfTransparentRedIsDrawnPremultiplied) {
    const auto path =
        writePng(L"half-red.png", 4, 4, PixelFormat32bppARGB, Gdiplus::Color(128, 255, 0, 0));
    Surface surface(8, 8, RGB(0, 0, 0));
    ASSERT_TRUE(qor::drawPng(surface.dc(), path, 2, 2));
    EXPECT_EQ(surface.rgb(2, 2), (Rgb{128, 0, 0})); // 255 * 128 / 255 over black
    EXPECT_EQ(surface.rgb(5, 5), (Rgb{128, 0, 0}));
    EXPECT_EQ(surface.rgb(1, 1), (Rgb{0, 0, 0})); // outside the image: untouched
    EXPECT_EQ(surface.rgb(6, 6), (Rgb{0, 0, 0}));

    // Over white the premultiplied source is blended, not painted over: 128 + 255 * 127 / 255.
    Surface white(4, 4, RGB(255, 255, 255));
    ASSERT_TRUE(qor::drawPng(white.dc(), path, 0, 0));
    const Rgb px = white.rgb(1, 1);
    EXPECT_EQ(px[0], 255);
    EXPECT_NEAR(px[1], 127, 1);
    EXPECT_NEAR(px[2], 127, 1);
}

TEST(DrawingToolkitTest, TransparentAndOpaquePixels) {
    const auto clear =
        writePng(L"clear.png", 2, 2, PixelFormat32bppARGB, Gdiplus::Color(0, 255, 255, 255));
    const auto solid =
        writePng(L"solid.png", 2, 2, PixelFormat32bppARGB, Gdiplus::Color(255, 12, 34, 56));
    Surface surface(4, 2, RGB(7, 8, 9));
    ASSERT_TRUE(qor::drawPng(surface.dc(), clear, 0, 0));
    ASSERT_TRUE(qor::drawPng(surface.dc(), solid, 2, 0));
    EXPECT_EQ(surface.rgb(0, 0), (Rgb{7, 8, 9}));
    EXPECT_EQ(surface.rgb(3, 1), (Rgb{12, 34, 56}));
}

TEST(DrawingToolkitTest, TwentyFourBitImageIsDrawnUnchanged) {
    const auto path =
        writePng(L"rgb24.png", 3, 3, PixelFormat24bppRGB, Gdiplus::Color(255, 10, 200, 30));
    Surface surface(5, 5, RGB(0, 0, 255));
    ASSERT_TRUE(qor::drawPng(surface.dc(), path, 1, 1));
    for (int y = 1; y <= 3; ++y) {
        for (int x = 1; x <= 3; ++x) {
            EXPECT_EQ(surface.rgb(x, y), (Rgb{10, 200, 30})) << x << "," << y;
        }
    }
    EXPECT_EQ(surface.rgb(0, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(surface.rgb(4, 4), (Rgb{0, 0, 255}));
}

TEST(DrawingToolkitTest, MissingImageDrawsNothing) {
    const std::wstring missing = (tempDir() / L"no-such-image.png").wstring();
    Surface surface(4, 4, RGB(1, 2, 3));
    EXPECT_FALSE(qor::drawPng(surface.dc(), missing, 0, 0));
    EXPECT_FALSE(qor::drawPng(nullptr, missing, 0, 0));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(surface.rgb(x, y), (Rgb{1, 2, 3}));
        }
    }
    SIZE size{};
    EXPECT_FALSE(qor::pngSize(missing, size));
    EXPECT_EQ(qor::loadPngBitmap(missing), nullptr);

    // The skinned dialogs' variant says so; the main window's stays silent.
    RecordingSink sink;
    EXPECT_FALSE(qor::drawPngOrReport(surface.dc(), missing, 0, 0, sink, u"Qor"));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], u"LoadPng---Load image failed.|Qor");
    const auto ok = writePng(L"ok.png", 1, 1, PixelFormat24bppRGB, Gdiplus::Color(255, 1, 1, 1));
    EXPECT_TRUE(qor::drawPngOrReport(surface.dc(), ok, 0, 0, sink, u"Qor"));
    EXPECT_EQ(sink.shown.size(), 1u);
}

TEST(DrawingToolkitTest, ImagesWiderThanTheLimitAreNotLoadable) {
    const struct {
        const wchar_t* name;
        int width;
        Gdiplus::PixelFormat format;
        bool loadable;
    } cases[] = {
        {L"wide-24.png", 16384, PixelFormat24bppRGB, true},
        {L"wider-24.png", 16385, PixelFormat24bppRGB, false},
        {L"wider-32.png", 16385, PixelFormat32bppARGB, false},
    };
    for (const auto& c : cases) {
        const auto path = writePng(c.name, c.width, 1, c.format, Gdiplus::Color(255, 9, 9, 9));
        Surface surface(2, 2, RGB(1, 2, 3));
        EXPECT_EQ(qor::drawPng(surface.dc(), path, 0, 0), c.loadable) << c.width;
        EXPECT_EQ(surface.rgb(0, 0), (c.loadable ? Rgb{9, 9, 9} : Rgb{1, 2, 3})) << c.width;
        SIZE size{};
        EXPECT_EQ(qor::pngSize(path, size), c.loadable) << c.width;
        HBITMAP bitmap = qor::loadPngBitmap(path);
        EXPECT_EQ(bitmap != nullptr, c.loadable) << c.width;
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
    }
}

TEST(DrawingToolkitTest, ImageIsReloadedAtEveryDraw) {
    const auto path = (tempDir() / L"changing.png").wstring();
    Surface surface(1, 1, RGB(0, 0, 0));
    writePng(L"changing.png", 1, 1, PixelFormat24bppRGB, Gdiplus::Color(255, 50, 60, 70));
    ASSERT_TRUE(qor::drawPng(surface.dc(), path, 0, 0));
    EXPECT_EQ(surface.rgb(0, 0), (Rgb{50, 60, 70}));
    writePng(L"changing.png", 1, 1, PixelFormat24bppRGB, Gdiplus::Color(255, 90, 80, 70));
    ASSERT_TRUE(qor::drawPng(surface.dc(), path, 0, 0));
    EXPECT_EQ(surface.rgb(0, 0), (Rgb{90, 80, 70}));
    SIZE size{};
    ASSERT_TRUE(qor::pngSize(path, size));
    EXPECT_EQ(size.cx, 1);
    EXPECT_EQ(size.cy, 1);
}

TEST(DrawingToolkitTest, MemDcReachesTargetOnlyWhenDestroyed) {
    Surface target(10, 10, RGB(0, 0, 0));
    const auto path =
        writePng(L"blue.png", 2, 2, PixelFormat24bppRGB, Gdiplus::Color(255, 0, 0, 255));
    {
        RECT area{4, 4, 8, 8};
        qor::CMemDC mem(target.dc(), area);
        ASSERT_FALSE(mem.printing());
        ASSERT_NE(mem.dc(), target.dc());
        RECT fill{4, 4, 8, 8}; // target coordinates
        FillRect(mem, &fill, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ASSERT_TRUE(qor::drawPng(mem, path, 6, 6));
        EXPECT_EQ(target.rgb(5, 5), (Rgb{0, 0, 0})); // nothing shows before the transfer
    }
    EXPECT_EQ(target.rgb(4, 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(target.rgb(6, 6), (Rgb{0, 0, 255}));
    EXPECT_EQ(target.rgb(7, 7), (Rgb{0, 0, 255}));
    EXPECT_EQ(target.rgb(3, 3), (Rgb{0, 0, 0})); // outside the rectangle
    EXPECT_EQ(target.rgb(8, 8), (Rgb{0, 0, 0}));
}

TEST(DrawingToolkitTest, FontHasTheRequestedMetrics) {
    HFONT font = qor::createFont(18, 700, L"Tahoma");
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 18);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_EQ(lf.lfPitchAndFamily, 0x20);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"Tahoma");
    DeleteObject(font);
}

} // namespace

#ifdef QOR_SKINS_DIR
namespace {

class NoSession final : public qor::SettingsFlow {
public:
    bool connected() const override { return false; }
    bool confirm() override { return false; }
    void cancel() override {}
    void firstBasicDrawing() override {}
    void rereadKeyRows() override {}
};

class NoMessages final : public qor::MessageSink {
public:
    void show(std::u16string_view, std::u16string_view) override {}
};

// The Basic page drawn from the shipped skin, the way the window draws it.
class FramePaintTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 880;
    static constexpr int kHeight = 660;
    static constexpr qor::Rect kClient{0, 0, kWidth, kHeight};

    qor::PaintContext context(const std::wstring& skin) {
        qor::PaintContext c;
        c.skinFolder = skin;
        c.titleFont = titleFont_;
        c.textFont = textFont_;
        c.textColour = RGB(214, 228, 240);
        return c;
    }
    qor::Scene basicPage() {
        window_.showPage(qor::Page::Basic);
        return window_.scene();
    }
    void TearDown() override {
        DeleteObject(titleFont_);
        DeleteObject(textFont_);
    }

    qor::StringTable strings_{qor::Language::English};
    qor::SettingsRecord record_{};
    qor::KeyRowTexts rows_;
    std::uint8_t sensorType_ = 0;
    NoSession session_;
    NoMessages messages_;
    qor::NoKeyDialogs dialogs_;
    qor::MainWindow window_{record_, rows_, sensorType_, strings_,
                            qor::MainWindow::Ports{session_, messages_, dialogs_, {}, {}}};
    HFONT titleFont_ = qor::createFont(18, 700, L"Tahoma");
    HFONT textFont_ = qor::createFont(14, 400, L"Arial");
    const std::wstring skin_ = std::wstring(QOR_SKINS_DIR) + L"/Obsidian";
};

TEST_F(FramePaintTest, FullDrawingOfTheBasicPage) {
    SIZE size{};
    ASSERT_TRUE(qor::pngSize(skin_ + L"/main.png", size)) << "the skin is missing";
    EXPECT_EQ(size.cx, kWidth);
    EXPECT_EQ(size.cy, kHeight);
    HBITMAP background = qor::loadPngBitmap(skin_ + L"/main.png");
    ASSERT_NE(background, nullptr);
    qor::PaintContext f = context(skin_);
    f.background = background;
    f.backgroundSize = size;
    const qor::Scene scene = basicPage();

    Surface window(kWidth, kHeight, RGB(0, 0, 0));
    const RECT client{0, 0, kWidth, kHeight};
    constexpr int kRounds = 20;
    LARGE_INTEGER frequency{}, begin{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < kRounds; ++i) {
        qor::CMemDC mem(window.dc(), client);
        qor::paintScene(mem, scene, f, kClient);
    }
    QueryPerformanceCounter(&end);
    const double ms =
        double(end.QuadPart - begin.QuadPart) * 1000.0 / double(frequency.QuadPart) / kRounds;
    std::printf("one full drawing of the Basic page: %.2f ms\n", ms);
    // Reported, not judged: a loaded test machine says nothing about a user's.
    RecordProperty("full_drawing_ms", std::to_string(ms));

    // The title sits on a bright plate (black text must read on it); the close button is drawn.
    const Rgb plate = window.rgb(300, 62);
    EXPECT_GT(plate[0] + plate[1] + plate[2], 300);
    const Rgb close = window.rgb(851, 14);
    const Rgb beside = window.rgb(847, 14);
    EXPECT_NE(close, beside);
    DeleteObject(background);
}

TEST_F(FramePaintTest, MissingImagesDrawNothingInTheMainWindow) {
    HBITMAP background = qor::loadPngBitmap(skin_ + L"/main.png");
    ASSERT_NE(background, nullptr);
    qor::PaintContext f = context(skin_);
    f.background = background;
    f.backgroundSize = {kWidth, kHeight};
    Surface alone(kWidth, kHeight, RGB(0, 0, 0));
    qor::paintScene(alone.dc(), qor::Scene{}, f, kClient); // the background alone

    // A skin folder without images: every image is skipped, nothing else changes.
    f.skinFolder = std::wstring(QOR_SKINS_DIR) + L"/no-such-skin";
    qor::Scene images;
    for (const auto& d : basicPage().drawings) {
        if (std::holds_alternative<qor::SceneImage>(d)) {
            images.drawings.push_back(d);
        }
    }
    ASSERT_FALSE(images.drawings.empty());
    Surface missing(kWidth, kHeight, RGB(0, 0, 0));
    qor::paintScene(missing.dc(), images, f, kClient);
    for (int y = 0; y < kHeight; y += 7) {
        for (int x = 0; x < kWidth; x += 7) {
            ASSERT_EQ(missing.rgb(x, y), alone.rgb(x, y)) << x << "," << y;
        }
    }
    DeleteObject(background);
}

} // namespace
#endif
