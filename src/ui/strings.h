// The texts of the main window in the three interface languages, and the fonts that go with
// them. The language is chosen once at start from the system's default language identifier.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
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
    StartupNotChanged,    // the start-up list refused the change
    Count,
};

// The texts of profiles: the tray's submenu, the Manage Profiles dialog, balloons and messages.
// "%1", "%2", "%3" stand for the values fillText() puts in.
enum class ProfileText : std::size_t {
    Profiles,       // the tray submenu
    SaveCurrentAs,  // "Save Current Settings As…"
    ManageProfiles, // "Manage Profiles…"
    OpenProfilesFolder,
    ManageTitle, // the dialog's title
    Programs,    // the dialog's label over the programs of the selected profile
    AddProgram,  // "Add Program…"
    Remove,
    Default,
    Rename,
    Delete,
    UseNow,
    NamePrompt,        // asks for a profile's name (Save As, Rename)
    UnreadableMark,    // after the name of a profile whose file does not read
    ProgramClash,      // %1 program, %2 the profile used, %3 the one ignored
    DefaultIgnored,    // %1 a second profile marked Default
    Switched,          // balloon: %1 the profile now in use
    SwitchedMouseAway, // balloon: %1 in use, written when the mouse comes
    SwitchIncomplete,  // balloon: %1, followed by what did not reach the mouse
    Unreadable,        // %1 profile, %2 line, %3 the reader's message
    UnreadableFile,    // %1 profile, %3 the reader's message (no line)
    NameEmpty,
    NameTooLong,
    NameBadCharacter,
    NameReserved, // %1 the name
    NameTrailing,
    NameTaken,        // %1 the name
    BadProgram,       // %1 why, as the reader says it
    FolderError,      // %1 the folder, %2 the system's error code
    FolderUnreadable, // %1 the folder
    WriteError,       // %1 profile, %2 the system's error code
    NotRemoved,       // %1 profile
    NotFound,         // %1 profile
    Count,
};

// `pattern` with %1, %2 and %3 replaced by the values given.
std::u16string fillText(std::u16string_view pattern, std::u16string_view one,
                        std::u16string_view two = {}, std::u16string_view three = {});

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
    std::u16string_view text(ProfileText id) const; // ui/profile_texts.cpp
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
