#include "cli/macros_command.h"

#include "base/text_utf8.h"
#include "macro/macro_file.h"
#include "macro/macro_slot.h"
#include "macro/macro_slot_bytes.h"
#include "settings/config_file.h"
#include "settings/file_system_std.h"
#include "settings/ini_engine.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace qor {
namespace {

constexpr const char* kUsage =
    "usage: qorctl macros [--dir DIR] [--save]\n"
    "  Rebuilds the twelve macro slots from DIR/record.ini over those of\n"
    "  DIR/config.bin and prints them, slot 1 first, one line of 256 hex\n"
    "  digits each. --save writes them into DIR/config.bin.\n";

class StderrSink final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        std::fprintf(stderr, "%s: %s\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
    }
};

std::u16string joinPath(std::u16string_view dir, std::u16string_view file) {
    std::u16string path(dir);
    if (!path.empty() && path.back() != u'/' && path.back() != u'\\') {
        path.push_back(u'/');
    }
    path.append(file);
    return path;
}

void printSlot(ConstMacroSlot slot) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line;
    for (std::uint8_t byte : slot) {
        line.push_back(kHex[byte >> 4]);
        line.push_back(kHex[byte & 0x0F]);
    }
    std::printf("%s\n", line.c_str());
}

} // namespace

int runMacrosCommand(int argc, char** argv) {
    std::u16string dir = u".";
    bool save = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            dir = utf8ToUtf16(argv[++i]);
        } else if (arg == "--save") {
            save = true;
        } else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    StdFileSystem files;
    StderrSink messages;
    const std::u16string configPath = joinPath(dir, u"config.bin");
    SettingsState state;
    const LoadResult loaded = loadConfig(files, messages, configPath, state);
    if (loaded.outcome != LoadResult::Outcome::Read) {
        if (loaded.outcome != LoadResult::Outcome::Missing) {
            std::fprintf(stderr, "qorctl macros: %s is not a settings file of %zu bytes\n",
                         utf16ToUtf8(configPath).c_str(), kConfigFileSize);
        }
        return 1;
    }

    const IniEngine engine;
    const MacroFile file(engine, std::filesystem::path(joinPath(dir, u"record.ini")));
    rebuildMacroSlotBytes(file, state.working);
    for (std::size_t k = 0; k < kMacroCount; ++k) {
        printSlot(macroSlotOf(state.working, k));
    }
    std::fflush(stdout);

    if (save) {
        const SaveResult saved = saveConfig(files, messages, configPath, state.working);
        if (saved.outcome != SaveResult::Outcome::Saved) {
            return 1;
        }
    }
    return 0;
}

} // namespace qor
