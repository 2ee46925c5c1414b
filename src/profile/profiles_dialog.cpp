#include "profile/profiles_dialog.h"

#include "profile/profile_messages.h"

#include <algorithm>

namespace qor {
namespace {

// The layout, on the dialog's background (its wells are drawn by the skin).
constexpr Rect kProfileListRect{14, 40, 148, 234};
constexpr Rect kNameEditRect{161, 40, 258, 54};
constexpr Rect kRenameRect{265, 36, 370, 57};
constexpr Rect kProgramsLabelRect{158, 60, 370, 78};
constexpr Rect kProgramListRect{160, 82, 368, 116};
// Under the programs: a clash, or why a name was refused. In place of the programs: why the
// chosen profile's file does not read.
constexpr Rect kStatusRect{158, 119, 370, 161};
constexpr Rect kUnreadableRect{160, 82, 368, 157};
constexpr Rect kAddProgramRect{158, 163, 263, 184};
constexpr Rect kRemoveRect{265, 163, 370, 184};
constexpr Rect kDefaultCheckRect{158, 192, 174, 208};
constexpr Rect kDefaultTextRect{180, 190, 370, 210};
constexpr Rect kDeleteRect{158, 215, 263, 236};
constexpr Rect kUseNowRect{265, 215, 370, 236};
// The programs with a window, over the programs and the buttons under them while open.
constexpr Rect kRunningListRect{158, 82, 370, kDialogListBottom};

constexpr Rect kNameDialogLabelRect{60, 95, 324, 125};
constexpr Rect kNameDialogEditRect{63, 131, 321, 145};
constexpr Rect kNameDialogProblemRect{30, 152, 354, 240};

bool sameProgram(std::u16string_view a, std::u16string_view b) {
    return sameProfileName(a, b); // file names compare as profile names do
}

bool listsProgram(const std::vector<std::u16string>& programs, std::u16string_view program) {
    return std::any_of(programs.begin(), programs.end(),
                       [&](const auto& p) { return sameProgram(p, program); });
}

void textButton(Scene& s, const Rect& rect, std::u16string_view caption) {
    s.image(u"/button-normal.png", rect);
    s.text(caption, rect, TextAlign::Centre);
}

// Why `name` is refused as a profile's new name; empty when it is taken.
std::u16string nameProblem(std::u16string_view name, bool taken, std::u16string_view folder,
                           const StringTable& strings) {
    StoreResult r;
    if (const auto problem = checkProfileName(name); problem != ProfileNameProblem::none) {
        r.error = StoreResult::Error::badName;
        r.nameProblem = problem;
    } else if (taken) {
        r.error = StoreResult::Error::nameTaken;
    }
    return storeProblemText(r, name, folder, strings);
}

} // namespace

std::vector<RunningProgram> programChoices(std::vector<RunningProgram> running,
                                           const std::vector<std::u16string>& listed) {
    std::vector<RunningProgram> out;
    for (auto& r : running) {
        if (r.file.empty() || listsProgram(listed, r.file) ||
            std::any_of(out.begin(), out.end(),
                        [&](const auto& o) { return sameProgram(o.file, r.file); })) {
            continue;
        }
        out.push_back(std::move(r));
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return foldedName(a.file) < foldedName(b.file);
    });
    return out;
}

std::vector<ProfileChange> profileChanges(const std::vector<ManagedProfile>& before,
                                          const std::vector<ManagedProfile>& after) {
    using Kind = ProfileChange::Kind;
    std::vector<ProfileChange> out;
    for (const auto& p : after) {
        if (p.deleted) {
            out.push_back({Kind::Delete, p.original, {}, {}, false});
        }
    }
    for (const auto& p : after) {
        if (!p.deleted && p.name != p.original) {
            out.push_back({Kind::Rename, p.original, p.name, {}, false});
        }
    }
    // The store keeps one Default mark: a mark that moves is cleared where it was before it is
    // set elsewhere.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
            const auto& now = after[i];
            const auto& was = before[i];
            if (now.deleted || !now.readable) {
                continue;
            }
            if (pass == 0 && now.programs != was.programs) {
                out.push_back({Kind::SetPrograms, now.name, {}, now.programs, false});
            }
            const bool clears = was.isDefault && !now.isDefault;
            const bool sets = !was.isDefault && now.isDefault;
            if ((pass == 0 && clears) || (pass == 1 && sets)) {
                out.push_back({Kind::SetDefault, now.name, {}, {}, now.isDefault});
            }
        }
    }
    return out;
}

// --- Manage Profiles ---------------------------------------------------------------------------

