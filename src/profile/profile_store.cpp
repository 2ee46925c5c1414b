#include "profile/profile_store.h"

#include "settings/file_save.h"

#include <algorithm>
#include <array>

namespace qor {

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

StoreResult failure(StoreResult::Error error, SystemError code = 0) {
    StoreResult r;
    r.error = error;
    r.systemError = code;
    return r;
}

StoreResult badName(ProfileNameProblem problem) {
    StoreResult r;
    r.error = StoreResult::Error::badName;
    r.nameProblem = problem;
    return r;
}

} // namespace

ProfileStore::ProfileStore(FileSystem& files, std::u16string folder)
    : files_(files), folder_(std::move(folder)) {}

std::u16string ProfileStore::pathOfFile(std::u16string_view fileName) const {
    const char16_t separator = folder_.find(u'\\') != folder_.npos ? u'\\' : u'/';
    std::u16string path = folder_;
    if (!path.empty() && path.back() != u'/' && path.back() != u'\\') {
        path += separator;
    }
    return path + std::u16string(fileName);
}

std::u16string ProfileStore::pathOf(std::u16string_view name) const {
    return pathOfFile(std::u16string(name) + std::u16string(kProfileExtension));
}

ProfileEntry ProfileStore::load(std::u16string_view name, std::u16string_view fileName) const {
    ProfileEntry entry;
    entry.name = name;
    entry.fileName = fileName;
    const auto file = files_.openForReading(pathOfFile(fileName));
    if (!file) {
        entry.problem = "the file cannot be opened";
        return entry;
    }
    // In pieces, up to one byte past the largest profile, so that a large file is refused
    // without reading all of it.
    std::string text;
    std::array<std::uint8_t, 16384> piece{};
    while (text.size() <= kMaxProfileSize) {
        const std::size_t n = file->read(piece);
        if (n == 0) {
            break;
        }
        text.append(reinterpret_cast<const char*>(piece.data()), n);
    }
    const ProfileReadResult read = parseProfile(text, SettingsRecord{});
    if (!read.profile) {
        entry.problem = read.error;
        entry.problemLine = read.line;
        return entry;
    }
    entry.programs = read.profile->programs;
    entry.isDefault = read.profile->isDefault;
    entry.text = std::move(text);
    return entry;
}

StoreResult ProfileStore::refresh() {
    entries_.clear();
    const auto names = files_.listFiles(folder_);
    StoreResult result;
    if (!names) {
        result = failure(StoreResult::Error::folderUnreadable);
    } else {
        for (const std::u16string& file : *names) {
            const std::u16string name = profileNameOfFile(file);
            if (!name.empty()) {
                entries_.push_back(load(name, file));
            }
        }
    }
    rebuildIndex();
    return result;
}

void ProfileStore::put(ProfileEntry entry) {
    const auto it = byName_.find(foldedName(entry.name));
    if (it != byName_.end()) {
        entries_[it->second] = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
    rebuildIndex();
}

void ProfileStore::rebuildIndex() {
    std::sort(entries_.begin(), entries_.end(), [](const ProfileEntry& a, const ProfileEntry& b) {
        return foldedName(a.name) < foldedName(b.name);
    });
    byName_.clear();
    byProgram_.clear();
    clashes_.clear();
    ignoredDefaults_.clear();
    default_ = -1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ProfileEntry& e = entries_[i];
        byName_.emplace(foldedName(e.name), i);
        if (!e.readable()) {
            continue;
        }
        for (const std::u16string& program : e.programs) {
            const auto [at, added] = byProgram_.emplace(foldedName(program), i);
            if (!added && at->second != i) {
                clashes_.push_back({program, entries_[at->second].name, e.name});
            }
        }
        if (e.isDefault) {
            if (default_ < 0) {
                default_ = static_cast<std::ptrdiff_t>(i);
            } else {
                ignoredDefaults_.push_back(e.name);
            }
        }
    }
}

const ProfileEntry* ProfileStore::find(std::u16string_view name) const {
    const auto it = byName_.find(foldedName(name));
    return it == byName_.end() ? nullptr : &entries_[it->second];
}

const ProfileEntry* ProfileStore::namingProgram(std::u16string_view program) const {
    if (program.empty()) {
        return nullptr;
    }
    const auto it = byProgram_.find(foldedName(program));
    return it == byProgram_.end() ? nullptr : &entries_[it->second];
}

const ProfileEntry* ProfileStore::defaultProfile() const {
    return default_ < 0 ? nullptr : &entries_[static_cast<std::size_t>(default_)];
}

const ProfileEntry* ProfileStore::profileForProgram(std::u16string_view program) const {
    const ProfileEntry* named = namingProgram(program);
    return named != nullptr ? named : defaultProfile();
}

void ProfileStore::reload(std::u16string_view name) {
    if (const ProfileEntry* entry = find(name)) {
        put(load(entry->name, entry->fileName));
    }
}

