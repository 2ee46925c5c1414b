#include "profile/profile_format.h"

#include "base/decimal.h"
#include "base/text_case.h"
#include "base/text_utf8.h"
#include "dpi_lighting/dpi.h"
#include "dpi_lighting/lighting.h"
#include "keys/binding_word.h"
#include "keys/key_tables.h"
#include "macro/macro_file.h"
#include "ui/strings.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <variant>

namespace qor {

namespace {

using Names = std::vector<std::pair<std::uint8_t, std::string>>;

// How one setting reads as text.
enum class Kind {
    names,    // a name of `names`, or "raw N"
    number,   // 0..255
    position, // 1-based position in a list of `count`, or "raw N"
    usage,    // 16 bits over two bytes: high, low
    colour,   // #rrggbb over three bytes
    bytes,    // hex bytes, exactly as many as the field has
    dpi,      // a DPI value of the profile's sensor type, or "raw N"
};

struct Field {
    std::string key;
    std::vector<std::size_t> offsets; // record offsets, in the text's order
    Kind kind = Kind::number;
    const Names* names = nullptr;
    std::size_t count = 0;
};

struct Section {
    std::string name;
    std::string comment;
    std::vector<Field> fields;
};

std::string u8(std::u16string_view text) {
    return utf16ToUtf8(text);
}

// Name lists of the program's tables, in English, built once.
struct Tables {
    Names functions, media, windows, fire, keys, modifiers, dpiSwitch, stageOn, keySet, ledMode,
        brightness, breathSpeed, neonSpeed, effect;

