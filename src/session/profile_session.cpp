#include "session/profile_session.h"

#include "profile/profile_files.h"
#include "profile/profile_messages.h"
#include "protocol/write_plan.h"
#include "session/session.h"
#include "settings/config_file.h"

#include <algorithm>

namespace qor {

namespace {

std::u16string folderOf(const SessionFiles& files) {
    return files.profilesFolder.empty() ? profilesFolderBeside(files.config) : files.profilesFolder;
}

std::filesystem::path recordIniOf(const SessionFiles& files) {
    if (!files.recordIni.empty()) {
        return files.recordIni;
    }
    return std::filesystem::path(files.config).parent_path() / "record.ini";
}

// Messages collected for a balloon, one a line.
struct BalloonLines final : MessageSink {
    std::u16string text;
    void show(std::u16string_view message, std::u16string_view /*caption*/) override {
        text += (text.empty() ? u"" : u"\n") + std::u16string(message);
    }
};

Balloon balloon(std::u16string text) {
    return Balloon{std::move(text), kInfoTitle, kEventBalloonMs};
}

} // namespace

ProfileSession::ProfileSession(Session& session)
    : session_(session), store_(session.files_, folderOf(session.paths_)),
      switcher_([this](std::u16string_view program) -> std::optional<std::u16string> {
          const ProfileEntry* entry = store_.profileForProgram(program);
          return entry != nullptr ? std::optional(entry->name) : std::nullopt;
      }) {}

void ProfileSession::start() {
    store_.refresh();
    active_ = readActiveProfile(session_.ini_, session_.paths_.strIni);
    switcher_.setActive(active_);
}

std::u16string ProfileSession::refresh() {
    const StoreResult result = store_.refresh();
    switcher_.reconsider();
    return problem(result, {});
}

std::u16string ProfileSession::problem(const StoreResult& result, std::u16string_view name) const {
    return storeProblemText(result, name, store_.folder(), session_.strings_);
}

std::uint8_t ProfileSession::sensorType() const {
    return session_.mirror_.activeSensorType;
}

std::vector<ProfileMenuItem> ProfileSession::items() const {
    std::vector<ProfileMenuItem> items;
    for (const ProfileEntry& e : store_.profiles()) {
        items.push_back({e.name, profileLabel(e, session_.strings_),
                         sameProfileName(e.name, active_), e.readable(),
                         store_.defaultProfile() == &e});
    }
    return items;
}

std::vector<std::u16string> ProfileSession::clashes() const {
    return clashTexts(store_, session_.strings_);
}

void ProfileSession::makeActive(std::u16string_view name) {
    active_ = name;
    writeActiveProfile(session_.ini_, session_.paths_.strIni, name);
    switcher_.setActive(name);
}

ProfileUseResult ProfileSession::use(std::u16string_view name, ProfileCause cause) {
    // The file as it is now: it may have been edited since the folder was read. Only this one
    // file is read; finding the profile stayed a lookup.
    store_.reload(name);
    Session& s = session_;
    const StringTable& strings = s.strings_;
    ProfileUseResult result;
    const auto refuse = [&](std::u16string text) {
        result.outcome = ProfileUseResult::Outcome::refused;
        result.text = std::move(text);
        if (cause == ProfileCause::hand) {
            s.messages_.show(result.text, kApplicationTitle);
        } else {
            s.host_.showBalloon(Balloon{result.text, kWarningCaption, kEventBalloonMs});
        }
        // A profile chosen by hand holds even when it could not be used: the user decided.
        switcher_.setActive(active_);
        return result;
    };
    const ProfileEntry* entry = store_.find(name);
    if (entry == nullptr) {
        return refuse(problem(StoreResult{StoreResult::Error::notFound}, name));
    }
    const std::u16string profileName = entry->name;
    const ProfileReadResult read = store_.read(profileName, s.state_.appliedRecord, s.strIni_.rows);
    if (!read.profile) {
        return refuse(unreadableText(profileName, read.line, read.error, strings));
    }
    const Profile& profile = *read.profile;
    // record.ini first: it is the one that can refuse the profile, and nothing has changed yet.
    if (const std::string why = writeProfileMacros(s.ini_, recordIniOf(s.paths_), profile.macros);
        !why.empty()) {
        return refuse(unreadableText(profileName, 0, why, strings));
    }
    if (profile.keyRows) {
        s.strIni_.rows = *profile.keyRows;
        writeKeyRowTexts(s.ini_, s.paths_.strIni, strings.strIniSection(), s.strIni_.rows);
    }
    if (cause == ProfileCause::hand) {
        switcher_.chosenByHand(profileName);
    }
    makeActive(profileName);

    s.state_.working = profile.record;
    // A game is in front during an automatic switch: what goes wrong with config.bin goes into
    // the balloon, not a message box.
    BalloonLines saveProblems;
    MessageSink& saveMessages =
        cause == ProfileCause::automatic ? static_cast<MessageSink&>(saveProblems) : s.messages_;
    bool saved = false;
    ApplyPersistence persistence;
    persistence.saveSettings = [&](const SettingsRecord& record) {
        s.host_.phase("save config.bin");
        saved = saveConfig(s.files_, saveMessages, s.paths_.config, record).outcome ==
                SaveResult::Outcome::Saved;
    };
    if (s.connected()) {
        s.host_.phase("profile apply");
        result.apply = applyChangedSettings(s.commands_, s.state_.working, persistence);
        s.lastApply_ = result.apply;
        s.pendingApply_ = !result.apply.complete();
    } else {
        persistence.saveSettings(s.state_.working);
        // The mouse takes it at its next arrival, as after an apply that did not go through.
        s.pendingApply_ = true;
    }
    s.state_.takeSnapshot();
    // The window, hidden or not, shows the profile's settings from now on.
    s.state_.requestRedrawOnNextShow();
    if (s.pointer_ != nullptr) {
        applyPointerOptions(*s.pointer_, s.messages_, s.state_.working);
    }

    const std::u16string named = fillText(strings.text(ProfileText::Switched), profileName);
    if (!s.connected()) {
        result.outcome = ProfileUseResult::Outcome::mouseAway;
        result.text = fillText(strings.text(ProfileText::SwitchedMouseAway), profileName);
    } else if (result.apply.complete() && saved) {
        result.outcome = ProfileUseResult::Outcome::applied;
        result.text = named;
    } else {
        result.outcome = ProfileUseResult::Outcome::incomplete;
        result.text = fillText(strings.text(ProfileText::SwitchIncomplete), profileName) +
                      applyProblemText(result.apply, strings);
    }
    if (!saveProblems.text.empty()) {
        result.text += u"\n" + saveProblems.text;
    }
    s.host_.showBalloon(balloon(result.text));
    return result;
}

void ProfileSession::foreground(SwitchClock::time_point now, const ForegroundProgram& program) {
    switcher_.foreground(now, program);
    tick(now);
}

void ProfileSession::suppress(SwitchSuppression reason, bool on, SwitchClock::time_point now) {
    switcher_.suppress(reason, on);
    if (!on) {
        tick(now);
    }
}

void ProfileSession::tick(SwitchClock::time_point now) {
    if (const auto target = switcher_.tick(now)) {
        use(*target, ProfileCause::automatic);
    }
}

std::u16string ProfileSession::saveCurrentAs(std::u16string_view name) {
    // A folder that does not list would make an existing profile look new, and its programs and
    // Default mark would be lost with the overwrite.
    if (const StoreResult listed = store_.refresh(); !listed.ok()) {
        return problem(listed, name);
    }
    Session& s = session_;
    // What config.bin, the mouse and the files hold: not edits the window has not applied.
    const auto profile = profileOfFiles(s.state_.appliedRecord, s.ini_, recordIniOf(s.paths_),
                                        s.paths_.strIni, s.strings_.strIniSection());
    if (!profile) {
        return unreadableText(name, 0, "cannot read record.ini", s.strings_);
    }
    const StoreResult saved = store_.save(name, *profile, sensorType());
    if (!saved.ok()) {
        return problem(saved, name);
    }
    const ProfileEntry* entry = store_.find(name);
    switcher_.chosenByHand(entry->name);
    makeActive(entry->name);
    return {};
}

std::u16string ProfileSession::rename(std::u16string_view from, std::u16string_view to) {
    const bool wasActive = !active_.empty() && sameProfileName(from, active_);
    const StoreResult result = store_.rename(from, to);
    if (!result.ok()) {
        return problem(result, result.error == StoreResult::Error::notFound ? from : to);
    }
    if (wasActive) {
        makeActive(to);
    }
    switcher_.reconsider();
    return {};
}

std::u16string ProfileSession::remove(std::u16string_view name) {
    const bool wasActive = !active_.empty() && sameProfileName(name, active_);
    const StoreResult result = store_.remove(name);
    if (!result.ok()) {
        return problem(result, name);
    }
    if (wasActive) {
        // The settings stay as they are; they are no profile's any more.
        makeActive({});
    }
    switcher_.reconsider();
    return {};
}

std::u16string ProfileSession::setPrograms(std::u16string_view name,
                                           const std::vector<std::u16string>& programs) {
    const StoreResult result = store_.setPrograms(name, programs);
    switcher_.reconsider();
    return problem(result, name);
}

std::u16string ProfileSession::setDefault(std::u16string_view name, bool isDefault) {
    const StoreResult result = store_.setDefault(name, isDefault);
    switcher_.reconsider();
    return problem(result, name);
}

std::u16string ProfileSession::carryOut(const std::vector<ProfileChange>& changes) {
    for (const auto& c : changes) {
        std::u16string problem;
        switch (c.kind) {
        case ProfileChange::Kind::Delete:
            problem = remove(c.name);
            break;
        case ProfileChange::Kind::Rename:
            problem = rename(c.name, c.newName);
            break;
        case ProfileChange::Kind::SetPrograms:
            problem = setPrograms(c.name, c.programs);
            break;
        case ProfileChange::Kind::SetDefault:
            problem = setDefault(c.name, c.isDefault);
            break;
        }
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::u16string ProfileSession::createFolder() {
    if (const SystemError error = session_.files_.createFolder(store_.folder()); error != 0) {
        StoreResult r;
        r.error = StoreResult::Error::folderError;
        r.systemError = error;
        return problem(r, {});
    }
    return {};
}

void ProfileSession::afterConfirm() {
    const ProfileEntry* entry = active_.empty() ? nullptr : store_.find(active_);
    // A profile whose file does not read is left for the user to mend, not overwritten.
    if (entry == nullptr || !entry->readable()) {
        return;
    }
    Session& s = session_;
    const auto profile = profileOfFiles(s.state_.appliedRecord, s.ini_, recordIniOf(s.paths_),
                                        s.paths_.strIni, s.strings_.strIniSection());
    if (!profile) {
        return;
    }
    const std::u16string name = entry->name;
    if (const StoreResult saved = store_.save(name, *profile, sensorType()); !saved.ok()) {
        s.messages_.show(problem(saved, name), kApplicationTitle);
    }
}

} // namespace qor
