#include "window/win32/startup_registry_win32.h"

#include <windows.h>

#include <algorithm>

namespace qor {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kApprovedKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

const wchar_t* valueName() {
    return reinterpret_cast<const wchar_t*>(kStartupValueName.data());
}

// The value's bytes and type; nothing when the value (or its key) is absent or unreadable.
std::optional<std::vector<std::uint8_t>> readValue(const wchar_t* key, DWORD expectedType) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, valueName(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS ||
        type != expectedType) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(size);
    if (RegGetValueW(HKEY_CURRENT_USER, key, valueName(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     bytes.data(), &size) != ERROR_SUCCESS ||
        type != expectedType) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

bool writeValue(const wchar_t* key, DWORD type, const void* data, std::size_t size) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key, valueName(), type, data,
                           static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool removeValue(const wchar_t* key) {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, key, valueName());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace

std::optional<std::u16string> Win32StartupRegistry::runCommand() const {
    const auto bytes = readValue(kRunKey, REG_SZ);
    if (!bytes) {
        return std::nullopt;
    }
    // RegGetValueW terminates the string; the text ends at its first null.
    std::u16string text(bytes->size() / sizeof(char16_t), u'\0');
    std::copy_n(bytes->data(), text.size() * sizeof(char16_t),
                reinterpret_cast<std::uint8_t*>(text.data()));
    text.resize(text.find(u'\0') == std::u16string::npos ? text.size() : text.find(u'\0'));
    return text;
}

bool Win32StartupRegistry::setRunCommand(std::u16string_view command) {
    const std::u16string text(command);
    return writeValue(kRunKey, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

bool Win32StartupRegistry::removeRunCommand() {
    return removeValue(kRunKey);
}

std::optional<std::vector<std::uint8_t>> Win32StartupRegistry::approval() const {
    return readValue(kApprovedKey, REG_BINARY);
}

bool Win32StartupRegistry::setApproval(std::span<const std::uint8_t> bytes) {
    return writeValue(kApprovedKey, REG_BINARY, bytes.data(), bytes.size());
}

bool Win32StartupRegistry::removeApproval() {
    return removeValue(kApprovedKey);
}

} // namespace qor