    Tables() {
        const StringTable english(Language::English);
        for (std::uint8_t f = 0; f < kKeyFunctionCount; ++f) {
            functions.emplace_back(f, u8(english.text(functionLabelEntry(f))));
        }
        functions.emplace_back(kNoFunction, "None");
        for (std::size_t i = 0; i < mediaTable().size(); ++i) {
            media.emplace_back(static_cast<std::uint8_t>(i), u8(mediaTable()[i].english));
        }
        for (std::size_t i = 0; i < windowsFunctionTable().size(); ++i) {
            windows.emplace_back(static_cast<std::uint8_t>(i),
                                 u8(windowsFunctionTable()[i].english));
        }
        for (std::size_t i = 0; i < fireKeyTable().size(); ++i) {
            fire.emplace_back(static_cast<std::uint8_t>(i), u8(fireKeyTable()[i].text));
        }
        keys.emplace_back(0, "None");
        for (const auto& k : keyNameTable()) {
            keys.emplace_back(k.code, u8(k.name));
        }
        modifiers.emplace_back(0, "None");
        for (const auto& m : modifierTable()) {
            modifiers.emplace_back(m.code, u8(m.name));
        }
        dpiSwitch.emplace_back(0, "None");
        for (std::size_t i = 0; i < kDpiSwitchNames.size(); ++i) {
            dpiSwitch.emplace_back(static_cast<std::uint8_t>(i + 1), u8(kDpiSwitchNames[i]));
        }
        stageOn = {{0, "off"}, {1, "on"}};
        keySet = {{0, "A"}, {1, "B"}};
        for (std::uint8_t m = 0; m < 4; ++m) {
            ledMode.emplace_back(m, u8(modeName(english, m)));
        }
        for (std::uint8_t e = 0; e < 5; ++e) {
            effect.emplace_back(e, u8(effectName(english, e)));
        }
        const auto list = [](Names& into, std::span<const std::u16string_view> texts) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                into.emplace_back(static_cast<std::uint8_t>(i), u8(texts[i]));
            }
        };
        list(brightness, brightnessList());
        list(breathSpeed, breathSpeedList());
        list(neonSpeed, neonSpeedList());
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// The value a name stands for: the first entry with that name.
std::optional<std::uint8_t> valueOfName(const Names& names, std::string_view name) {
    for (const auto& [value, text] : names) {
        if (!text.empty() && text == name) {
            return value;
        }
    }
    return std::nullopt;
}

// The name written for a value: the first entry with that value, and only when reading the
// name back gives the value again.
std::optional<std::string> nameOfValue(const Names& names, std::uint8_t value) {
    for (const auto& [v, text] : names) {
        if (v == value) {
            if (valueOfName(names, text) == value) {
                return text;
            }
            break;
        }
    }
    return std::nullopt;
}

constexpr std::size_t offsetA = offsetof(SettingsRecord, modeA);
constexpr std::size_t offsetB = offsetof(SettingsRecord, modeB);

std::vector<Section> buildSections() {
    const Tables& t = tables();
    std::vector<Section> sections;
    sections.push_back({"General", "; The key set in force: A or B.", {}});
    sections.back().fields.push_back(
        {"ActiveKeySet", {offsetof(SettingsRecord, activeMode)}, Kind::names, &t.keySet});

    for (const char set : {'A', 'B'}) {
        const std::size_t table = set == 'A' ? offsetA : offsetB;
        const std::size_t dpi = set == 'A' ? offsetof(SettingsRecord, dpiSwitchA)
                                           : offsetof(SettingsRecord, dpiSwitchB);
        for (std::size_t k = 0; k < kButtonSlots; ++k) {
            Section s;
            s.name = std::string(1, set) + ".Button" + std::to_string(k + 1);
            if (k == 0) {
                s.comment = std::string("; Key set ") + set +
                            ". Every button keeps the parameters of every function; the "
                            "mouse gets those of its Function.";
            } else if (k == kMouseButtons) {
                s.comment = "; Buttons 9 to 12 are spare slots of the file.";
            }
            const auto at = [&](std::size_t member) { return table + member + k; };
            s.fields = {
                {"Function", {at(offsetof(ButtonTable, function))}, Kind::names, &t.functions},
                {"Multimedia", {at(offsetof(ButtonTable, mediaChoice))}, Kind::names, &t.media},
                {"MultimediaUsage", {at(offsetof(ButtonTable, mediaCode))}, Kind::number},
                {"Windows", {at(offsetof(ButtonTable, windowsChoice))}, Kind::names, &t.windows},
                {"WindowsUsage",
                 {at(offsetof(ButtonTable, windowsClass)), at(offsetof(ButtonTable, windowsCode))},
                 Kind::usage},
                {"FireChoice", {at(offsetof(ButtonTable, fireChoice))}, Kind::names, &t.fire},
                {"FireKey", {at(offsetof(ButtonTable, fireKey))}, Kind::names, &t.keys},
                {"FireSpeed", {at(offsetof(ButtonTable, fireSpeed))}, Kind::number},
                {"FireTimes", {at(offsetof(ButtonTable, fireTimes))}, Kind::number},
                {"SingleKey", {at(offsetof(ButtonTable, singleKey))}, Kind::names, &t.keys},
                {"ComboModifier",
                 {at(offsetof(ButtonTable, comboModifiers))},
                 Kind::names,
                 &t.modifiers},
                {"ComboKey1", {at(offsetof(ButtonTable, comboKey1))}, Kind::names, &t.keys},
                {"ComboKey2", {at(offsetof(ButtonTable, comboKey2))}, Kind::names, &t.keys},
                {"Macro",
                 {at(offsetof(ButtonTable, macroIndex))},
                 Kind::position,
                 nullptr,
                 kMacroCount},
                {"MacroLoopMode",
                 {at(offsetof(ButtonTable, macroLoopMode))},
                 Kind::position,
                 nullptr,
                 3},
                {"DpiSwitch", {dpi + k}, Kind::names, &t.dpiSwitch},
            };
            sections.push_back(std::move(s));
        }
    }

    Section dpi{"DPI",
                "; Levels are DPI values of the sensor type below (the mouse's, as given to "
                "export); colours are #rrggbb.",
                {}};
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        const std::string n = "Stage" + std::to_string(stage + 1);
        dpi.fields.push_back(
            {n, {offsetof(SettingsRecord, dpiStageOn) + stage}, Kind::names, &t.stageOn});
        dpi.fields.push_back(
            {n + "Level", {offsetof(SettingsRecord, dpiLevel) + stage}, Kind::dpi});
        const std::size_t c = offsetof(SettingsRecord, dpiColor) + stage * 3;
        dpi.fields.push_back({n + "Colour", {c, c + 1, c + 2}, Kind::colour});
    }
    sections.push_back(std::move(dpi));

