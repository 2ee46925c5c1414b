// The Profiles folder: one NAME.ini per profile, read once per change of the folder and kept
// with an index from program file names to profiles, so that following the program in front
// is a lookup and never a file read.
#pragma once
#include "profile/profile_format.h"
#include "profile/profile_name.h"
#include "settings/file_system.h"
#include "settings/settings_record.h"
#include "ui/str_ini.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qor {

struct ProfileEntry {
    std::u16string name;
    std::u16string fileName; // as the folder lists it: "Game.ini", "Game.INI"
    // Why the file does not read: the reader's message, and its line (0: the file as a whole).
    // Empty for a profile that reads.
    std::string problem;
    std::size_t problemLine = 0;
    std::vector<std::u16string> programs;
    bool isDefault = false;
    std::string text; // the file as read; parsed again over the settings of the moment of use

    bool readable() const { return problem.empty(); }
};

// Two profiles name one program: the first by name is used.
struct ProgramClash {
    std::u16string program;
    std::u16string used;
    std::u16string ignored;
};

struct StoreResult {
    enum class Error {
        none,
        badName,          // `nameProblem` says why
        nameTaken,        // another profile has the name
        notFound,         // no such profile
        unreadable,       // the profile's file does not read: `detail` and `line`
        folderError,      // the Profiles folder cannot be created: `systemError`
        folderUnreadable, // the Profiles folder cannot be listed
        writeError,       // the profile's file cannot be written: `systemError`
        notRemoved,       // the file is still there after deleting it
    };
    Error error = Error::none;
    ProfileNameProblem nameProblem = ProfileNameProblem::none;
    SystemError systemError = 0;
    std::string detail{};
    std::size_t line = 0;
    bool ok() const { return error == Error::none; }
};

class ProfileStore {
public:
    ProfileStore(FileSystem& files, std::u16string folder);

    const std::u16string& folder() const { return folder_; }
    // The file a profile of that name is written to.
    std::u16string pathOf(std::u16string_view name) const;

    // Reads the folder again: every NAME.ini, parsed once, and the index built anew. The
    // program's own changes below keep the store up to date by themselves; call this when the
    // folder may have changed from outside (a change notification, the menu or dialog opening).
    // A folder that cannot be listed leaves no profiles and answers an error.
    StoreResult refresh();

    // By name, without regard to case.
    const std::vector<ProfileEntry>& profiles() const { return entries_; }
    const ProfileEntry* find(std::u16string_view name) const;

    // The profile the program in front brings in: the first by name that names it, otherwise the
    // Default profile, otherwise none. An empty name stands for no program (no window, the
    // desktop, the taskbar). Profiles that do not read name nothing.
    const ProfileEntry* profileForProgram(std::u16string_view program) const;
    const ProfileEntry* namingProgram(std::u16string_view program) const;
    const ProfileEntry* defaultProfile() const;
    // Programs named twice, for the dialog; and profiles marked Default after the first.
    const std::vector<ProgramClash>& clashes() const { return clashes_; }
    const std::vector<std::u16string>& ignoredDefaults() const { return ignoredDefaults_; }

    // Reads one profile's file again (before it is used: it may have been edited outside).
    void reload(std::u16string_view name);

    // The profile's settings over `base` and `baseRows` (what it leaves out keeps theirs).
    ProfileReadResult read(std::u16string_view name, const SettingsRecord& base,
                           const KeyRowTexts& baseRows) const;

    // Writes the profile as NAME.ini, creating the folder and replacing a file of that name; a
    // profile that exists and reads keeps its programs and Default mark.
    StoreResult save(std::u16string_view name, const Profile& profile, std::uint8_t sensorType);
    StoreResult rename(std::u16string_view from, std::u16string_view to);
    StoreResult remove(std::u16string_view name);
    // [General] of the file changed in place; the rest stays as written.
    StoreResult setPrograms(std::u16string_view name, const std::vector<std::u16string>& programs);
    // Marks one profile Default and clears the mark of every other (or clears its own).
    StoreResult setDefault(std::u16string_view name, bool isDefault);

private:
    ProfileEntry load(std::u16string_view name, std::u16string_view fileName) const;
    std::u16string pathOfFile(std::u16string_view fileName) const;
    // The file of an existing profile, as listed.
    std::u16string pathOf(const ProfileEntry& entry) const { return pathOfFile(entry.fileName); }
    void put(ProfileEntry entry);
    void rebuildIndex();
    StoreResult writeText(std::u16string_view name, std::u16string_view fileName,
                          std::string_view text);
    StoreResult rewriteGeneral(const ProfileEntry& entry,
                               const std::vector<std::u16string>& programs, bool isDefault);

    FileSystem& files_;
    std::u16string folder_;
    std::vector<ProfileEntry> entries_;
    std::unordered_map<std::u16string, std::size_t> byProgram_; // folded name -> entry
    std::unordered_map<std::u16string, std::size_t> byName_;    // folded name -> entry
    std::ptrdiff_t default_ = -1;
    std::vector<ProgramClash> clashes_;
    std::vector<std::u16string> ignoredDefaults_;
};

} // namespace qor
