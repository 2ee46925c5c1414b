// The current user's start-up list in the registry.
#pragma once
#include "window/startup_entry.h"

namespace qor {

class Win32StartupRegistry final : public StartupRegistry {
public:
    std::optional<std::u16string> runCommand() const override;
    bool setRunCommand(std::u16string_view command) override;
    bool removeRunCommand() override;
    std::optional<std::vector<std::uint8_t>> approval() const override;
    bool setApproval(std::span<const std::uint8_t> bytes) override;
    bool removeApproval() override;
};

} // namespace qor