    sections.push_back(
        {"Lighting",
         "; Brightness, BreathSpeed and NeonSpeed are the lists' texts; Effect1 to Effect3 the "
         "effects of modes 1 to 3.",
         {{"Mode", {offsetof(SettingsRecord, ledMode)}, Kind::names, &t.ledMode},
          {"Brightness", {offsetof(SettingsRecord, ledBrightness)}, Kind::names, &t.brightness},
          {"BreathSpeed", {offsetof(SettingsRecord, ledBreathSpeed)}, Kind::names, &t.breathSpeed},
          {"NeonSpeed", {offsetof(SettingsRecord, ledNeonSpeed)}, Kind::names, &t.neonSpeed},
          {"Effect1", {offsetof(SettingsRecord, ledEffect)}, Kind::names, &t.effect},
          {"Effect2", {offsetof(SettingsRecord, ledEffect) + 1}, Kind::names, &t.effect},
          {"Effect3", {offsetof(SettingsRecord, ledEffect) + 2}, Kind::names, &t.effect}}});

    sections.push_back(
        {"Pointer",
         "; Slider positions of the Advanced page and the two check boxes (0 or 1).",
         {{"MouseSpeed", {offsetof(SettingsRecord, mouseSpeedPosition)}, Kind::number},
          {"ScrollLines", {offsetof(SettingsRecord, scrollLinesPosition)}, Kind::number},
          {"DoubleClick", {offsetof(SettingsRecord, doubleClickPosition)}, Kind::number},
          {"Precision", {offsetof(SettingsRecord, pointerPrecision)}, Kind::number},
          {"ScrollOneScreen", {offsetof(SettingsRecord, scrollOneScreen)}, Kind::number}}});

    Section slots{"MacroSlots",
                  "; The macros as the mouse gets them (built from the [Macro] sections by Apply); "
                  "128 bytes each.",
                  {}};
    for (std::size_t n = 0; n < kMacroCount; ++n) {
        Field f{"Slot" + std::to_string(n + 1), {}, Kind::bytes};
        for (std::size_t i = 0; i < kMacroSlotBytes; ++i) {
            f.offsets.push_back(offsetof(SettingsRecord, macroSlots) + n * kMacroSlotBytes + i);
        }
        slots.fields.push_back(std::move(f));
    }
    sections.push_back(std::move(slots));

