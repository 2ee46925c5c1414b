// The "Manage Profiles" dialog's content and the small dialog that asks for a new profile's name.
// Manage Profiles edits a working copy of the profiles (names, programs, the Default mark,
// deletions); OK hands the changes over, Cancel drops them. "Use Now" ends it as OK does and
// names the profile to use.
#pragma once
#include "profile/profile_store.h"
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

// A program with a visible window now: its file name and the title of one of its windows.
struct RunningProgram {
    std::u16string file;
    std::u16string title;
    bool operator==(const RunningProgram&) const = default;
};
using RunningProgramLister = std::function<std::vector<RunningProgram>()>;

// What "Add Program…" offers: one entry per program file (names compared without regard to
// case, the first window's title kept), sorted by file name, without those already listed.
std::vector<RunningProgram> programChoices(std::vector<RunningProgram> running,
                                           const std::vector<std::u16string>& listed);

// One profile as the dialog edits it.
struct ManagedProfile {
    std::u16string original; // its name in the folder
    std::u16string name;
    std::vector<std::u16string> programs;
    bool isDefault = false;
    bool readable = true;
    bool deleted = false;
};

// A change to carry out on the folder, in the order given.
struct ProfileChange {
    enum class Kind { Delete, Rename, SetPrograms, SetDefault };
    Kind kind;
    std::u16string name; // the profile as it is named when the change runs
    std::u16string newName;
    std::vector<std::u16string> programs;
    bool isDefault = false;
    bool operator==(const ProfileChange&) const = default;
};

// What turns `before` into `after` (the same profiles, in the same order): deletions first, then
// renames, then each remaining profile's programs and Default mark where they changed.
std::vector<ProfileChange> profileChanges(const std::vector<ManagedProfile>& before,
                                          const std::vector<ManagedProfile>& after);

class ManageProfilesDialog final : public PopupListContent {
public:
    static constexpr int kProfileList = kProfileListId;
    static constexpr int kNameEdit = kProfileNameEditId;
    static constexpr int kProgramList = kProfileProgramListId;
    static constexpr int kRunningList = kRunningProgramListId;

    ManageProfilesDialog(const ProfileStore& store, std::u16string_view active,
                         const StringTable& strings, RunningProgramLister running);

    DialogKind kind() const override { return DialogKind::ManageProfiles; }
    bool pressBox(int x, int y) override;
    void chooseItem(int listId, std::size_t item) override;
    void textChanged(int editId, std::u16string_view text) override;
    Scene scene() const override;
    bool endRequested() const override { return useNow_.has_value(); }

    std::vector<ProfileChange> changes() const { return profileChanges(originals_, rows_); }
    // The profile "Use Now" chose, by the name it has after the changes.
    const std::optional<std::u16string>& useNow() const { return useNow_; }

    // For tests and the screenshots: the working copy and what is chosen.
    const std::vector<ManagedProfile>& working() const { return rows_; }
    std::optional<std::size_t> selected() const { return selected_; }

private:
    void opening() override;
    void chosen(std::size_t item) override;

    void select(std::optional<std::size_t> row);
    std::vector<std::size_t> shownRows() const;
    ManagedProfile* current();
    const ManagedProfile* current() const;
    void rename();
    void removeProgram();
    void toggleDefault();
    void deleteProfile();
    void useCurrent();
    // The profile that gets `program` before the chosen one, if any.
    std::optional<std::u16string> clashOf(std::u16string_view program) const;
    // The programs of the chosen profile, those another profile gets marked.
    std::vector<std::u16string> programItems() const;
    // Why the last action was refused; otherwise the first clash of the chosen profile.
    std::u16string statusText() const;

    const StringTable& strings_;
    std::u16string folder_;
    RunningProgramLister running_;
    std::vector<ManagedProfile> originals_; // as the dialog found them
    std::vector<ManagedProfile> rows_;
    std::vector<std::string> problems_; // per row: why its file does not read
    std::vector<std::size_t> problemLines_;
    std::optional<std::size_t> selected_; // index into rows_
    std::optional<std::size_t> program_;  // index into the chosen profile's programs
    std::u16string nameText_;
    std::u16string status_;
    std::vector<RunningProgram> offered_;
    std::optional<std::u16string> useNow_;
};

// Asks for the name of a new profile ("Save Current Settings As…"): OK gives the name when it
// is one the folder takes and no other profile has; otherwise the dialog says why and stays.
class ProfileNameDialog final : public DialogContent {
public:
    static constexpr int kNameEdit = kProfileNameDialogEditId;

    ProfileNameDialog(const ProfileStore& store, const StringTable& strings);
    DialogKind kind() const override { return DialogKind::ProfileName; }
    void textChanged(int editId, std::u16string_view text) override;
    Scene scene() const override;
    bool okAllowed() const override { return problem().empty(); }
    // Why the name typed so far is refused; empty when it is taken.
    std::u16string problem() const;
    const std::u16string& result() const { return name_; }

private:
    const ProfileStore& store_;
    const StringTable& strings_;
    std::u16string name_;
};

} // namespace qor
