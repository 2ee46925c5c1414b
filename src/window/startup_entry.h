// "Start with Windows": the program's value under the user's Run key, and the mark that Task
// Manager (or Settings > Apps > Startup) keeps beside it under Explorer\StartupApproved\Run when
// the user turns an entry off there. The registry itself is behind a port.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The name of both values.
inline constexpr std::u16string_view kStartupValueName = u"Qor";

// The two values of the current user's start-up list. Every call is one registry access;
// a value that is absent reads as nothing, and removing an absent value succeeds.
class StartupRegistry {
public:
    virtual ~StartupRegistry() = default;
    // HKCU\Software\Microsoft\Windows\CurrentVersion\Run, value Qor (a string).
    virtual std::optional<std::u16string> runCommand() const = 0;
    virtual bool setRunCommand(std::u16string_view command) = 0;
    virtual bool removeRunCommand() = 0;
    // ...\Explorer\StartupApproved\Run, value Qor (binary).
    virtual std::optional<std::vector<std::uint8_t>> approval() const = 0;
    virtual bool setApproval(std::span<const std::uint8_t> bytes) = 0;
    virtual bool removeApproval() = 0;
};

// The approval mark of an enabled entry: 02 and eleven zero bytes. A disabled entry has an odd
// first byte (03, followed by the time it was turned off); no mark at all means enabled.
inline constexpr std::uint8_t kApprovedEnabled[12] = {0x02};
bool approvalDisables(std::span<const std::uint8_t> mark);

// What the Run value holds for the executable at `exePath`: the path in double quotes.
std::u16string startupCommand(std::u16string_view exePath);

// The menu item's check: the Run value starts this executable (its path compared without
// regard to case or quotes) and the user has not turned the entry off.
bool startsWithWindows(const StartupRegistry& registry, std::u16string_view exePath);

// The user ticked (`on`) or cleared the menu item. On writes the Run value for this executable
// and lifts a "disabled" mark; off removes the Run value and any mark left for it. True when
// every write succeeded.
bool setStartWithWindows(StartupRegistry& registry, std::u16string_view exePath, bool on);

} // namespace qor