    Section reserved{"Reserved", "; Bytes of the file the program does not use.", {}};
    const auto span = [](std::string key, std::size_t offset, std::size_t size) {
        Field f{std::move(key), {}, Kind::bytes};
        for (std::size_t i = 0; i < size; ++i) {
            f.offsets.push_back(offset + i);
        }
        return f;
    };
    reserved.fields = {span("At1920", offsetof(SettingsRecord, reserved1920), 7),
                       span("At1954", offsetof(SettingsRecord, reserved1954), 1),
                       span("At1985", offsetof(SettingsRecord, reserved1985), 32),
                       span("LampBits", offsetof(SettingsRecord, lampBits), 2),
                       span("At2019", offsetof(SettingsRecord, reserved2019), 2)};
    sections.push_back(std::move(reserved));
    return sections;
}

const std::vector<Section>& sections() {
    static const std::vector<Section> all = buildSections();
    return all;
}

constexpr std::string_view kRaw = "raw ";
constexpr char kHex[] = "0123456789abcdef";

std::string hexByte(std::uint8_t b) {
    return {kHex[b >> 4], kHex[b & 0x0F]};
}

// --- writing -------------------------------------------------------------------------------

std::string formatField(const Field& f, std::span<const std::uint8_t> record,
                        std::span<const std::u16string_view> dpiLabels) {
    const std::uint8_t first = record[f.offsets[0]];
    const std::string raw = std::string(kRaw) + std::to_string(first);
    switch (f.kind) {
    case Kind::names:
        return nameOfValue(*f.names, first).value_or(raw);
    case Kind::number:
        return std::to_string(first);
    case Kind::position:
        return first < f.count ? std::to_string(first + 1) : raw;
    case Kind::dpi:
        return first < dpiLabels.size() ? u8(dpiLabels[first]) : raw;
    case Kind::usage:
        return "0x" + hexByte(first) + hexByte(record[f.offsets[1]]);
    case Kind::colour:
        return "#" + hexByte(first) + hexByte(record[f.offsets[1]]) + hexByte(record[f.offsets[2]]);
    case Kind::bytes: {
        std::string out;
        for (std::size_t o : f.offsets) {
            out += hexByte(record[o]);
        }
        return out;
    }
    }
    return raw;
}

// Macro texts are written as they are unless blanks at either end, a leading quote or control
// characters would not survive the line: then quoted, with \" \\ and \xHH escapes.
std::string quoteIfNeeded(std::u16string_view text) {
    const std::string s = u8(text);
    const bool plain = !s.empty() && s.front() != ' ' && s.back() != ' ' && s.front() != '"' &&
                       s.front() != '\t' && s.back() != '\t' &&
                       std::none_of(s.begin(), s.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (plain) {
        return s;
    }
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\x" + hexByte(u);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string keyRowName(KeySet set, std::size_t row) {
    // Appended: GCC 12 at -O3 warns falsely on `"A" + std::to_string(row)` inlined.
    std::string name(1, set == KeySet::A ? 'A' : 'B');
    name += std::to_string(row);
    return name;
}

constexpr std::string_view kProgramsKey = "Programs";
constexpr std::string_view kDefaultKey = "Default";

std::string generalKeyLines(const std::vector<std::u16string>& programs, bool isDefault,
                            std::string_view eol = "\n") {
    std::string out;
    if (!programs.empty()) {
        out +=
            std::string(kProgramsKey) + " = " + u8(formatProgramList(programs)) + std::string(eol);
    }
    if (isDefault) {
        out += std::string(kDefaultKey) + " = yes" + std::string(eol);
    }
    return out;
}

} // namespace

std::u16string formatProgramList(const std::vector<std::u16string>& programs) {
    std::u16string out;
    for (const std::u16string& p : programs) {
        if (!out.empty()) {
            out += u"; ";
        }
        out += p;
    }
    return out;
}

std::string programNameProblem(std::u16string_view program) {
    if (program.empty()) {
        return "an empty program name";
    }
    if (program.find_first_of(u"/\\:") != program.npos) {
        return "'" + u8(program) + "' is not a file name: no folder, only the name";
    }
    if (std::any_of(program.begin(), program.end(),
                    [](char16_t c) { return c < 0x20 || c == u';' || c == u'"'; })) {
        return "'" + u8(program) + "' holds a character no file name has";
    }
    if (program.size() > 255) {
        return "a program name is at most 255 characters";
    }
    return {};
}

std::string formatProfile(const Profile& profile, std::uint8_t sensorType) {
    const auto record = recordBytes(profile.record);
    const auto labels = dpiValueListShown(sensorType).labels;
    std::string out =
        "; Qor profile: the settings of config.bin and the macros of record.ini.\n"
        "; Edit the values after '='; 'qorctl import FILE' writes them back. Lines that begin\n"
        "; with ';' or '#' are comments. 'raw N' is a byte the program has no name for; it is\n"
        "; kept as it is.\n";
    for (const Section& s : sections()) {
        out += "\n";
        if (!s.comment.empty()) {
            out += s.comment + "\n";
        }
        out += "[" + s.name + "]\n";
        if (s.name == "DPI") {
            out += "SensorType = " + std::to_string(sensorType) + "\n";
        }
        for (const Field& f : s.fields) {
            out += f.key + " = " + formatField(f, record, labels) + "\n";
        }
        if (s.name == "General") {
            out += generalKeyLines(profile.programs, profile.isDefault);
        }
    }
    if (profile.keyRows) {
        out += "\n; The texts beside the key rows of the Basic page (str.ini), rows 1 to 12 of key "
               "sets A and B.\n[KeyRows]\n";
        for (const KeySet set : {KeySet::A, KeySet::B}) {
            for (std::size_t row = 1; row <= kKeyRows; ++row) {
                out += keyRowName(set, row) + " = " +
                       quoteIfNeeded(profile.keyRows->rows(set)[row - 1]) + "\n";
            }
        }
    }
    out += "\n; The macros of record.ini, one [Macro] section each, in file order: its name, its "
           "loop count\n; as stored, and its lines.\n";
    for (const ProfileMacro& m : profile.macros) {
        out += "\n[Macro]\nName = " + quoteIfNeeded(m.name) +
               "\nLoop = " + quoteIfNeeded(m.loopText) + "\n";
        for (const MacroItem& line : m.lines) {
            out += "Line = " + quoteIfNeeded(line) + "\n";
        }
    }
    return out;
}

// --- reading -------------------------------------------------------------------------------

namespace {

struct Entry {
    std::size_t line;
    std::string key;
    std::string value;
};

struct Block {
    std::size_t line;
    std::string name;
    std::vector<Entry> entries;
};

struct Refusal {
    std::size_t line;
    std::string text;
};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<unsigned> number(std::string_view text, unsigned max) {
    unsigned value = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value, base);
    if (text.empty() || r.ec != std::errc{} || r.ptr != end || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> hexPair(char high, char low) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    const int h = digit(high);
    const int l = digit(low);
    if (h < 0 || l < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(h * 16 + l);
}

// The bytes a value stands for, in the field's order; or why not.
std::variant<std::vector<std::uint8_t>, std::string>
parseField(const Field& f, std::string_view value, std::span<const std::u16string_view> labels) {
    const auto one = [](unsigned v) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(v)};
    };
    if (f.kind != Kind::number && f.kind != Kind::usage && f.kind != Kind::colour &&
        f.kind != Kind::bytes && value.starts_with(kRaw)) {
        if (const auto v = number(trim(value.substr(kRaw.size())), 255)) {
            return one(*v);
        }
        return std::string("'raw' takes a byte (0 to 255)");
    }
    switch (f.kind) {
    case Kind::names:
        if (const auto v = valueOfName(*f.names, value)) {
            return one(*v);
        }
        return "'" + std::string(value) + "' is not one of its names";
    case Kind::number:
        if (const auto v = number(value, 255)) {
            return one(*v);
        }
        return std::string("takes a number from 0 to 255");
    case Kind::position:
        if (const auto v = number(value, static_cast<unsigned>(f.count)); v && *v >= 1) {
            return one(*v - 1);
        }
        return "takes a number from 1 to " + std::to_string(f.count);
    case Kind::dpi:
        for (std::size_t i = 0; i < labels.size(); ++i) {
            if (u8(labels[i]) == value) {
                return one(static_cast<unsigned>(i));
            }
        }
        return "'" + std::string(value) + "' is not a DPI value of this sensor type";
    case Kind::usage:
        if (const auto v = number(value, 0xFFFF)) {
            return std::vector<std::uint8_t>{static_cast<std::uint8_t>(*v >> 8),
                                             static_cast<std::uint8_t>(*v & 0xFF)};
        }
        return std::string("takes a 16-bit usage such as 0x0192");
    case Kind::colour:
        if (value.size() == 7 && value[0] == '#') {
            std::vector<std::uint8_t> rgb;
            for (std::size_t i = 1; i < 7; i += 2) {
                if (const auto b = hexPair(value[i], value[i + 1])) {
                    rgb.push_back(*b);
                }
            }
            if (rgb.size() == 3) {
                return rgb;
            }
        }
        return std::string("takes a colour as #rrggbb");
    case Kind::bytes: {
        std::vector<std::uint8_t> bytes;
        std::string digits;
        for (char c : value) {
            if (c != ' ') {
                digits += c;
            }
        }
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            const auto b = i + 1 < digits.size() ? hexPair(digits[i], digits[i + 1]) : std::nullopt;
            if (!b) {
                return "takes " + std::to_string(f.offsets.size()) + " bytes in hex";
            }
            bytes.push_back(*b);
        }
        if (bytes.size() != f.offsets.size()) {
            return "takes " + std::to_string(f.offsets.size()) + " bytes in hex, not " +
                   std::to_string(bytes.size());
        }
        return bytes;
    }
    }
    return std::string("cannot be read");
}

