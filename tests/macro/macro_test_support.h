// Shared pieces of the macro tests: a scratch record.ini, a message recorder, slot helpers.
#pragma once
#include "base/message_sink.h"
#include "base/text_utf8.h"
#include "macro/macro_file.h"
#include "macro/macro_slot.h"
#include "settings/ini_engine.h"
#include "settings/settings_record.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace qor::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    bool operator==(const ShownMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
    return out << '{' << m.caption << ": " << m.text << '}';
}

class RecordingSink final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back({utf16ToUtf8(text), utf16ToUtf8(caption)});
        if (whileShown) {
            // What the user does while the box is open (keys pressed to close it).
            auto action = std::exchange(whileShown, nullptr);
            action();
        }
    }
    std::vector<ShownMessage> shown;
    std::function<void()> whileShown;
};

// The text of record.ini in UTF-8, CRLF kept: a file the engine created is UTF-16LE with BOM,
// one the test wrote in 8-bit text stays so.
inline std::string iniFileText(const std::filesystem::path& file) {
    const std::string bytes = readFile(file);
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        return bytes;
    }
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return utf16ToUtf8(text);
}

// A record.ini section as the program writes it.
inline std::string sectionText(const std::string& name, const std::string& loop,
                               const std::vector<std::string>& items) {
    std::string s = "[" + name + "]\r\nMacroLoopTimes=" + loop +
                    "\r\nItemCount=" + std::to_string(items.size()) + "\r\n";
    for (std::size_t j = 0; j < items.size(); ++j) {
        s += "Item" + std::to_string(j) + "=" + items[j] + "\r\n";
    }
    return s;
}

inline std::vector<MacroItem> items16(std::initializer_list<const char*> items) {
    std::vector<MacroItem> out;
    for (const char* item : items) {
        out.push_back(utf8ToUtf16(item));
    }
    return out;
}

inline std::vector<std::string> utf8List(const std::vector<std::u16string>& list) {
    std::vector<std::string> out;
    for (const auto& s : list) {
        out.push_back(utf16ToUtf8(s));
    }
    return out;
}

using SlotBytes = std::array<std::uint8_t, kMacroSlotBytes>;

// A slot of the given leading bytes, zero behind.
inline SlotBytes slotOf(std::initializer_list<std::uint8_t> leading) {
    SlotBytes s{};
    std::copy(leading.begin(), leading.end(), s.begin());
    return s;
}

inline SlotBytes slotBytes(const SettingsRecord& record, std::size_t k) {
    SlotBytes s{};
    const ConstMacroSlot slot = macroSlotOf(record, k);
    std::copy(slot.begin(), slot.end(), s.begin());
    return s;
}

inline void fillSlot(SettingsRecord& record, std::size_t k, std::uint8_t value) {
    const MacroSlot slot = macroSlotOf(record, k);
    std::fill(slot.begin(), slot.end(), value);
}

} // namespace qor::test
