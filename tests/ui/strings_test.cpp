#include "ui/strings.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using qor::Language;
using qor::StringId;
using qor::StringTable;

TEST(Strings, LanguageIsChosenByTheExactIdentifier) {
    struct Case {
        std::uint32_t id;
        Language language;
        std::u16string_view section;
    };
    const Case cases[] = {{2052, Language::SimplifiedChinese, u"Setting-CHS"},
                          {1028, Language::TraditionalChinese, u"Setting-CHT"},
                          {3076, Language::English, u"Setting-EN"},
                          {4100, Language::English, u"Setting-EN"},
                          {1033, Language::English, u"Setting-EN"},
                          {0, Language::English, u"Setting-EN"},
                          {2052 + 65536, Language::English, u"Setting-EN"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const StringTable table(qor::languageFromId(c.id));
        EXPECT_EQ(table.language(), c.language);
        EXPECT_EQ(table.strIniSection(), c.section);
    }
}

TEST(Strings, EveryLanguageFillsExactly79Slots) {
    for (const Language language :
         {Language::English, Language::SimplifiedChinese, Language::TraditionalChinese}) {
        const StringTable table(language);
        EXPECT_TRUE(table.text(std::size_t{0}).empty());
        EXPECT_TRUE(table.text(qor::kStringCount + 1).empty());
        for (std::size_t entry = 1; entry <= qor::kStringCount; ++entry) {
            EXPECT_FALSE(table.text(entry).empty()) << entry;
        }
        EXPECT_EQ(table.text(StringId::StrIniSection), table.text(std::size_t{79}));
        EXPECT_EQ(table.text(StringId::WebAddress), qor::kWebAddress);
    }
    EXPECT_EQ(static_cast<std::size_t>(StringId::StrIniSection), qor::kStringCount);
}

TEST(Strings, TextsAreExactPerLanguage) {
    struct Case {
        StringId id;
        std::u16string_view english, simplified, traditional;
    };
    const Case cases[] = {
        {StringId::BasicSettings, u"Basic Settings", u"基本设置", u"基本設置"},
        {StringId::KeyDefault, u"Default", u"按键恢复", u"按鍵恢復"},
        {StringId::EffectNone, u"Non-Disolay", u"关闭", u"關閉"},
        {StringId::LeftClick, u"Left Click", u"左键", u"左鍵"},
        {StringId::ComboKey, u"Combo Key", u"组合键", u"複合鍵"},
        {StringId::MacroKey, u"Macro Key", u"宏", u"巨集"},
        {StringId::KeyOff, u"Key Off", u"按键关闭", u"按鍵關閉"},
        {StringId::ReportRate125, u"Switch report rate into 125HZ", u"报告率切换到125HZ",
         u"報告率切換到125HZ"},
        {StringId::DpiStage1, u"Switch DPI into the first stage ", u"DPI切换到第一段",
         u"DPI切換到第一段"},
        {StringId::DpiStage4, u"Switch DPI into the fourth stage ", u"DPI切换到第四段",
         u"DPI切換到第四段"},
        {StringId::KeyMatrix2, u"Switch to key matrix 2", u"切换到按键组2", u"切換到按鍵群組2"},
        {StringId::Exit, u"Exit", u"退出", u"退出"},
        {StringId::MouseNotDetected, u"The system did not detect the gaming mouse!",
         u"系统没有检测到游戏鼠标！", u"系統沒有檢測到遊戲滑鼠！"},
        {StringId::PointerDefault, u"Default", u"恢复默认", u"恢復默認"},
        {StringId::NotRecording, u"It doesn\u2019t start recording, unnecessary to press Stop key!",
         u"没有开始录制,点击停止录制按钮没有意义！", u"沒有開始錄製，點擊停止錄製按鈕沒有意義！"},
        {StringId::StrIniSection, u"Setting-EN", u"Setting-CHS", u"Setting-CHT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.id));
        EXPECT_EQ(StringTable(Language::English).text(c.id), c.english);
        EXPECT_EQ(StringTable(Language::SimplifiedChinese).text(c.id), c.simplified);
        EXPECT_EQ(StringTable(Language::TraditionalChinese).text(c.id), c.traditional);
    }
}

TEST(Strings, EnglishTextsAreDistinctExceptTheTwoDefaultButtons) {
    const StringTable table(Language::English);
    std::set<std::u16string_view> seen;
    for (std::size_t entry = 1; entry <= qor::kStringCount; ++entry) {
        const bool fresh = seen.insert(table.text(entry)).second;
        EXPECT_TRUE(fresh || entry == static_cast<std::size_t>(StringId::PointerDefault)) << entry;
    }
}

TEST(Strings, FontsFollowTheLanguageAndWindowsVersion) {
    struct Case {
        std::uint32_t id;
        unsigned major, minor;
        std::u16string_view normalFace, titleFace;
        int normalHeight;
    };
    const Case cases[] = {
        {2052, 6, 2, u"黑体", u"黑体", 13},    {2052, 6, 1, u"宋体", u"宋体", 13},
        {2052, 10, 0, u"宋体", u"宋体", 13},   {1028, 6, 1, u"黑体", u"黑体", 13},
        {1033, 6, 2, u"Arial", u"Tahoma", 14}, {3076, 10, 0, u"Arial", u"Tahoma", 14}};
    for (const Case& c : cases) {
        const qor::InterfaceFonts fonts = qor::interfaceFonts(c.id, c.major, c.minor);
        EXPECT_EQ(fonts.normal.face, c.normalFace);
        EXPECT_EQ(fonts.title.face, c.titleFace);
        EXPECT_EQ(fonts.normal.height, c.normalHeight);
        EXPECT_EQ(fonts.normal.weight, 400);
        EXPECT_EQ(fonts.title.height, 18);
        EXPECT_EQ(fonts.title.weight, 700);
    }
}

} // namespace
