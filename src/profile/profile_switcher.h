// Following the program in front: which profile to switch to, and when. No system calls: the
// shell reports the foreground program, the suppressions and timer ticks with the time they
// happen, and carries out what tick() decides.
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

using SwitchClock = std::chrono::steady_clock;

// Alt+Tab through windows must write nothing: a program counts once it stayed this long.
inline constexpr std::chrono::milliseconds kForegroundSettleTime{300};
// Automatic switches are at least this far apart.
inline constexpr std::chrono::milliseconds kSwitchInterval{1000};

// What is in front, as the shell sees it.
struct ForegroundProgram {
    enum class Kind {
        program, // a program's window: `name` is its file name ("game.exe")
        none,    // no window, the desktop or the taskbar: a program no profile names
        ignored, // the program's own windows and its tray menu: as if nothing changed
    };
    Kind kind = Kind::none;
    std::u16string name;

    static ForegroundProgram named(std::u16string_view file) {
        return {Kind::program, std::u16string(file)};
    }
    static ForegroundProgram nothing() { return {Kind::none, {}}; }
    static ForegroundProgram own() { return {Kind::ignored, {}}; }
};

// Why automatic switching waits; while any holds, the switch due is kept for later.
enum SwitchSuppression : unsigned {
    kWindowShown = 1u << 0,
    kDialogOpen = 1u << 1,
    kRecording = 1u << 2,
};

class ProfileSwitcher {
public:
    using TimePoint = SwitchClock::time_point;
    // The profile a program brings in (its own, otherwise the Default one), or none; an empty
    // name stands for no program.
    using Matcher = std::function<std::optional<std::u16string>(std::u16string_view program)>;

    explicit ProfileSwitcher(Matcher matcher, std::u16string active = {});

    void foreground(TimePoint now, const ForegroundProgram& program);
    void suppress(SwitchSuppression reason, bool on);
    // The profile to switch to now, if any. Call it from a timer (a tenth of a second is
    // plenty) while pending() says a decision may be due, and after each of the calls above.
    std::optional<std::u16string> tick(TimePoint now);
    // Whether tick() may still decide something for the program in front.
    bool pending() const { return !settledDecided_; }

    // A profile chosen by hand (tray, dialog, command line). It holds until another program
    // comes to the front.
    void chosenByHand(std::u16string_view profile);
    // The active profile changed otherwise (renamed, deleted, restored at start).
    void setActive(std::u16string_view profile) { active_ = profile; }
    const std::u16string& active() const { return active_; }
    // The profiles changed (programs, Default, new files): the program in front is weighed again.
    void reconsider() { settledDecided_ = false; }

private:
    Matcher matcher_;
    std::u16string active_;
    bool known_ = false;   // a program was reported at all
    std::u16string front_; // the program in front, folded; empty for none
    std::optional<std::u16string> settled_; // the last program that stayed in front
    TimePoint frontSince_{};
    bool settledDecided_ = true;            // the program in front was weighed, nothing more to do
    std::optional<std::u16string> heldFor_; // the program in front when a profile was chosen
    std::optional<TimePoint> lastSwitch_;
    unsigned suppressed_ = 0;
};

} // namespace qor