std::optional<std::string> unquote(std::string_view value) {
    if (value.empty() || value.front() != '"') {
        return std::string(value);
    }
    if (value.size() < 2 || value.back() != '"') {
        return std::nullopt;
    }
    value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') {
            return std::nullopt;
        }
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        if (value[i] == '"' || value[i] == '\\') {
            out += value[i];
        } else if (value[i] == 'x' && i + 2 < value.size()) {
            const auto b = hexPair(value[i + 1], value[i + 2]);
            if (!b) {
                return std::nullopt;
            }
            out += static_cast<char>(*b);
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// A macro text the macro file keeps as it is: no line breaks or other control characters (they
// would split the INI line), and no longer than the program reads back.
std::optional<std::string> macroTextProblem(std::u16string_view text, std::size_t max) {
    if (text.size() > max) {
        return "is longer than " + std::to_string(max) + " characters";
    }
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20; })) {
        return std::string("holds a control character");
    }
    return std::nullopt;
}

std::variant<ProfileMacro, Refusal> readMacro(const Block& block) {
    ProfileMacro m;
    bool named = false;
    bool looped = false;
    for (const Entry& e : block.entries) {
        const auto text = unquote(e.value);
        if (!text) {
            return Refusal{e.line, e.key + ": the quoted text is not closed or has a bad escape"};
        }
        const std::u16string wide = utf8ToUtf16(*text);
        const std::size_t limit = e.key == "Name" ? kMacroNameMaxChars : kIniBufferSize - 1;
        if (e.key != "Name" && e.key != "Loop" && e.key != "Line") {
            return Refusal{e.line, "unknown name '" + e.key + "' in [Macro]"};
        }
        if (const auto problem = macroTextProblem(wide, limit)) {
            return Refusal{e.line, e.key + " " + *problem};
        }
        if (e.key == "Line") {
            if (m.lines.size() == static_cast<std::size_t>(kMacroItemsReadMax)) {
                return Refusal{e.line, "a macro holds at most " +
                                           std::to_string(kMacroItemsReadMax) + " lines"};
            }
            m.lines.push_back(wide);
            continue;
        }
        bool& seen = e.key == "Name" ? named : looped;
        if (seen) {
            return Refusal{e.line, e.key + " given twice in [Macro]"};
        }
        seen = true;
        if (e.key == "Name") {
            // A section name: not empty, no ']' and no blanks at either end, which the INI
            // file would drop.
            if (wide.empty() || wide.find(u']') != wide.npos || trim(*text) != *text) {
                return Refusal{e.line, "Name must be a section name: not empty, without ']' "
                                       "and without blanks at either end"};
            }
            m.name = wide;
        } else {
            m.loopText = wide;
        }
    }
    if (!named) {
        return Refusal{block.line, "[Macro] without a Name"};
    }
    return m;
}

