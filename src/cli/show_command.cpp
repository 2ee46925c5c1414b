#include "cli/show_command.h"

#include <cstdio>
#include <string>

#include "base/text_utf8.h"
#include "cli/cli_session.h"
#include "dpi_lighting/dpi.h"
#include "dpi_lighting/lighting.h"
#include "emulator/mouse_state.h"
#include "keys/binding_word.h"
#include "keys/key_tables.h"
#include "macro/macro_slot.h"
#include "settings/config_file.h"
#include "settings/file_system_std.h"
#include "ui/strings.h"

namespace qor::cli {
namespace {

const char* const kHelp =
    "usage: qorctl show [--emulate] [--no-mouse] [options]\n"
    "  Prints the settings of DIR/config.bin: both key sets with function names and\n"
    "  parameters (the active one marked), the DPI stages with on/off, level, label and\n"
    "  colour, the lighting, the pointer positions and the loop count and pair count of each\n"
    "  macro slot. Then, when the mouse is found, what it answers to the read commands:\n"
    "  sensor and rate bytes, lighting effect and parameter sets, configuration blocks and\n"
    "  macro slots. Nothing is written to the mouse.\n"
    "  --emulate   the emulated mouse instead of the real one\n"
    "  --no-mouse  config.bin only\n"
    "  DPI labels follow --sensor-type, else the mouse's answer, else the emulated mouse's\n"
    "  factory value.\n";

std::string u8(std::u16string_view text) {
    return utf16ToUtf8(text);
}

std::string hex2(unsigned v) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02x", v & 0xFFu);
    return buffer;
}

std::string keyName(std::uint8_t code) {
    if (const auto name = keyNameOfCode(code)) {
        return u8(*name);
    }
    return "0x" + hex2(code);
}

std::string modifierNames(std::uint8_t bits) {
    std::string out;
    for (const auto& m : modifierTable()) {
        if ((bits & m.code) != 0) {
            if (!out.empty()) {
                out += '+';
            }
            out += u8(m.name);
        }
    }
    return out;
}

std::u16string_view functionLabel(const StringTable& strings, std::uint8_t function) {
    const std::size_t entry = functionLabelEntry(function);
    return entry != 0 ? strings.text(entry) : u"(none)";
}

std::string usageName(std::span<const UsageEntry> table, std::uint8_t choice, Language language) {
    return choice < table.size() ? u8(usageText(table[choice], language)) : "?";
}

std::string parameters(const ButtonTable& t, const std::array<std::uint8_t, kButtonSlots>& dpi,
                       std::size_t k, Language language) {
    switch (static_cast<KeyFunction>(t.function[k])) {
    case KeyFunction::DpiSwitch:
        return u8(dpiSwitchName(dpi[k]).value_or(u"?"));
    case KeyFunction::Windows:
        return usageName(windowsFunctionTable(), t.windowsChoice[k], language) + ", usage 0x" +
               hex2(t.windowsClass[k]) + hex2(t.windowsCode[k]);
    case KeyFunction::Multimedia:
        return usageName(mediaTable(), t.mediaChoice[k], language) + ", usage 0x00" +
               hex2(t.mediaCode[k]);
    case KeyFunction::FireKey:
        return keyName(t.fireKey[k]) + ", speed " + std::to_string(t.fireSpeed[k]) + ", times " +
               std::to_string(t.fireTimes[k]);
    case KeyFunction::SingleKey:
        return keyName(t.singleKey[k]);
    case KeyFunction::ComboKey: {
        std::string out = modifierNames(t.comboModifiers[k]);
        for (std::uint8_t key : {t.comboKey1[k], t.comboKey2[k]}) {
            if (key != 0) {
                if (!out.empty()) {
                    out += " + ";
                }
                out += keyName(key);
            }
        }
        return out;
    }
    case KeyFunction::MacroKey:
        return "macro " + std::to_string(t.macroIndex[k] + 1) + ", loop mode " +
               std::to_string(t.macroLoopMode[k] + 1);
    default:
        return {};
    }
}

void printKeySet(const char* name, bool active, const ButtonTable& t,
                 const std::array<std::uint8_t, kButtonSlots>& dpi, const StringTable& strings) {
    std::printf("Key set %s%s\n", name, active ? " (active)" : "");
    for (std::size_t k = 0; k < kMouseButtons; ++k) {
        const std::string p = parameters(t, dpi, k, strings.language());
        const std::uint32_t word = encodeButton(t, dpi, k).value();
        std::printf("  button %zu: %s%s%s%s  [%08x]\n", k + 1,
                    u8(functionLabel(strings, t.function[k])).c_str(), p.empty() ? "" : " (",
                    p.c_str(), p.empty() ? "" : ")", word);
    }
}

// "loop count L, pairs P" of one macro slot.
std::string slotSummary(ConstMacroSlot slot) {
    return "loop count " + std::to_string(slotLoopCount(slot)) + ", pairs " +
           std::to_string(slotPairCount(slot));
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) {
            out += ' ';
        }
        out += hex2(b);
    }
    return out;
}

