#include "profile/profile_switcher.h"

#include "profile/profile_name.h"

namespace qor {

ProfileSwitcher::ProfileSwitcher(Matcher matcher, std::u16string active)
    : matcher_(std::move(matcher)), active_(std::move(active)) {}

void ProfileSwitcher::foreground(TimePoint now, const ForegroundProgram& program) {
    if (program.kind == ForegroundProgram::Kind::ignored) {
        // The taskbar passed on the way to the program's own windows (a click on the tray icon
        // brings it to the front first) is no change: what was in front before still is.
        if (known_ && front_.empty() && !settledDecided_ &&
            now - frontSince_ < kForegroundSettleTime) {
            known_ = settled_.has_value();
            front_ = settled_.value_or(u"");
            settledDecided_ = true;
        }
        return;
    }
    const std::u16string folded =
        program.kind == ForegroundProgram::Kind::program ? foldedName(program.name) : u"";
    if (known_ && folded == front_) {
        return;
    }
    known_ = true;
    front_ = folded;
    frontSince_ = now;
    settledDecided_ = false;
}

void ProfileSwitcher::suppress(SwitchSuppression reason, bool on) {
    suppressed_ = on ? (suppressed_ | reason) : (suppressed_ & ~static_cast<unsigned>(reason));
}

void ProfileSwitcher::chosenByHand(std::u16string_view profile) {
    active_ = profile;
    heldFor_ = known_ ? std::optional(front_) : std::nullopt;
    settledDecided_ = true;
}

std::optional<std::u16string> ProfileSwitcher::tick(TimePoint now) {
    if (settledDecided_ || !known_ || now - frontSince_ < kForegroundSettleTime) {
        return std::nullopt;
    }
    settled_ = front_;
    if (suppressed_ != 0) {
        return std::nullopt;
    }
    if (heldFor_) {
        if (*heldFor_ == front_) {
            settledDecided_ = true;
            return std::nullopt;
        }
        heldFor_.reset();
    }
    const std::optional<std::u16string> target = matcher_(front_);
    if (!target || sameProfileName(*target, active_)) {
        settledDecided_ = true;
        return std::nullopt;
    }
    if (lastSwitch_ && now - *lastSwitch_ < kSwitchInterval) {
        return std::nullopt; // due, once the interval has passed
    }
    lastSwitch_ = now;
    active_ = *target;
    settledDecided_ = true;
    return target;
}

} // namespace qor
