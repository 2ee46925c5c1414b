// Rebuilding the bytes of the twelve macro slots of the settings record from record.ini, as
// "Confirm" does.
#pragma once
#include "macro/macro_file.h"
#include "macro/macro_slot.h"
#include "settings/settings_record.h"

#include <cstddef>

namespace qor {

// Encodes the k-th section of the file (k from 0, within the 255-character window) into slot k;
// sections past the twelfth are ignored and slots without a section keep what they hold. Does
// nothing when the file does not exist. Returns the number of sections encoded.
std::size_t rebuildMacroSlotBytes(const MacroFile& file, SettingsRecord& record);

// One section into one slot: the loop count (1 when out of range), then for ItemCount 0 a slot
// of zeros, for a negative ItemCount the rest left as it is, otherwise the event pairs.
void encodeStoredMacro(const MacroFileView& file, std::u16string_view name, MacroSlot slot);

} // namespace qor