// What the mouse answers to the read commands, without the connect read-back's write.
std::optional<DeviceMirror> readMouse(const CommonOptions& options, bool emulate) {
    SessionOptions s;
    s.common = options;
    s.realPauses = !emulate;
    const auto backend = makeBackend("show", emulate, s);
    if (!backend) {
        return std::nullopt;
    }
    CliSession session(s, *backend);
    if (!session.openOnly()) {
        explainNoMouse("show", *backend);
        std::fputs("qorctl show: no mouse; the settings of config.bin only\n", stderr);
        return std::nullopt;
    }
    DeviceCommands& commands = session.session().commands();
    commands.readSensorSettings();
    commands.readLightingEffect();
    commands.readLightingParams();
    commands.readConfigBlocks();
    commands.readMacroSlots();
    return commands.mirror();
}

void printMouse(const DeviceMirror& mirror) {
    std::printf("Mouse (answers to the read commands)\n");
    std::printf("  sensor type %u, rate %s, option1 %s, option2 %s\n", unsigned{mirror.sensorType},
                hex2(mirror.rate).c_str(), hex2(mirror.option1).c_str(),
                hex2(mirror.option2).c_str());
    const auto& l = mirror.lighting;
    std::printf("  lighting effect %s %s %s, parameter set 0: %s, set 1: %s\n",
                hex2(l.effect).c_str(), hex2(l.effectOption1).c_str(),
                hex2(l.effectOption2).c_str(), hexBytes(l.ledParams[0]).c_str(),
                hexBytes(l.ledParams[1]).c_str());
    for (std::size_t b = 0; b < kConfigBlockCount; ++b) {
        std::printf("  configuration block %zu: %s\n", b, hexBytes(mirror.configBlock(b)).c_str());
    }
    for (std::size_t n = 0; n < kMacroCount; ++n) {
        std::printf("  macro slot %zu: %s\n", n + 1,
                    slotSummary(mirror.macroSlot(n + 1).first<kMacroSlotBytes>()).c_str());
    }
}

} // namespace

int runShowCommand(const CommonOptions& options, const std::vector<std::string>& args) {
    if (options.help) {
        std::fputs(kHelp, stdout);
        std::fputs(kCommonHelp, stdout);
        return 0;
    }
    bool emulate = false;
    bool mouse = true;
    for (const auto& arg : args) {
        if (arg == "--emulate") {
            emulate = true;
        } else if (arg == "--no-mouse") {
            mouse = false;
        } else {
            std::fprintf(stderr, "qorctl show: unexpected argument '%s'\n", arg.c_str());
            return 2;
        }
    }
    StdFileSystem files;
    StderrMessageSink messages;
    SettingsState state;
    const auto path = utf8ToUtf16(joinPath(options.dir, "config.bin"));
    const auto loaded = loadConfig(files, messages, path, state);
    if (loaded.outcome != LoadResult::Outcome::Read) {
        if (loaded.outcome != LoadResult::Outcome::Missing) {
            std::fprintf(stderr, "qorctl show: %s is not a settings file of %zu bytes\n",
                         utf16ToUtf8(path).c_str(), kConfigFileSize);
        }
        return 1;
    }
    const SettingsRecord& r = state.working;
    const StringTable strings(languageFromId(options.language));
    const auto answers = mouse ? readMouse(options, emulate) : std::nullopt;
    const std::uint8_t sensor =
        options.sensorType.value_or(answers ? answers->sensorType : factoryMouseState().sensorType);

    std::printf("First-run flag: %u\n", unsigned{state.firstRunFlag});
    printKeySet("Mode A", r.activeMode == 0, r.modeA, r.dpiSwitchA, strings);
    printKeySet("Mode B", r.activeMode != 0, r.modeB, r.dpiSwitchB, strings);

    std::printf("DPI stages (sensor type %u, %zu steps)\n", unsigned{sensor}, stepCount(sensor));
    for (std::size_t k = 0; k < kDpiStages; ++k) {
        std::printf("  stage %zu: %s, level %u, %s DPI, colour #%s%s%s\n", k + 1,
                    r.dpiStageOn[k] == 1 ? "on" : "off", unsigned{r.dpiLevel[k]},
                    u8(dpiLabel(sensor, r.dpiLevel[k])).c_str(), hex2(r.dpiColor[k * 3]).c_str(),
                    hex2(r.dpiColor[k * 3 + 1]).c_str(), hex2(r.dpiColor[k * 3 + 2]).c_str());
    }

    const auto lighting = lightingTexts(strings, r);
    std::printf("Lighting: mode %u %s, parameter %s, effect %s\n", unsigned{r.ledMode},
                u8(lighting.mode).c_str(), u8(lighting.parameter).c_str(),
                u8(lighting.effect).c_str());

    std::printf("Pointer: mouse speed %u, scrolling %u, double-click %u, precision %u, "
                "scroll one screen %u\n",
                unsigned{r.mouseSpeedPosition}, unsigned{r.scrollLinesPosition},
                unsigned{r.doubleClickPosition}, unsigned{r.pointerPrecision},
                unsigned{r.scrollOneScreen});

    for (std::size_t n = 0; n < kMacroCount; ++n) {
        std::printf("Macro slot %zu: %s\n", n + 1, slotSummary(macroSlotOf(r, n)).c_str());
    }
    if (answers) {
        printMouse(*answers);
    }
    return 0;
}

} // namespace qor::cli