ProfileReadResult ProfileStore::read(std::u16string_view name, const SettingsRecord& base,
                                     const KeyRowTexts& baseRows) const {
    const ProfileEntry* entry = find(name);
    if (entry == nullptr) {
        return {std::nullopt, 0, "there is no such profile"};
    }
    if (!entry->readable()) {
        return {std::nullopt, entry->problemLine, entry->problem};
    }
    return parseProfile(entry->text, base, baseRows);
}

StoreResult ProfileStore::writeText(std::u16string_view name, std::u16string_view fileName,
                                    std::string_view text) {
    if (const SystemError error = files_.createFolder(folder_); error != 0) {
        return failure(StoreResult::Error::folderError, error);
    }
    const FileSaveResult saved = saveWholeFile(files_, pathOfFile(fileName), bytesOf(text), true);
    if (saved.route == FileSaveResult::Route::failed) {
        return failure(StoreResult::Error::writeError, saved.error);
    }
    put(load(name, fileName));
    return {};
}

StoreResult ProfileStore::save(std::u16string_view name, const Profile& profile,
                               std::uint8_t sensorType) {
    if (const auto problem = checkProfileName(name); problem != ProfileNameProblem::none) {
        return badName(problem);
    }
    // An existing file keeps the spelling of its name.
    const ProfileEntry* existing = find(name);
    if (existing == nullptr) {
        return writeText(name, std::u16string(name) + std::u16string(kProfileExtension),
                         formatProfile(profile, sensorType));
    }
    // New settings for a profile that exists: its programs and Default mark stay.
    Profile kept = profile;
    if (existing->readable()) {
        kept.programs = existing->programs;
        kept.isDefault = existing->isDefault;
    }
    const std::u16string existingName = existing->name;
    const std::u16string fileName = existing->fileName;
    return writeText(existingName, fileName, formatProfile(kept, sensorType));
}

StoreResult ProfileStore::rename(std::u16string_view from, std::u16string_view to) {
    const ProfileEntry* entry = find(from);
    if (entry == nullptr) {
        return failure(StoreResult::Error::notFound);
    }
    if (const auto problem = checkProfileName(to); problem != ProfileNameProblem::none) {
        return badName(problem);
    }
    // Only the case of its letters may change on the same file.
    const bool sameFile = sameProfileName(entry->name, to);
    if (!sameFile && (find(to) != nullptr || files_.exists(pathOf(to)))) {
        return failure(StoreResult::Error::nameTaken);
    }
    if (const SystemError error = files_.replace(pathOf(*entry), pathOf(to)); error != 0) {
        return failure(StoreResult::Error::writeError, error);
    }
    ProfileEntry moved = *entry;
    moved.name = to;
    moved.fileName = std::u16string(to) + std::u16string(kProfileExtension);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(entry - entries_.data()));
    entries_.push_back(std::move(moved));
    rebuildIndex();
    return {};
}

StoreResult ProfileStore::remove(std::u16string_view name) {
    const ProfileEntry* entry = find(name);
    if (entry == nullptr) {
        return failure(StoreResult::Error::notFound);
    }
    const std::u16string path = pathOf(*entry);
    files_.remove(path);
    if (files_.exists(path)) {
        return failure(StoreResult::Error::notRemoved);
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(entry - entries_.data()));
    rebuildIndex();
    return {};
}

StoreResult ProfileStore::rewriteGeneral(const ProfileEntry& entry,
                                         const std::vector<std::u16string>& programs,
                                         bool isDefault) {
    if (!entry.readable()) {
        StoreResult r = failure(StoreResult::Error::unreadable);
        r.detail = entry.problem;
        r.line = entry.problemLine;
        return r;
    }
    const std::u16string name = entry.name;
    const std::u16string fileName = entry.fileName;
    return writeText(name, fileName, withGeneralKeys(entry.text, programs, isDefault));
}

StoreResult ProfileStore::setPrograms(std::u16string_view name,
                                      const std::vector<std::u16string>& programs) {
    const ProfileEntry* entry = find(name);
    if (entry == nullptr) {
        return failure(StoreResult::Error::notFound);
    }
    for (const std::u16string& p : programs) {
        if (auto problem = programNameProblem(p); !problem.empty()) {
            StoreResult r = failure(StoreResult::Error::badName);
            r.detail = problem;
            return r;
        }
    }
    return rewriteGeneral(*entry, programs, entry->isDefault);
}

StoreResult ProfileStore::setDefault(std::u16string_view name, bool isDefault) {
    const ProfileEntry* entry = find(name);
    if (entry == nullptr) {
        return failure(StoreResult::Error::notFound);
    }
    const std::u16string chosen = entry->name;
    if (isDefault) {
        // The others first: a failure leaves at most no Default, never two.
        std::vector<std::u16string> others;
        for (const ProfileEntry& e : entries_) {
            if (e.isDefault && !sameProfileName(e.name, chosen)) {
                others.push_back(e.name);
            }
        }
        for (const std::u16string& other : others) {
            const ProfileEntry* e = find(other);
            if (StoreResult r = rewriteGeneral(*e, e->programs, false); !r.ok()) {
                return r;
            }
        }
    }
    const ProfileEntry* target = find(chosen);
    return rewriteGeneral(*target, target->programs, isDefault);
}

} // namespace qor
