// The texts of the main window in the three interface languages, and the fonts that go with
// them. The language is chosen once at start from the system's default language identifier.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qor {

enum class Language { English, SimplifiedChinese, TraditionalChinese };

inline constexpr std::uint16_t kLangIdSimplifiedChinese = 2052;
inline constexpr std::uint16_t kLangIdTraditionalChinese = 1028;

// Only the exact identifiers 2052 and 1028 select Chinese (3076 Hong Kong and 4100 Singapore
// get English).
Language languageFromId(std::uint32_t languageId);

// One slot per entry of the main window's string table, numbered from 1.
enum class StringId : std::size_t {
    BasicSettings = 1,
    AdvancedSettings = 2,
    Ok = 3,
    Apply = 4,
    Cancel = 5,
    KeySetting = 6,
    DpiSetting = 7,
    KeyDefault = 8,
    DpiEffect = 9,
    LightingMode = 10,
    LightingParameter = 11,
    LightingEffect = 12,
    ModeOff = 13,
    ModeStandard = 14,
    ModeRespiration = 15,
    ModeNeon = 16,
    EffectNone = 17,
    EffectRgb = 18,
    EffectRgbFlash = 19,
    EffectRgbFixedOn = 20,
    EffectSelfColour = 21,
    LeftClick = 22,
    RightClick = 23,
    MidClick = 24,
    Forward = 25,
    Backward = 26,
    TripleClick = 27,
    DpiSwitch = 28,
    ReportRateSwitch = 29,
    Shift = 30,
    RgbOnOff = 31,
    Windows = 32,
    Multimedia = 33,
    FireKey = 34,
    SingleKey = 35,
    ComboKey = 36,
    MacroKey = 37,
    KeyOff = 38,
    LeftKeyRequired = 39,
    WebAddress = 40,
    ReportRate1000 = 41,
    ReportRate500 = 42,
    ReportRate250 = 43,
    ReportRate125 = 44,
    DpiStage1 = 45,
    DpiStage2 = 46,
    DpiStage3 = 47,
    DpiStage4 = 48,
    KeyMatrix1 = 49,
    KeyMatrix2 = 50,
    KeyMatrix3 = 51,
    KeyMatrix4 = 52,
    SwitchToMacro = 53,
    Exit = 54,
    MouseNotDetected = 55,
    MouseDetected = 56,
    MouseSpeed = 57,
    ScrollingSpeed = 58,
    DoubleClickSpeed = 59,
    MacroSetting = 60,
    SelectMacro = 61,
    KeyPressSequence = 62,
    RecordOption = 63,
    EnhancePointerPrecision = 64,
    ScrollOneScreen = 65,
    PointerDefault = 66,
    MacroName = 67,
    StartRecording = 68,
    StopRecording = 69,
    LoopTimes = 70,
    InsertMouseEvent = 71,
    MacroNew = 72,
    MacroDelete = 73,
    MacroConfirm = 74,
    MacroNameBlank = 75,
    MacroNameExists = 76,
    StopRecordingHint = 77,
    NotRecording = 78,
    StrIniSection = 79,
};
inline constexpr std::size_t kStringCount = 79;

// Texts the program shows beyond the interface's numbered table.
enum class ProgramText : std::size_t {
    ReadEventFailed,           // the listener's event could not be made
    DeviceNotificationsFailed, // the system will not report the mouse's arrival and removal
    ApplyIncomplete,           // ... followed by the groups that did not reach the mouse
    ApplyIncompleteEnd,        // the settings are saved and will be written again
    KeysGroup,
    DpiGroup,
    LightingGroup,
    MacrosGroup,
    GroupSeparator,
    MouseNotConnected,    // OK or Apply while the mouse is away
    SettingsWrittenAgain, // a balloon: the pending settings reached the mouse
    StartWithWindows,     // the tray menu's check item
    Count,
};

// The address behind the web link, the same in every language.
inline constexpr std::u16string_view kWebAddress = u"https://qor-mouse.example/";

class StringTable {
public:
    explicit StringTable(Language language) : language_(language) {}
    Language language() const { return language_; }
    std::u16string_view text(StringId id) const;
    // Entry 1..79; anything else gives an empty text.
    std::u16string_view text(std::size_t entry) const;
    std::u16string_view text(ProgramText id) const;
    // The section of str.ini that holds this language's key-row texts.
    std::u16string_view strIniSection() const { return text(StringId::StrIniSection); }

private:
    Language language_;
};

// One text in the three interface languages.
struct LanguageTexts {
    std::u16string_view english;
    std::u16string_view simplified;
    std::u16string_view traditional;
    constexpr std::u16string_view in(Language language) const {
        switch (language) {
        case Language::SimplifiedChinese:
            return simplified;
        case Language::TraditionalChinese:
            return traditional;
        case Language::English:
            break;
        }
        return english;
    }
};

// The text of one entry in one language without building a table.
std::u16string_view languageText(Language language, StringId id);

struct FontSpec {
    std::u16string_view face;
    int height; // logical units; width 0, character set 0, pitch and family 0x20
    int weight;
};

struct InterfaceFonts {
    FontSpec normal;
    FontSpec title;
};

// The fonts of the interface language. Simplified Chinese takes "黑体" on Windows 6.2 and
// "宋体" on every other version.
InterfaceFonts interfaceFonts(std::uint32_t languageId, unsigned windowsMajor,
                              unsigned windowsMinor);

} // namespace qor
