#include "profile/profile_messages.h"

#include "base/text_utf8.h"

namespace qor {

namespace {

std::u16string number(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

ProfileText nameText(ProfileNameProblem problem) {
    switch (problem) {
    case ProfileNameProblem::empty:
        return ProfileText::NameEmpty;
    case ProfileNameProblem::tooLong:
        return ProfileText::NameTooLong;
    case ProfileNameProblem::badCharacter:
        return ProfileText::NameBadCharacter;
    case ProfileNameProblem::reservedName:
        return ProfileText::NameReserved;
    case ProfileNameProblem::trailingDotOrSpace:
    case ProfileNameProblem::none:
        break;
    }
    return ProfileText::NameTrailing;
}

} // namespace

std::u16string unreadableText(std::u16string_view name, std::size_t line, std::string_view why,
                              const StringTable& strings) {
    const std::u16string reason = utf8ToUtf16(why);
    if (line == 0) {
        return fillText(strings.text(ProfileText::UnreadableFile), name, {}, reason);
    }
    return fillText(strings.text(ProfileText::Unreadable), name, number(line), reason);
}

std::u16string storeProblemText(const StoreResult& result, std::u16string_view name,
                                std::u16string_view folder, const StringTable& strings) {
    using Error = StoreResult::Error;
    switch (result.error) {
    case Error::none:
        return {};
    case Error::badName:
        if (!result.detail.empty()) {
            return fillText(strings.text(ProfileText::BadProgram), utf8ToUtf16(result.detail));
        }
        return fillText(strings.text(nameText(result.nameProblem)), name);
    case Error::nameTaken:
        return fillText(strings.text(ProfileText::NameTaken), name);
    case Error::notFound:
        return fillText(strings.text(ProfileText::NotFound), name);
    case Error::unreadable:
        return unreadableText(name, result.line, result.detail, strings);
    case Error::folderError:
        return fillText(strings.text(ProfileText::FolderError), folder, number(result.systemError));
    case Error::folderUnreadable:
        return fillText(strings.text(ProfileText::FolderUnreadable), folder);
    case Error::writeError:
        return fillText(strings.text(ProfileText::WriteError), name, number(result.systemError));
    case Error::notRemoved:
        return fillText(strings.text(ProfileText::NotRemoved), name);
    }
    return {};
}

std::u16string profileLabel(const ProfileEntry& entry, const StringTable& strings) {
    if (entry.readable()) {
        return entry.name;
    }
    return entry.name + std::u16string(strings.text(ProfileText::UnreadableMark));
}

std::vector<std::u16string> clashTexts(const ProfileStore& store, const StringTable& strings) {
    std::vector<std::u16string> lines;
    for (const ProgramClash& c : store.clashes()) {
        lines.push_back(
            fillText(strings.text(ProfileText::ProgramClash), c.program, c.used, c.ignored));
    }
    for (const std::u16string& name : store.ignoredDefaults()) {
        lines.push_back(fillText(strings.text(ProfileText::DefaultIgnored), name));
    }
    return lines;
}

} // namespace qor
