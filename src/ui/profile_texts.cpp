#include "ui/strings.h"

#include <array>

namespace qor {

std::u16string_view StringTable::text(ProfileText id) const {
    static constexpr std::array<LanguageTexts, static_cast<std::size_t>(ProfileText::Count)>
        kProfileTexts{{
            {u"Profiles", u"配置文件", u"設定檔"},
            {u"Save Current Settings As…", u"当前设置另存为…", u"目前設置另存為…"},
            {u"Manage Profiles…", u"管理配置文件…", u"管理設定檔…"},
            {u"Open Profiles Folder", u"打开配置文件夹", u"開啟設定檔資料夾"},
            {u"Manage Profiles", u"管理配置文件", u"管理設定檔"},
            {u"Programs", u"程序", u"程式"},
            {u"Add Program…", u"添加程序…", u"新增程式…"},
            {u"Remove", u"移除", u"移除"},
            {u"Default", u"默认", u"預設"},
            {u"Rename", u"重命名", u"重新命名"},
            {u"Delete", u"删除", u"刪除"},
            {u"Use Now", u"立即使用", u"立即使用"},
            {u"Profile name:", u"配置文件名称：", u"設定檔名稱："},
            {u" (cannot be read)", u"（无法读取）", u"（無法讀取）"},
            {u"%1 is named by %2 and %3; %2 is used.", u"%1 同时出现在 %2 和 %3 中；使用 %2。",
             u"%1 同時出現在 %2 和 %3 中；使用 %2。"},
            {u"%1 is also marked Default; it is not used as the default.",
             u"%1 也被标记为默认；它不会作为默认配置使用。",
             u"%1 也被標記為預設；它不會作為預設設定檔使用。"},
            {u"Profile \u201c%1\u201d is in use.", u"已切换到配置文件“%1”。",
             u"已切換到設定檔「%1」。"},
            {u"Profile \u201c%1\u201d is in use. The mouse gets it when it is connected.",
             u"已切换到配置文件“%1”。鼠标连接后将写入鼠标。",
             u"已切換到設定檔「%1」。滑鼠連接後將寫入滑鼠。"},
            {u"Profile \u201c%1\u201d: ", u"配置文件“%1”：", u"設定檔「%1」："},
            {u"Profile \u201c%1\u201d cannot be used: line %2: %3. Nothing was changed.",
             u"无法使用配置文件“%1”：第 %2 行：%3。没有更改任何设置。",
             u"無法使用設定檔「%1」：第 %2 行：%3。沒有變更任何設置。"},
            {u"Profile \u201c%1\u201d cannot be used: %3. Nothing was changed.",
             u"无法使用配置文件“%1”：%3。没有更改任何设置。",
             u"無法使用設定檔「%1」：%3。沒有變更任何設置。"},
            {u"A profile needs a name.", u"配置文件名称不能为空。", u"設定檔名稱不能為空。"},
            {u"A profile name has at most 31 characters.", u"配置文件名称最多 31 个字符。",
             u"設定檔名稱最多 31 個字元。"},
            {u"A profile name cannot contain \\ / : * ? \" < > | or control characters.",
             u"配置文件名称不能包含 \\ / : * ? \" < > | 或控制字符。",
             u"設定檔名稱不能包含 \\ / : * ? \" < > | 或控制字元。"},
            {u"\u201c%1\u201d is a name Windows keeps for a device.",
             u"“%1”是 Windows 保留的设备名称。", u"「%1」是 Windows 保留的裝置名稱。"},
            {u"A profile name cannot end with a dot or a space.",
             u"配置文件名称不能以句点或空格结尾。", u"設定檔名稱不能以句點或空格結尾。"},
            {u"A profile named \u201c%1\u201d exists already.", u"名为“%1”的配置文件已经存在。",
             u"名為「%1」的設定檔已經存在。"},
            {u"Not a program file name: %1.", u"不是程序文件名：%1。", u"不是程式檔案名稱：%1。"},
            {u"The folder %1 cannot be written (error %2). Nothing was saved.",
             u"无法写入文件夹 %1（错误 %2）。没有保存任何内容。",
             u"無法寫入資料夾 %1（錯誤 %2）。沒有儲存任何內容。"},
            {u"The folder %1 cannot be read.", u"无法读取文件夹 %1。", u"無法讀取資料夾 %1。"},
            {u"Profile \u201c%1\u201d could not be written (error %2).",
             u"无法写入配置文件“%1”（错误 %2）。", u"無法寫入設定檔「%1」（錯誤 %2）。"},
            {u"Profile \u201c%1\u201d could not be deleted.", u"无法删除配置文件“%1”。",
             u"無法刪除設定檔「%1」。"},
            {u"There is no profile \u201c%1\u201d.", u"没有名为“%1”的配置文件。",
             u"沒有名為「%1」的設定檔。"},
        }};
    const auto index = static_cast<std::size_t>(id);
    return index < kProfileTexts.size() ? kProfileTexts[index].in(language_)
                                        : std::u16string_view{};
}

std::u16string fillText(std::u16string_view pattern, std::u16string_view one,
                        std::u16string_view two, std::u16string_view three) {
    // One pass, so that a value holding "%2" stays as it is.
    std::u16string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'3') {
            const char16_t n = pattern[++i];
            out += n == u'1' ? one : n == u'2' ? two : three;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace qor