ManageProfilesDialog::ManageProfilesDialog(const ProfileStore& store, std::u16string_view active,
                                           const StringTable& strings, RunningProgramLister running)
    : PopupListContent(kRunningList, kAddProgramRect, kRunningListRect), strings_(strings),
      folder_(store.folder()), running_(std::move(running)) {
    for (const auto& e : store.profiles()) {
        rows_.push_back({e.name, e.name, e.programs, e.isDefault, e.readable(), false});
        problems_.push_back(e.problem);
        problemLines_.push_back(e.problemLine);
    }
    originals_ = rows_;
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (sameProfileName(rows_[i].name, active)) {
            first = i;
        }
    }
    if (!first && !rows_.empty()) {
        first = 0;
    }
    select(first);
}

std::vector<std::size_t> ManageProfilesDialog::shownRows() const {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!rows_[i].deleted) {
            out.push_back(i);
        }
    }
    return out;
}

ManagedProfile* ManageProfilesDialog::current() {
    return selected_ ? &rows_[*selected_] : nullptr;
}

const ManagedProfile* ManageProfilesDialog::current() const {
    return selected_ ? &rows_[*selected_] : nullptr;
}

void ManageProfilesDialog::select(std::optional<std::size_t> row) {
    selected_ = row;
    program_.reset();
    nameText_ = row ? rows_[*row].name : std::u16string();
    status_.clear();
    if (const ManagedProfile* p = current(); p != nullptr && !p->readable) {
        status_ = unreadableText(p->name, problemLines_[*row], problems_[*row], strings_);
    }
}

void ManageProfilesDialog::chooseItem(int listId, std::size_t item) {
    if (listId == kProfileList) {
        closeList();
        const auto shown = shownRows();
        if (item < shown.size()) {
            select(shown[item]);
        }
        return;
    }
    if (listId == kProgramList) {
        closeList();
        if (const ManagedProfile* p = current(); p != nullptr && item < p->programs.size()) {
            program_ = item;
        }
        return;
    }
    PopupListContent::chooseItem(listId, item);
}

void ManageProfilesDialog::textChanged(int editId, std::u16string_view text) {
    if (editId == kNameEdit) {
        nameText_ = text;
    }
}

void ManageProfilesDialog::opening() {
    const ManagedProfile* p = current();
    offered_ = programChoices(running_ ? running_() : std::vector<RunningProgram>{},
                              p != nullptr ? p->programs : std::vector<std::u16string>{});
    entries().clear();
    for (const auto& r : offered_) {
        entries().push_back(r.title.empty() ? r.file : r.file + u"  \u2013  " + r.title);
    }
}

void ManageProfilesDialog::chosen(std::size_t item) {
    ManagedProfile* p = current();
    if (p == nullptr || !p->readable || item >= offered_.size()) {
        return;
    }
    p->programs.push_back(offered_[item].file);
    program_ = p->programs.size() - 1;
}

bool ManageProfilesDialog::pressBox(int x, int y) {
    // "Add Program…" opens its list only for a profile whose file reads.
    if (kAddProgramRect.contains(x, y)) {
        const ManagedProfile* p = current();
        if (p == nullptr || !p->readable) {
            closeList();
            return true;
        }
        return PopupListContent::pressBox(x, y);
    }
    struct Action {
        Rect rect;
        void (ManageProfilesDialog::*run)();
    };
    static constexpr Action kActions[] = {
        {kRenameRect, &ManageProfilesDialog::rename},
        {kRemoveRect, &ManageProfilesDialog::removeProgram},
        {kDefaultCheckRect, &ManageProfilesDialog::toggleDefault},
        {kDefaultTextRect, &ManageProfilesDialog::toggleDefault},
        {kDeleteRect, &ManageProfilesDialog::deleteProfile},
        {kUseNowRect, &ManageProfilesDialog::useCurrent},
    };
    for (const auto& a : kActions) {
        if (a.rect.contains(x, y)) {
            closeList();
            if (current() != nullptr) {
                (this->*a.run)();
            }
            return true;
        }
    }
    return false;
}

void ManageProfilesDialog::rename() {
    ManagedProfile& p = *current();
    if (nameText_ == p.name) {
        return;
    }
    // Another profile's name, or the name one had when the dialog opened (the renames run one
    // after the other, so taking it would collide), unless that one is being deleted.
    const bool taken = std::any_of(rows_.begin(), rows_.end(), [&](const ManagedProfile& o) {
        return &o != &p && !o.deleted &&
               (sameProfileName(o.name, nameText_) || sameProfileName(o.original, nameText_));
    });
    status_ = nameProblem(nameText_, taken, folder_, strings_);
    if (status_.empty()) {
        p.name = nameText_;
    }
}

void ManageProfilesDialog::removeProgram() {
    ManagedProfile& p = *current();
    if (!p.readable || !program_ || *program_ >= p.programs.size()) {
        return;
    }
    p.programs.erase(p.programs.begin() + static_cast<std::ptrdiff_t>(*program_));
    program_.reset();
}

void ManageProfilesDialog::toggleDefault() {
    ManagedProfile& p = *current();
    if (!p.readable) {
        return;
    }
    const bool on = !p.isDefault;
    for (auto& o : rows_) {
        o.isDefault = false;
    }
    p.isDefault = on;
}

