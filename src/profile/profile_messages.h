// What the user is told when an operation on the Profiles folder did not go through.
#pragma once
#include "profile/profile_store.h"
#include "ui/strings.h"

#include <string>
#include <string_view>

namespace qor {

// Empty for a result that went through. `name` is the profile the operation was about (for a
// rename, the new name).
std::u16string storeProblemText(const StoreResult& result, std::u16string_view name,
                                std::u16string_view folder, const StringTable& strings);

// A profile that does not read, as the reader says it: the line at fault and why.
std::u16string unreadableText(std::u16string_view name, std::size_t line, std::string_view why,
                              const StringTable& strings);

// The list's label of a profile: its name, marked when its file does not read.
std::u16string profileLabel(const ProfileEntry& entry, const StringTable& strings);

// One line per program named twice and per extra Default profile, for the dialog.
std::vector<std::u16string> clashTexts(const ProfileStore& store, const StringTable& strings);

} // namespace qor
