// Profiles within the session: the Profiles folder, the active profile, using one (by hand or
// following the program in front) and the operations of the tray's submenu and of the Manage
// Profiles dialog. The shell reports what is in front, what suppresses switching and timer
// ticks; everything it shows comes back as texts.
#pragma once
#include "profile/profile_store.h"
#include "profile/profile_switcher.h"
#include "profile/profiles_dialog.h"
#include "protocol/sequences.h"

#include <string>
#include <string_view>
#include <vector>

namespace qor {

class Session;

enum class ProfileCause { hand, automatic };

struct ProfileUseResult {
    enum class Outcome {
        applied,    // the files hold the profile and the mouse has all of it
        incomplete, // the files hold it; what did not reach the mouse is written again
        mouseAway,  // the files hold it; the mouse gets it at its next arrival
        refused,    // nothing changed: the profile does not read, or record.ini cannot take it
    };
    Outcome outcome = Outcome::refused;
    // What the user was told: the balloon's text, or the message box's for a refusal by hand.
    std::u16string text;
    ApplyOutcome apply;
    bool changedSettings() const { return outcome != Outcome::refused; }
};

// One item of the tray's Profiles submenu or of the dialog's list.
struct ProfileMenuItem {
    std::u16string name;  // what operations take
    std::u16string label; // what is shown: the name, marked when the file does not read
    bool active = false;
    bool readable = true;
    bool isDefault = false;
};

class ProfileSession {
public:
    explicit ProfileSession(Session& session);

    // At start (Session::start calls it): reads the folder and the active profile's name.
    void start();

    // Reads the folder again (a change notification, the menu or the dialog opening). Empty,
    // or the message when the folder cannot be read.
    std::u16string refresh();

    const ProfileStore& store() const { return store_; }
    const std::u16string& folder() const { return store_.folder(); }
    // Empty when no profile is active.
    const std::u16string& active() const { return active_; }
    std::vector<ProfileMenuItem> items() const;
    // The programs named twice and extra Default marks, one text each, for the dialog.
    std::vector<std::u16string> clashes() const;

    // Makes the profile's settings the current ones (config.bin, the macros of record.ini, the
    // key-row texts of str.ini), applies them with the write plan (only what changed), makes it
    // the active profile and shows a balloon with its name. While the mouse is away the files
    // change and the mouse is written at its next arrival. A profile that does not read changes
    // nothing: a message box when chosen by hand, a balloon when chosen automatically. After a
    // result that changedSettings(), the window redraws if it is shown.
    ProfileUseResult use(std::u16string_view name, ProfileCause cause);

    // The program in front, suppressions and timer ticks: each may switch profiles at once.
    void foreground(SwitchClock::time_point now, const ForegroundProgram& program);
    void suppress(SwitchSuppression reason, bool on, SwitchClock::time_point now);
    void tick(SwitchClock::time_point now);
    // Whether a timer should keep ticking.
    bool switchPending() const { return switcher_.pending(); }

    // The dialog's and the menu's operations; each gives the message to show, empty when it
    // went through.
    // The settings in force (config.bin, record.ini, str.ini) as the profile NAME, which becomes
    // the active one; an existing profile of that name keeps its programs and Default mark.
    std::u16string saveCurrentAs(std::u16string_view name);
    std::u16string rename(std::u16string_view from, std::u16string_view to);
    std::u16string remove(std::u16string_view name);
    std::u16string setPrograms(std::u16string_view name,
                               const std::vector<std::u16string>& programs);
    std::u16string setDefault(std::u16string_view name, bool isDefault);
    // "Open Profiles Folder": the folder made when it is missing, so that there is one to open.
    std::u16string createFolder();

    // What the Manage Profiles dialog's OK hands over, in order; the first that does not go
    // through stops the rest, and its message is returned.
    std::u16string carryOut(const std::vector<ProfileChange>& changes);

    // OK and Apply: the settings just applied go into the active profile's file as well.
    void afterConfirm();

private:
    void makeActive(std::u16string_view name);
    std::u16string problem(const StoreResult& result, std::u16string_view name) const;
    std::uint8_t sensorType() const;

    Session& session_;
    ProfileStore store_;
    ProfileSwitcher switcher_;
    std::u16string active_;
};

} // namespace qor