void ManageProfilesDialog::deleteProfile() {
    current()->deleted = true;
    const auto shown = shownRows();
    select(shown.empty() ? std::nullopt : std::optional<std::size_t>(shown.front()));
}

void ManageProfilesDialog::useCurrent() {
    const ManagedProfile& p = *current();
    if (!p.readable) {
        return; // select() has said why it does not read
    }
    useNow_ = p.name;
}

std::optional<std::u16string> ManageProfilesDialog::clashOf(std::u16string_view program) const {
    const ManagedProfile* p = current();
    // The first profile by name that names a program gets it.
    for (const auto& o : rows_) {
        if (&o != p && !o.deleted && o.readable && listsProgram(o.programs, program) &&
            foldedName(o.name) < foldedName(p->name)) {
            return o.name;
        }
    }
    return std::nullopt;
}

std::vector<std::u16string> ManageProfilesDialog::programItems() const {
    std::vector<std::u16string> items;
    if (current() == nullptr) {
        return items;
    }
    for (const auto& program : current()->programs) {
        // Marked: the sentence under the list names the profile that has it.
        items.push_back(clashOf(program) ? program + u" *" : program);
    }
    return items;
}

std::u16string ManageProfilesDialog::statusText() const {
    const ManagedProfile* p = current();
    if (!status_.empty() || p == nullptr || !p->readable) {
        return status_;
    }
    for (const auto& program : p->programs) {
        if (const auto winner = clashOf(program)) {
            return fillText(strings_.text(ProfileText::ProgramClash), program, *winner, p->name);
        }
    }
    return {};
}

Scene ManageProfilesDialog::scene() const {
    Scene s;
    std::vector<std::u16string> names;
    std::optional<std::size_t> shownSelection;
    const auto shown = shownRows();
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const ManagedProfile& p = rows_[shown[k]];
        std::u16string item = p.name;
        if (p.isDefault) {
            item += u" (" + std::u16string(strings_.text(ProfileText::Default)) + u")";
        }
        if (!p.readable) {
            // Short, for a narrow list: choosing the profile says in full why it does not read.
            item += u" (!)";
        }
        names.push_back(std::move(item));
        if (selected_ == shown[k]) {
            shownSelection = k;
        }
    }
    s.controls.push_back(
        listControl(kProfileList, kProfileListRect, std::move(names), shownSelection));
    const ManagedProfile* p = current();
    SceneControl name = editControl(kNameEdit, kNameEditRect, nameText_, TextAlign::Left);
    name.enabled = p != nullptr;
    s.controls.push_back(std::move(name));
    textButton(s, kRenameRect, strings_.text(ProfileText::Rename));
    s.labelAbove(strings_.text(ProfileText::Programs), kProgramsLabelRect, TextAlign::Left);
    if (p != nullptr && !p->readable) {
        s.wrappedText(status_, kUnreadableRect, TextAlign::Left, ColourRole::Warning);
    } else {
        s.controls.push_back(listControl(kProgramList, kProgramListRect, programItems(), program_));
        s.wrappedText(statusText(), kStatusRect, TextAlign::Left, ColourRole::Warning);
    }
    textButton(s, kAddProgramRect, strings_.text(ProfileText::AddProgram));
    textButton(s, kRemoveRect, strings_.text(ProfileText::Remove));
    s.image(p != nullptr && p->isDefault ? u"/PaneMakingTick.png" : u"/Pane.png",
            kDefaultCheckRect);
    s.text(strings_.text(ProfileText::Default), kDefaultTextRect, TextAlign::Left);
    textButton(s, kDeleteRect, strings_.text(ProfileText::Delete));
    textButton(s, kUseNowRect, strings_.text(ProfileText::UseNow));
    addList(s);
    return s;
}

// --- a new profile's name ----------------------------------------------------------------------

ProfileNameDialog::ProfileNameDialog(const ProfileStore& store, const StringTable& strings)
    : store_(store), strings_(strings) {}

void ProfileNameDialog::textChanged(int editId, std::u16string_view text) {
    if (editId == kNameEdit) {
        name_ = text;
    }
}

std::u16string ProfileNameDialog::problem() const {
    return nameProblem(name_, store_.find(name_) != nullptr, store_.folder(), strings_);
}

Scene ProfileNameDialog::scene() const {
    Scene s;
    s.wrappedText(strings_.text(ProfileText::NamePrompt), kNameDialogLabelRect, TextAlign::Left,
                  ColourRole::White);
    s.controls.push_back(editControl(kNameEdit, kNameDialogEditRect, name_, TextAlign::Left));
    // An empty box is where everyone starts: no complaint until something is typed.
    if (!name_.empty()) {
        s.wrappedText(problem(), kNameDialogProblemRect, TextAlign::Left, ColourRole::Warning);
    }
    return s;
}

} // namespace qor
