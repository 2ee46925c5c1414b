#include "cli/profile_command.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "base/text_utf8.h"
#include "emulator/mouse_state.h"
#include "profile/profile_format.h"
#include "settings/config_file.h"
#include "settings/file_system_std.h"
#include "settings/ini_engine.h"

namespace qor::cli {
namespace {

const char* const kExportHelp =
    "usage: qorctl export FILE [options]\n"
    "  Writes every setting of DIR/config.bin and the macros of DIR/record.ini to FILE ('-'\n"
    "  for standard output) as a commented INI text: key functions by name, DPI levels by\n"
    "  value (of --sensor-type, default the mouse's factory type), colours as #rrggbb,\n"
    "  lighting by name, pointer positions, macros as their lines.\n";

const char* const kImportHelp =
    "usage: qorctl import FILE [options]\n"
    "  Writes the settings and macros of the profile FILE into DIR/config.bin and\n"
    "  DIR/record.ini (which must exist; record.ini is created when missing). Settings the\n"
    "  profile leaves out keep their values; the macros are exactly the profile's. A profile\n"
    "  with an unknown name or a value out of range is refused with the line at fault, and\n"
    "  both files stay as they are; so is one whose macros would make record.ini larger\n"
    "  than the program reads. The first-run flag of config.bin is kept.\n";

int fail(const std::string& command, const std::string& text) {
    std::fprintf(stderr, "qorctl %s: %s\n", command.c_str(), text.c_str());
    return 1;
}

std::optional<SettingsState> loadSettings(const std::string& command, const CommonOptions& options,
                                          StdFileSystem& files, MessageSink& messages) {
    SettingsState state;
    const auto path = utf8ToUtf16(joinPath(options.dir, "config.bin"));
    const auto loaded = loadConfig(files, messages, path, state);
    if (loaded.outcome != LoadResult::Outcome::Read) {
        if (loaded.outcome != LoadResult::Outcome::Missing) {
            fail(command, joinPath(options.dir, "config.bin") + " is not a settings file of " +
                              std::to_string(kConfigFileSize) + " bytes");
        }
        return std::nullopt;
    }
    return state;
}

int runExport(const CommonOptions& options, const std::string& file) {
    StdFileSystem files;
    StderrMessageSink messages;
    const auto state = loadSettings("export", options, files, messages);
    if (!state) {
        return 1;
    }
    const IniEngine engine;
    const auto record = engine.load(joinPath(options.dir, "record.ini"));
    if (!record) {
        return fail("export", "cannot read " + joinPath(options.dir, "record.ini"));
    }
    Profile profile{state->working, macrosOfDocument(*record)};
    const std::string text =
        formatProfile(profile, options.sensorType.value_or(factoryMouseState().sensorType));
    if (file == "-") {
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? 0 : fail("export", "cannot write " + file);
}

int runImport(const CommonOptions& options, const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return fail("import", "cannot read " + file);
    }
    std::string text(kMaxProfileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));

    StdFileSystem files;
    StderrMessageSink messages;
    const auto state = loadSettings("import", options, files, messages);
    if (!state) {
        return 1;
    }
    const ProfileReadResult read = parseProfile(text, state->working);
    if (!read.profile) {
        const std::string where = read.line == 0 ? file : file + ":" + std::to_string(read.line);
        return fail("import", where + ": " + read.error + "; nothing was written");
    }
    const IniEngine engine;
    const std::string recordPath = joinPath(options.dir, "record.ini");
    auto document = engine.load(recordPath);
    if (!document) {
        return fail("import", "cannot read " + recordPath + "; nothing was written");
    }
    // record.ini is rewritten only when its macros change, so that an unchanged file keeps its
    // bytes (and whatever else it holds).
    const bool macrosChange = macrosOfDocument(*document) != read.profile->macros;
    replaceMacros(*document, read.profile->macros);
    // A record.ini the engine would not read back would lose every macro at the next start.
    if (const std::size_t size = document->byteCount(); macrosChange && size > kIniFileSizeMax) {
        return fail("import", "the profile's macros would make " + recordPath + " " +
                                  std::to_string(size) + " bytes, more than the " +
                                  std::to_string(kIniFileSizeMax) +
                                  " bytes the program reads; nothing was written");
    }
    const auto saved = saveConfig(files, messages, utf8ToUtf16(joinPath(options.dir, "config.bin")),
                                  read.profile->record, state->firstRunFlag);
    if (saved.outcome != SaveResult::Outcome::Saved) {
        return fail("import", "config.bin was not written; nothing was changed");
    }
    if (macrosChange && !engine.save(recordPath, *document)) {
        return fail("import", "config.bin was written, but " + recordPath + " could not be");
    }
    return 0;
}

} // namespace

int runProfileCommand(const std::string& command, const CommonOptions& options,
                      const std::vector<std::string>& args) {
    if (options.help) {
        std::fputs(command == "export" ? kExportHelp : kImportHelp, stdout);
        std::fputs(kCommonHelp, stdout);
        return 0;
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "qorctl %s: takes one FILE\n", command.c_str());
        return 2;
    }
    return command == "export" ? runExport(options, args.front())
                               : runImport(options, args.front());
}

} // namespace qor::cli
