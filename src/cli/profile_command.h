// qorctl export FILE / qorctl import FILE: config.bin, record.ini and the key-row texts as a
// readable profile; qorctl profile: the profiles of DIR/Profiles.
#pragma once
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace qor::cli {

// `command` is "export" or "import". Exit status 0 on success, 1 when a file cannot be read or
// written or the profile is refused, 2 for a usage error.
int runProfileCommand(const std::string& command, const CommonOptions& options,
                      const std::vector<std::string>& args);

// qorctl profile list | save NAME | delete NAME (use NAME runs a session: main.cpp).
int runProfileFilesCommand(const CommonOptions& options, const std::vector<std::string>& args);

} // namespace qor::cli
