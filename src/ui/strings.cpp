#include "ui/strings.h"

#include <array>

namespace qor {

namespace {

// Exactly as the program shows them, odd blanks and spellings included.
constexpr std::array<LanguageTexts, kStringCount> kTexts{{
    {u"Basic Settings", u"基本设置", u"基本設置"},                                     // 1
    {u"Advanced Settings", u"高级设置", u"高級設置"},                                  // 2
    {u"OK", u"确定", u"確定"},                                                         // 3
    {u"Apply", u"应用", u"應用"},                                                      // 4
    {u"Cancel", u"取消", u"取消"},                                                     // 5
    {u"Key Setting", u"按键设置", u"按鍵設置"},                                        // 6
    {u"DPI Setting", u"DPI设置", u"DPI設置"},                                          // 7
    {u"Default", u"按键恢复", u"按鍵恢復"},                                            // 8
    {u"DPI Effect", u"DPI显示特效", u"DPI顯示特效"},                                   // 9
    {u"Mode", u"模式", u"模式"},                                                       // 10
    {u"Parameter", u"参数", u"參數"},                                                  // 11
    {u"Effect", u"效果", u"效果"},                                                     // 12
    {u"Off", u"关闭模式", u"關閉模式"},                                                // 13
    {u"Standard", u"标准模式", u"標準模式"},                                           // 14
    {u"Respiration", u"呼吸模式", u"呼吸模式"},                                        // 15
    {u"Neon", u"霓虹模式", u"霓虹模式"},                                               // 16
    {u"Non-Disolay", u"关闭", u"關閉"},                                                // 17
    {u"RGB Effect", u"RGB效果", u"RGB效果"},                                           // 18
    {u"RGB Flash", u"RGB闪烁", u"RGB閃爍"},                                            // 19
    {u"RGB Fixed On", u"RGB常亮", u"RGB常亮"},                                         // 20
    {u"Self-Color LED", u"单色LED", u"單色LED"},                                       // 21
    {u"Left Click", u"左键", u"左鍵"},                                                 // 22
    {u"Right Click", u"右键", u"右鍵"},                                                // 23
    {u"Mid Click", u"中键", u"中鍵"},                                                  // 24
    {u"Forward", u"前进方向键", u"前進方向鍵"},                                        // 25
    {u"Backward", u"后退方向键", u"後退方向鍵"},                                       // 26
    {u"Triple-click", u"三连发", u"三連發"},                                           // 27
    {u"DPI Switch", u"DPI切换", u"DPI切換"},                                           // 28
    {u"Report Rate Switch", u"报告率切换", u"報告率切換"},                             // 29
    {u"Shift", u"Shift", u"Shift"},                                                    // 30
    {u"RGB On/Off", u"RGB打开/关闭", u"RGB打開/關閉"},                                 // 31
    {u"Windows", u"Windows", u"Windows"},                                              // 32
    {u"Multimedia", u"多媒体", u"多媒體"},                                             // 33
    {u"Fire Key", u"火力键", u"火力鍵"},                                               // 34
    {u"Single Key", u"单键", u"單鍵"},                                                 // 35
    {u"Combo Key", u"组合键", u"複合鍵"},                                              // 36
    {u"Macro Key", u"宏", u"巨集"},                                                    // 37
    {u"Key Off", u"按键关闭", u"按鍵關閉"},                                            // 38
    {u"Left key must be selected!", u"左键功能必须选择！", u"左鍵功能必須選擇！"},     // 39
    {kWebAddress, kWebAddress, kWebAddress},                                           // 40
    {u"Switch report rate into 1000HZ", u"报告率切换到1000HZ", u"報告率切換到1000HZ"}, // 41
    {u"Switch report rate into 500HZ", u"报告率切换到500HZ", u"報告率切換到500HZ"},    // 42
    {u"Switch report rate into 250HZ", u"报告率切换到250HZ", u"報告率切換到250HZ"},    // 43
    {u"Switch report rate into 125HZ", u"报告率切换到125HZ", u"報告率切換到125HZ"},    // 44
    {u"Switch DPI into the first stage ", u"DPI切换到第一段", u"DPI切換到第一段"},     // 45
    {u"Switch DPI into the second stage ", u"DPI切换到第二段", u"DPI切換到第二段"},    // 46
    {u"Switch DPI into the third stage ", u"DPI切换到第三段", u"DPI切換到第三段"},     // 47
    {u"Switch DPI into the fourth stage ", u"DPI切换到第四段", u"DPI切換到第四段"},    // 48
    {u"Switch to key matrix 1", u"切换到按键组1", u"切換到按鍵群組1"},                 // 49
    {u"Switch to key matrix 2", u"切换到按键组2", u"切換到按鍵群組2"},                 // 50
    {u"Switch to key matrix 3", u"切换到按键组3", u"切換到按鍵群組3"},                 // 51
    {u"Switch to key matrix 4", u"切换到按键组4", u"切換到按鍵群組4"},                 // 52
    {u"Switch to macro key", u"切换到宏", u"切換到巨集"},                              // 53
    {u"Exit", u"退出", u"退出"},                                                       // 54
    {u"The system did not detect the gaming mouse!", u"系统没有检测到游戏鼠标！",
     u"系統沒有檢測到遊戲滑鼠！"}, // 55
    {u"The system detect the gaming mouse.", u"系统检测到游戏鼠标。",
     u"系統檢測到遊戲滑鼠。"},                                              // 56
    {u"Mouse Speed", u"鼠标移动速度", u"滑鼠移動速度"},                     // 57
    {u"Scrolling Speed", u"鼠标滚动速度", u"滑鼠滾動速度"},                 // 58
    {u"Double-Click Speed", u"鼠标双击速度", u"滑鼠雙擊速度"},              // 59
    {u"Macro Setting", u"宏设置", u"巨集設置"},                             // 60
    {u"Select Macro", u"选择宏", u"選擇巨集"},                              // 61
    {u"Key Press Sequence", u"按键序列", u"按鍵序列"},                      // 62
    {u"Record Option", u"录制选项", u"錄製選項"},                           // 63
    {u"Enhance Pointer Precision", u"提高指针准确度", u"提高指針準確度"},   // 64
    {u"Scroll One Screen", u"一次滚动一个屏幕", u"一次滾動一個螢幕"},       // 65
    {u"Default", u"恢复默认", u"恢復默認"},                                 // 66
    {u"Macro Name", u"宏名称", u"巨集名稱"},                                // 67
    {u"Start Recording", u"开始录制", u"開始錄製"},                         // 68
    {u"Stop Recording", u"停止录制", u"停止錄製"},                          // 69
    {u"Loop Times", u"循环次数", u"迴圈次數"},                              // 70
    {u"Insert A Mouse Event", u"插入一个鼠标事件", u"插入一個滑鼠事件"},    // 71
    {u"New", u"新建", u"新建"},                                             // 72
    {u"Delete", u"删除", u"刪除"},                                          // 73
    {u"Confirm", u"确认", u"確認"},                                         // 74
    {u"Macro name is blank", u"宏名称为空", u"巨集名稱為空"},               // 75
    {u"Macro name already exists", u"宏名称已经存在", u"巨集名稱已經存在"}, // 76
    {u"Press Ctrl+Break key to stop recording", u"按Ctrl+Break可以停止录制",
     u"按Ctrl+Break可以停止錄製"}, // 77
    {u"It doesn’t start recording, unnecessary to press Stop key!",
     u"没有开始录制,点击停止录制按钮没有意义！", u"沒有開始錄製，點擊停止錄製按鈕沒有意義！"}, // 78
    {u"Setting-EN", u"Setting-CHS", u"Setting-CHT"},                                           // 79
}};

} // namespace

Language languageFromId(std::uint32_t languageId) {
    switch (languageId) {
    case kLangIdSimplifiedChinese:
        return Language::SimplifiedChinese;
    case kLangIdTraditionalChinese:
        return Language::TraditionalChinese;
    default:
        return Language::English;
    }
}

std::u16string_view languageText(Language language, StringId id) {
    const auto entry = static_cast<std::size_t>(id);
    if (entry < 1 || entry > kStringCount) {
        return {};
    }
    return kTexts[entry - 1].in(language);
}

std::u16string_view StringTable::text(StringId id) const {
    return languageText(language_, id);
}

std::u16string_view StringTable::text(ProgramText id) const {
    // The start-up failures name the system call that failed, in every language.
    static constexpr std::array<LanguageTexts, static_cast<std::size_t>(ProgramText::Count)>
        kProgramTexts{{
            {u"CreateEvent failed.", u"CreateEvent failed.", u"CreateEvent failed."},
            {u"RegisterDeviceNotification failed!!!", u"RegisterDeviceNotification failed!!!",
             u"RegisterDeviceNotification failed!!!"},
            {u"Not every setting reached the mouse. Not written: ",
             u"并非所有设置都已写入鼠标。未写入：", u"並非所有設置都已寫入滑鼠。未寫入："},
            {u".\nYour settings are saved and will be written again when the mouse answers.",
             u"。\n设置已保存，鼠标响应后将再次写入。", u"。\n設置已保存，滑鼠回應後將再次寫入。"},
            {u"keys", u"按键", u"按鍵"},
            {u"DPI", u"DPI", u"DPI"},
            {u"lighting", u"灯光", u"燈光"},
            {u"macros", u"宏", u"巨集"},
            {u", ", u"、", u"、"},
            {u"The mouse is not connected. Nothing was sent or saved.",
             u"鼠标未连接。没有发送或保存任何设置。", u"滑鼠未連接。沒有發送或儲存任何設置。"},
            {u"Your settings were written to the mouse.", u"设置已写入鼠标。", u"設置已寫入滑鼠。"},
            {u"Start with Windows", u"开机时启动", u"開機時啟動"},
            {u"Qor could not change its entry in the list of programs that start with Windows.",
             u"Qor 无法更改其在开机启动程序列表中的项目。",
             u"Qor 無法變更其在開機啟動程式清單中的項目。"},
        }};
    const auto index = static_cast<std::size_t>(id);
    return index < kProgramTexts.size() ? kProgramTexts[index].in(language_)
                                        : std::u16string_view{};
}

std::u16string_view StringTable::text(std::size_t entry) const {
    return languageText(language_, static_cast<StringId>(entry));
}

InterfaceFonts interfaceFonts(std::uint32_t languageId, unsigned windowsMajor,
                              unsigned windowsMinor) {
    constexpr std::u16string_view kHeiti = u"黑体";
    constexpr std::u16string_view kSongti = u"宋体";
    switch (languageFromId(languageId)) {
    case Language::SimplifiedChinese: {
        const bool windows62 = windowsMajor == 6 && windowsMinor == 2;
        const std::u16string_view face = windows62 ? kHeiti : kSongti;
        return {{face, 13, 400}, {face, 18, 700}};
    }
    case Language::TraditionalChinese:
        return {{kHeiti, 13, 400}, {kHeiti, 18, 700}};
    case Language::English:
        break;
    }
    return {{u"Arial", 14, 400}, {u"Tahoma", 18, 700}};
}

} // namespace qor
