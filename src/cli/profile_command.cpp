#include "cli/profile_command.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "base/text_utf8.h"
#include "emulator/mouse_state.h"
#include "profile/profile_files.h"
#include "profile/profile_format.h"
#include "profile/profile_messages.h"
#include "profile/profile_store.h"
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
    "  lighting by name, pointer positions, macros as their lines, and the key-row texts of\n"
    "  DIR/str.ini in the section of --language.\n";

const char* const kImportHelp =
    "usage: qorctl import FILE [options]\n"
    "  Writes the settings and macros of the profile FILE into DIR/config.bin and\n"
    "  DIR/record.ini (which must exist; record.ini is created when missing). Settings the\n"
    "  profile leaves out keep their values; the macros are exactly the profile's. A profile\n"
    "  with an unknown name or a value out of range is refused with the line at fault, and\n"
    "  both files stay as they are; so is one whose macros would make record.ini larger\n"
    "  than the program reads. The first-run flag of config.bin is kept. The profile's\n"
    "  key-row texts, when it has them, go into DIR/str.ini's section of --language.\n";

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

// config.bin, record.ini and the key-row texts of str.ini in --dir as one profile; nothing after
// saying why when they do not read.
std::optional<Profile> currentProfile(const char* command, const CommonOptions& options,
                                      StdFileSystem& files) {
    StderrMessageSink messages;
    const auto state = loadSettings(command, options, files, messages);
    if (!state) {
        return std::nullopt;
    }
    const IniEngine engine;
    const StringTable strings(languageFromId(options.language));
    auto profile = profileOfFiles(state->working, engine, joinPath(options.dir, "record.ini"),
                                  joinPath(options.dir, "str.ini"), strings.strIniSection());
    if (!profile) {
        fail(command, "cannot read " + joinPath(options.dir, "record.ini"));
    }
    return profile;
}

int runExport(const CommonOptions& options, const std::string& file) {
    StdFileSystem files;
    const auto profile = currentProfile("export", options, files);
    if (!profile) {
        return 1;
    }
    const std::string text =
        formatProfile(*profile, options.sensorType.value_or(factoryMouseState().sensorType));
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
    const IniEngine engine;
    const StringTable strings(languageFromId(options.language));
    const std::string strIni = joinPath(options.dir, "str.ini");
    const ProfileReadResult read = parseProfile(
        text, state->working, readStrIni(engine, strIni, strings.strIniSection()).rows);
    if (!read.profile) {
        const std::string where = read.line == 0 ? file : file + ":" + std::to_string(read.line);
        return fail("import", where + ": " + read.error + "; nothing was written");
    }
    // record.ini first: it is the file that can refuse the profile's macros.
    if (const std::string why =
            writeProfileMacros(engine, joinPath(options.dir, "record.ini"), read.profile->macros);
        !why.empty()) {
        return fail("import", why + "; nothing was written");
    }
    const auto saved = saveConfig(files, messages, utf8ToUtf16(joinPath(options.dir, "config.bin")),
                                  read.profile->record, state->firstRunFlag);
    if (saved.outcome != SaveResult::Outcome::Saved) {
        return fail("import", "config.bin was not written; record.ini holds the profile's macros");
    }
    if (read.profile->keyRows &&
        !writeKeyRowTexts(engine, strIni, strings.strIniSection(), *read.profile->keyRows)) {
        return fail("import",
                    "config.bin and record.ini were written, but " + strIni + " could not be");
    }
    return 0;
}

const char* const kProfileHelp =
    "usage: qorctl profile list|save NAME|use NAME|delete NAME [options]\n"
    "  Profiles are the files DIR/Profiles/NAME.ini, in the format of export; a profile's\n"
    "  [General] may name programs (Programs = a.exe; b.exe) that bring it in by themselves\n"
    "  in the Windows program, and one profile may be the Default.\n"
    "  list         every profile: the active one marked '*', 'default', its programs, and\n"
    "               why a file does not read; then programs that two profiles name\n"
    "  save NAME    the settings of config.bin, record.ini and str.ini as profile NAME (an\n"
    "               existing one keeps its programs and Default mark); it becomes active\n"
    "  use NAME     makes the profile's settings the current ones and applies them, as\n"
    "               choosing it from the tray does; takes the options of apply (--emulate,\n"
    "               faults, ...). Exit status 0 when the mouse took all of it\n"
    "  delete NAME  removes the profile's file\n";

