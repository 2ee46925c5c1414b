// qorctl macros [--dir DIR] [--save]: the macro slots that "Confirm" would build from
// DIR/record.ini over the slots of DIR/config.bin, one line of 256 hex digits per slot.
#pragma once

namespace qor {

// argv holds the arguments after the word "macros". Exit status 0 on success, 1 when config.bin
// cannot be loaded or saved, 2 for a usage error.
int runMacrosCommand(int argc, char** argv);

} // namespace qor