// A name as the INI file compares it (text_case.h), so that two macros the file would take for
// one are refused instead of the second replacing the first.
std::u16string folded(std::u16string_view name) {
    std::u16string out(name);
    for (char16_t& c : out) {
        c = toUpperSimple(c);
    }
    return out;
}

std::variant<std::vector<Block>, Refusal> splitLines(std::string_view text) {
    std::vector<Block> blocks;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return Refusal{lineNumber, "a section name must end with ']'"};
            }
            blocks.push_back({lineNumber, std::string(trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == line.npos) {
            return Refusal{lineNumber, "not 'Name = value'"};
        }
        if (blocks.empty()) {
            return Refusal{lineNumber, "a setting before the first section"};
        }
        blocks.back().entries.push_back({lineNumber, std::string(trim(line.substr(0, equals))),
                                         std::string(trim(line.substr(equals + 1)))});
    }
    return blocks;
}

// [General]'s Programs: names separated by ';', blanks around each dropped.
std::variant<std::vector<std::u16string>, std::string> readPrograms(std::string_view value) {
    std::vector<std::u16string> programs;
    while (true) {
        const std::size_t end = std::min(value.find(';'), value.size());
        const std::string_view item = trim(value.substr(0, end));
        if (!item.empty()) {
            const std::u16string name = utf8ToUtf16(item);
            if (auto problem = programNameProblem(name); !problem.empty()) {
                return problem;
            }
            programs.push_back(name);
        }
        if (end == value.size()) {
            return programs;
        }
        value.remove_prefix(end + 1);
    }
}