std::u16string profilesFolderOf(const CommonOptions& options) {
    return profilesFolderBeside(utf8ToUtf16(joinPath(options.dir, "config.bin")));
}

int failText(const std::string& command, std::u16string_view text) {
    return fail(command, utf16ToUtf8(text));
}

int runList(const CommonOptions& options) {
    StdFileSystem files;
    ProfileStore store(files, profilesFolderOf(options));
    const StringTable strings(languageFromId(options.language));
    if (const StoreResult r = store.refresh(); !r.ok()) {
        return failText("profile list", storeProblemText(r, {}, store.folder(), strings));
    }
    const IniEngine engine;
    const std::u16string active = readActiveProfile(engine, joinPath(options.dir, "str.ini"));
    for (const ProfileEntry& e : store.profiles()) {
        std::string line = (sameProfileName(e.name, active) ? "* " : "  ") + utf16ToUtf8(e.name);
        if (!e.readable()) {
            line += "  cannot be read: " +
                    (e.problemLine != 0 ? "line " + std::to_string(e.problemLine) + ": " : "") +
                    e.problem;
        }
        if (store.defaultProfile() == &e) {
            line += "  default";
        }
        if (!e.programs.empty()) {
            line += "  programs: " + utf16ToUtf8(formatProgramList(e.programs));
        }
        std::printf("%s\n", line.c_str());
    }
    for (const std::u16string& clash : clashTexts(store, strings)) {
        std::printf("%s\n", utf16ToUtf8(clash).c_str());
    }
    return 0;
}

int runSave(const CommonOptions& options, const std::string& name) {
    StdFileSystem files;
    const auto profile = currentProfile("profile save", options, files);
    if (!profile) {
        return 1;
    }
    const IniEngine engine;
    const StringTable strings(languageFromId(options.language));
    const std::string strIni = joinPath(options.dir, "str.ini");
    ProfileStore store(files, profilesFolderOf(options));
    const std::u16string wide = utf8ToUtf16(name);
    // Unlisted, an existing profile would look new and lose its programs and Default mark.
    if (const StoreResult listed = store.refresh(); !listed.ok()) {
        return failText("profile save", storeProblemText(listed, wide, store.folder(), strings));
    }
    const StoreResult saved =
        store.save(wide, *profile, options.sensorType.value_or(factoryMouseState().sensorType));
    if (!saved.ok()) {
        return failText("profile save", storeProblemText(saved, wide, store.folder(), strings));
    }
    if (!writeActiveProfile(engine, strIni, store.find(wide)->name)) {
        return fail("profile save",
                    "the profile was saved, but " + strIni + " could not be written");
    }
    return 0;
}

int runDelete(const CommonOptions& options, const std::string& name) {
    StdFileSystem files;
    ProfileStore store(files, profilesFolderOf(options));
    store.refresh();
    const StringTable strings(languageFromId(options.language));
    const std::u16string wide = utf8ToUtf16(name);
    if (const StoreResult r = store.remove(wide); !r.ok()) {
        return failText("profile delete", storeProblemText(r, wide, store.folder(), strings));
    }
    const IniEngine engine;
    const std::string strIni = joinPath(options.dir, "str.ini");
    if (sameProfileName(readActiveProfile(engine, strIni), wide)) {
        writeActiveProfile(engine, strIni, {});
    }
    return 0;
}

} // namespace

int runProfileFilesCommand(const CommonOptions& options, const std::vector<std::string>& args) {
    if (options.help || args.empty()) {
        std::fputs(kProfileHelp, options.help ? stdout : stderr);
        std::fputs(kCommonHelp, options.help ? stdout : stderr);
        return options.help ? 0 : 2;
    }
    const std::string& verb = args.front();
    if (verb == "list" && args.size() == 1) {
        return runList(options);
    }
    if ((verb == "save" || verb == "delete") && args.size() == 2) {
        return verb == "save" ? runSave(options, args[1]) : runDelete(options, args[1]);
    }
    std::fprintf(stderr, "qorctl profile: expects list, save NAME, use NAME or delete NAME\n");
    return 2;
}

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
