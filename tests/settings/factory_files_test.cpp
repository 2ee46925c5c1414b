// The files Qor.exe ships with: the factory config.bin, str.ini, record.ini and the skins, read
// the way the program reads them at start.
#include "settings/config_file.h"
#include "settings/file_system_std.h"
#include "settings/ini_engine.h"
#include "ui/str_ini.h"
#include "ui/strings.h"
#include "window/frame_areas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
const fs::path kResources = fs::path(QOR_SOURCE_DIR) / "resources";

class NoMessages : public qor::MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view) override {
        ADD_FAILURE() << "unexpected message of " << text.size() << " characters";
    }
};

TEST(FactoryFilesTest, ConfigHoldsTheDefaultAssignmentAndFourDistinctStages) {
    qor::StdFileSystem files;
    NoMessages messages;
    qor::SettingsState state;
    const auto path = (kResources / "config.bin").u16string();
    const auto result = qor::loadConfig(files, messages, path, state);
    ASSERT_EQ(result.outcome, qor::LoadResult::Outcome::Read);
    EXPECT_EQ(result.recordBytesRead, qor::kSettingsRecordSize);
    EXPECT_EQ(state.firstRunFlag, 0); // never saved: the first start writes the row texts

    const qor::SettingsRecord& r = state.working;
    for (const qor::ButtonTable* set : {&r.modeA, &r.modeB}) {
        const std::vector<int> functions(set->function.begin(), set->function.begin() + 8);
        EXPECT_EQ(functions, (std::vector<int>{0, 1, 2, 3, 4, 6, 6, 15}));
    }
    for (const auto* dpi : {&r.dpiSwitchA, &r.dpiSwitchB}) {
        EXPECT_EQ((*dpi)[5], 1); // DPI +
        EXPECT_EQ((*dpi)[6], 2); // DPI -
    }
    EXPECT_EQ(r.activeMode, 0);
    for (std::size_t k = 0; k < qor::kDpiStages; ++k) {
        EXPECT_EQ(r.dpiStageOn[k], 1) << k;
        EXPECT_LT(r.dpiLevel[k], 8) << "every sensor's list has the level of stage " << k;
        for (std::size_t j = 0; j < k; ++j) {
            EXPECT_NE(r.dpiLevel[k], r.dpiLevel[j]);
            EXPECT_FALSE(r.dpiColor[3 * k] == r.dpiColor[3 * j] &&
                         r.dpiColor[3 * k + 1] == r.dpiColor[3 * j + 1] &&
                         r.dpiColor[3 * k + 2] == r.dpiColor[3 * j + 2])
                << "stages " << j << " and " << k << " share a colour";
        }
    }
    EXPECT_GE(r.ledMode, 1);
    EXPECT_LE(r.ledMode, 3);
    EXPECT_LT(r.ledBrightness, 10);
    EXPECT_LT(r.ledBreathSpeed, 5);
    EXPECT_LT(r.ledNeonSpeed, 30);
    EXPECT_TRUE(r.ledEffect[1] == 1 || r.ledEffect[1] == 2);
    EXPECT_TRUE(r.ledEffect[2] == 2 || r.ledEffect[2] == 3);
    for (auto p : {r.mouseSpeedPosition, r.doubleClickPosition}) {
        EXPECT_GE(p, 1);
        EXPECT_LE(p, 11);
    }
}