std::optional<Refusal> readGeneralKey(const Entry& e, Profile& profile) {
    if (e.key == kProgramsKey) {
        auto programs = readPrograms(e.value);
        if (auto* why = std::get_if<std::string>(&programs)) {
            return Refusal{e.line, "Programs: " + *why};
        }
        profile.programs = std::move(std::get<std::vector<std::u16string>>(programs));
        return std::nullopt;
    }
    if (e.value == "yes" || e.value == "no") {
        profile.isDefault = e.value == "yes";
        return std::nullopt;
    }
    return Refusal{e.line, "Default: takes yes or no"};
}

std::optional<Refusal> readKeyRows(const Block& block, KeyRowTexts& rows) {
    std::set<std::string> seen;
    for (const Entry& e : block.entries) {
        std::u16string* target = nullptr;
        for (const KeySet set : {KeySet::A, KeySet::B}) {
            for (std::size_t row = 1; row <= kKeyRows; ++row) {
                if (e.key == keyRowName(set, row)) {
                    target = &rows.rows(set)[row - 1];
                }
            }
        }
        if (target == nullptr) {
            return Refusal{e.line, "unknown name '" + e.key + "' in [KeyRows]: A1..A12, B1..B12"};
        }
        if (!seen.insert(e.key).second) {
            return Refusal{e.line, e.key + " given twice in [KeyRows]"};
        }
        const auto text = unquote(e.value);
        if (!text) {
            return Refusal{e.line, e.key + ": the quoted text is not closed or has a bad escape"};
        }
        std::u16string wide = utf8ToUtf16(*text);
        if (const auto problem = macroTextProblem(wide, kIniBufferSize - 1)) {
            return Refusal{e.line, e.key + " " + *problem};
        }
        *target = std::move(wide);
    }
    return std::nullopt;
}

} // namespace

