#include "window/startup_entry.h"

#include "base/text_case.h"

namespace qor {
namespace {

// The program a Run command starts: the quoted first token, or the whole text when it is not
// quoted (a hand-written value may carry no quotes and no arguments).
std::u16string_view commandProgram(std::u16string_view command) {
    while (!command.empty() && command.front() == u' ') {
        command.remove_prefix(1);
    }
    if (command.empty() || command.front() != u'"') {
        return command;
    }
    command.remove_prefix(1);
    return command.substr(0, command.find(u'"'));
}

} // namespace

bool approvalDisables(std::span<const std::uint8_t> mark) {
    return !mark.empty() && (mark[0] & 1) != 0;
}

std::u16string startupCommand(std::u16string_view exePath) {
    std::u16string command = u"\"";
    command += exePath;
    command += u'"';
    return command;
}

bool startsWithWindows(const StartupRegistry& registry, std::u16string_view exePath) {
    const auto command = registry.runCommand();
    if (!command || !equalsIgnoreCase(commandProgram(*command), exePath)) {
        return false;
    }
    const auto mark = registry.approval();
    return !mark || !approvalDisables(*mark);
}

bool setStartWithWindows(StartupRegistry& registry, std::u16string_view exePath, bool on) {
    if (!on) {
        // A mark without its Run value would only turn a later entry of the same name off.
        const bool removed = registry.removeRunCommand();
        return registry.removeApproval() && removed;
    }
    bool ok = registry.setRunCommand(startupCommand(exePath));
    const auto mark = registry.approval();
    if (mark && approvalDisables(*mark)) {
        ok = registry.setApproval(kApprovedEnabled) && ok;
    }
    return ok;
}

} // namespace qor