TEST(FactoryFilesTest, StrIniHoldsTheDefaultRowTextsInEveryLanguage) {
    const fs::path file = kResources / "str.ini";
    std::ifstream in(file, std::ios::binary);
    char bom[2] = {};
    in.read(bom, 2);
    EXPECT_EQ(static_cast<unsigned char>(bom[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bom[1]), 0xFE);

    qor::IniEngine ini;
    for (auto language : {qor::Language::English, qor::Language::SimplifiedChinese,
                          qor::Language::TraditionalChinese}) {
        const qor::StringTable strings(language);
        const auto values = qor::readStrIni(ini, file, strings.strIniSection());
        qor::KeyRowTexts expected = values.rows;
        qor::setFirstRunKeyRowTexts(expected, strings);
        EXPECT_EQ(values.rows, expected) << "section of language " << int(language);
        EXPECT_EQ(values.rows.setA[0], strings.text(qor::StringId::LeftClick));
        EXPECT_EQ(values.rows.setB[5], u"DPI +");
        EXPECT_EQ(values.rows.setB[7], strings.text(qor::StringId::KeyOff));

        const qor::TextColour colour = qor::textColour(values);
        EXPECT_GT(colour.red + colour.green + colour.blue, 500) << "reads on a dark skin";
        ASSERT_FALSE(values.skinName.empty());
        EXPECT_TRUE(fs::is_directory(kResources / "Skins" / fs::path(values.skinName)));
    }
    // record.ini ships empty: no macros
    EXPECT_EQ(fs::file_size(kResources / "record.ini"), 0u);
}

// Width and height from a PNG's header.
bool pngSize(const fs::path& file, int& width, int& height) {
    std::ifstream in(file, std::ios::binary);
    unsigned char head[24] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head)) {
        return false;
    }
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!std::equal(signature, signature + 8, head)) {
        return false;
    }
    auto be32 = [&](int at) {
        return int(head[at]) << 24 | int(head[at + 1]) << 16 | int(head[at + 2]) << 8 |
               int(head[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return true;
}

TEST(FactoryFilesTest, EverySkinHoldsEveryImageSizedToItsArea) {
    struct Image {
        const char* name;
        int width, height; // 0: at least the main window's areas
    };
    const qor::Rect button = qor::frameRect(qor::FrameArea::Ok);
    const qor::Rect small = qor::frameRect(qor::FrameArea::Close);
    const qor::Rect page = qor::frameRect(qor::FrameArea::PreviousPage);
    const Image images[] = {
        {"main.png", 0, 0},
        {"BasicSet2.png", 0, 0},
        {"AdvancedSet2.png", 0, 0},
        {"button-normal.png", button.width(), button.height()},
        {"button-over.png", button.width(), button.height()},
        {"button-close-normal.png", small.width(), small.height()},
        {"button-close-over.png", small.width(), small.height()},
        {"button-min-normal.png", small.width(), small.height()},
        {"button-min-over.png", small.width(), small.height()},
        {"button-Skins-normal.png", small.width(), small.height()},
        {"button-Skins-over.png", small.width(), small.height()},
        {"button-PrePage-normal.png", page.width(), page.height()},
        {"button-PrePage-over.png", page.width(), page.height()},
        {"button-NextPage-normal.png", page.width(), page.height()},
        {"button-NextPage-over.png", page.width(), page.height()},
        {"DropdownBox-normal.png", 463 - 252, 207 - 186}, // key rows
        {"DropdownBox-over.png", 463 - 252, 207 - 186},
        {"dropdownbox.png", 851 - 766, 344 - 329}, // lighting Mode and Parameter boxes
        {"Pane.png", 16, 16},
        {"PaneMakingTick.png", 16, 16},
        {"slider-DPI-light.png", 16, 16}, // one DPI step: 16 wide, 18 apart
        {"slider-DPI-dark.png", 16, 16},
        {"slider-light.png", 24, 11}, // one pointer step
        {"slider-dark.png", 24, 11},
    };
    const char* dialogs[] = {"skins.png",     "combo-key.png", "single-key.png",
                             "fire-key.png",  "media-key.png", "windows-key.png",
                             "macro-key.png", "delay-time.png"};
    int skins = 0;
    for (const auto& entry : fs::directory_iterator(kResources / "Skins")) {
        if (!entry.is_directory()) {
            continue;
        }
        ++skins;
        SCOPED_TRACE(entry.path().filename().string());
        int mainW = 0, mainH = 0;
        ASSERT_TRUE(pngSize(entry.path() / "main.png", mainW, mainH));
        // large enough for every area: the close button's right edge, the web link's bottom
        EXPECT_GE(mainW, qor::frameRect(qor::FrameArea::Close).right);
        EXPECT_GE(mainH, qor::frameRect(qor::FrameArea::WebLink).bottom);
        for (const auto& image : images) {
            int w = 0, h = 0;
            ASSERT_TRUE(pngSize(entry.path() / image.name, w, h)) << image.name;
            if (image.width == 0) {
                EXPECT_EQ(w, mainW) << image.name;
                EXPECT_EQ(h, mainH) << image.name;
            } else {
                EXPECT_EQ(w, image.width) << image.name;
                EXPECT_EQ(h, image.height) << image.name;
            }
        }
        for (const char* dialog : dialogs) {
            int w = 0, h = 0;
            ASSERT_TRUE(pngSize(entry.path() / dialog, w, h)) << dialog;
            EXPECT_GE(w, 375) << dialog; // the dialogs' Cancel button ends at 375, 274
            EXPECT_GE(h, 274) << dialog;
        }
    }
    EXPECT_GE(skins, 2) << "a second skin to switch to";
}

} // namespace
