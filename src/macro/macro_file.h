// record.ini: one section per macro, in macro-number order. The section holds
// "MacroLoopTimes", "ItemCount" and "Item0".."Item<n-1>"; the program reads and writes it only
// through the INI engine, never as a whole.
#pragma once
#include "macro/macro_item.h"
#include "settings/ini_engine.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

inline constexpr std::u16string_view kLoopTimesKey = u"MacroLoopTimes";
inline constexpr std::u16string_view kItemCountKey = u"ItemCount";
// Only the first 255 characters of the section list are walked: a name whose terminating zero
// lies beyond them is not seen.
inline constexpr std::size_t kSectionListWindow = 255;
// A hand-edited ItemCount is believed up to this many items; the program itself writes far fewer
// (a slot holds 63 events).
inline constexpr int kMacroItemsReadMax = 4096;

// "Item%d".
std::u16string itemKey(std::size_t index);

// The names found by walking a section-name buffer as the page, the macro key dialog and the slot
// rebuild do: names in order, the walk ending at a double zero or after position 254.
std::vector<std::u16string> walkSectionList(std::u16string_view buffer);

// Reads over one loaded state of the file, so that one rebuild or one page fill sees one file.
class MacroFileView {
public:
    MacroFileView() = default;
    explicit MacroFileView(IniDocument document) : document_(std::move(document)) {}

    // The macro names in file order, subject to the 255-character window.
    std::vector<std::u16string> macroNames() const;
    // The text of "MacroLoopTimes"; empty when missing.
    std::u16string loopText(std::u16string_view name) const;
    // "ItemCount" by plain decimal conversion; 0 when missing or not a number; may be negative.
    int itemCount(std::u16string_view name) const;
    // The text of "Item%d"; empty when missing.
    MacroItem item(std::u16string_view name, std::size_t index) const;
    // The texts of Item0..Item<n-1> for the stored ItemCount n (none when n is 0 or below).
    std::vector<MacroItem> items(std::u16string_view name) const;

private:
    IniDocument document_;
};

// One macro's section written anew at the end of the document: "MacroLoopTimes", "ItemCount"
// and the items, in that order.
void writeMacroSection(IniDocument& document, std::u16string_view name,
                       std::u16string_view loopText, const std::vector<MacroItem>& items);

class MacroFile {
public:
    MacroFile(const IniEngine& engine, std::filesystem::path path)
        : engine_(&engine), path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }
    bool exists() const;
    // The file as it is now; an empty view when it is missing or unreadable.
    MacroFileView read() const;

    std::vector<std::u16string> listMacros() const { return read().macroNames(); }
    std::u16string readLoopText(std::u16string_view name) const { return read().loopText(name); }
    std::vector<MacroItem> readItems(std::u16string_view name) const { return read().items(name); }

    // "MacroLoopTimes" = "%ld"; creates the section at the end of the file when it is missing.
    void writeLoopCount(std::u16string_view name, long loops) const;
    // Removes the section and writes it anew at the end of the file: "MacroLoopTimes",
    // "ItemCount" and the items, in that order. The file changes in one step.
    void saveMacro(std::u16string_view name, std::u16string_view loopText,
                   const std::vector<MacroItem>& items) const;
    // Removes the section with all its keys.
    void deleteMacro(std::u16string_view name) const;

private:
    const IniEngine* engine_;
    std::filesystem::path path_;
};

} // namespace qor