ProfileReadResult parseProfile(std::string_view text, const SettingsRecord& base,
                               const KeyRowTexts& baseRows) {
    ProfileReadResult result;
    const auto refuse = [&](const Refusal& r) {
        result.line = r.line;
        result.error = r.text;
        return result;
    };
    if (text.size() > kMaxProfileSize) {
        return refuse({0, "the file is larger than a profile can be"});
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    auto split = splitLines(text);
    if (auto* r = std::get_if<Refusal>(&split)) {
        return refuse(*r);
    }
    Profile profile;
    profile.record = base;
    auto record = recordBytes(profile.record);

    // The sensor type first: the DPI levels are values of its list.
    std::uint8_t sensorType = 0;
    std::set<std::string> sectionsSeen;
    std::set<std::u16string> macroNames;
    const auto& blocks = std::get<std::vector<Block>>(split);
    for (const Block& b : blocks) {
        if (b.name != "DPI") {
            continue;
        }
        for (const Entry& e : b.entries) {
            if (e.key == "SensorType") {
                const auto v = number(e.value, 255);
                if (!v) {
                    return refuse({e.line, "SensorType takes a number from 0 to 255"});
                }
                sensorType = static_cast<std::uint8_t>(*v);
            }
        }
    }
    const auto labels = dpiValueListShown(sensorType).labels;

    for (const Block& b : blocks) {
        if (b.name == "KeyRows") {
            if (profile.keyRows) {
                return refuse({b.line, "section [KeyRows] given twice"});
            }
            profile.keyRows = baseRows;
            if (auto r = readKeyRows(b, *profile.keyRows)) {
                return refuse(*r);
            }
            continue;
        }
        if (b.name == "Macro") {
            auto macro = readMacro(b);
            if (auto* r = std::get_if<Refusal>(&macro)) {
                return refuse(*r);
            }
            auto& m = std::get<ProfileMacro>(macro);
            // Section names of the INI file are matched without regard to case.
            if (!macroNames.insert(folded(m.name)).second) {
                return refuse({b.line, "a second macro named '" + u8(m.name) + "'"});
            }
            profile.macros.push_back(std::move(m));
            continue;
        }
        const auto& all = sections();
        const auto section = std::find_if(all.begin(), all.end(),
                                          [&](const Section& s) { return s.name == b.name; });
        if (section == all.end()) {
            return refuse({b.line, "unknown section [" + b.name + "]"});
        }
        if (!sectionsSeen.insert(b.name).second) {
            return refuse({b.line, "section [" + b.name + "] given twice"});
        }
        std::set<std::string> keysSeen;
        for (const Entry& e : b.entries) {
            if (!keysSeen.insert(e.key).second) {
                return refuse({e.line, e.key + " given twice in [" + b.name + "]"});
            }
            if (b.name == "DPI" && e.key == "SensorType") {
                continue;
            }
            if (b.name == "General" && (e.key == kProgramsKey || e.key == kDefaultKey)) {
                if (auto r = readGeneralKey(e, profile)) {
                    return refuse(*r);
                }
                continue;
            }
            const auto field = std::find_if(section->fields.begin(), section->fields.end(),
                                            [&](const Field& f) { return f.key == e.key; });
            if (field == section->fields.end()) {
                return refuse({e.line, "unknown name '" + e.key + "' in [" + b.name + "]"});
            }
            auto bytes = parseField(*field, e.value, labels);
            if (auto* why = std::get_if<std::string>(&bytes)) {
                return refuse({e.line, e.key + ": " + *why});
            }
            const auto& values = std::get<std::vector<std::uint8_t>>(bytes);
            for (std::size_t i = 0; i < values.size(); ++i) {
                record[field->offsets[i]] = values[i];
            }
        }
    }
    result.profile = std::move(profile);
    return result;
}

std::vector<ProfileMacro> macrosOfDocument(const IniDocument& document) {
    const MacroFileView view(document);
    std::vector<ProfileMacro> macros;
    // Every section, not only those the 255-character window of the program's list shows.
    for (const std::u16string& name : document.sectionNameList()) {
        macros.push_back({name, view.loopText(name), view.items(name)});
    }
    return macros;
}

void replaceMacros(IniDocument& document, const std::vector<ProfileMacro>& macros) {
    // All at once: removing them one by one would move the rest of the file each time.
    document.removeNamedSections();
    for (const ProfileMacro& m : macros) {
        writeMacroSection(document, m.name, m.loopText, m.lines);
    }
}

std::string withGeneralKeys(std::string_view text, const std::vector<std::u16string>& programs,
                            bool isDefault) {
    std::string bom;
    if (text.starts_with("\xEF\xBB\xBF")) {
        bom = text.substr(0, 3);
        text.remove_prefix(3);
    }
    const std::string lines = generalKeyLines(programs, isDefault);
    const std::string crlfLines = generalKeyLines(programs, isDefault, "\r\n");
    std::string out = bom;
    bool inGeneral = false;
    bool written = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, std::min(end + 1, text.size()));
        const std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(raw.size());
        if (!line.empty() && line.front() == '[') {
            inGeneral = line.back() == ']' && trim(line.substr(1, line.size() - 2)) == "General";
            out += raw;
            if (inGeneral && !written) {
                // Right under the header: a line break of the file's own kind.
                out += raw.ends_with("\n") ? "" : "\n";
                out += raw.ends_with("\r\n") ? crlfLines : lines;
                written = true;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGeneral && equals != line.npos) {
            const std::string_view key = trim(line.substr(0, equals));
            if (key == kProgramsKey || key == kDefaultKey) {
                continue;
            }
        }
        out += raw;
    }
    if (!written) {
        return bom + "[General]\n" + lines + "\n" + out.substr(bom.size());
    }
    return out;
}

} // namespace qor
