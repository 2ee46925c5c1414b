// qorctl export FILE / qorctl import FILE: config.bin and record.ini as a readable profile.
#pragma once
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace qor::cli {

// `command` is "export" or "import". Exit status 0 on success, 1 when a file cannot be read or
// written or the profile is refused, 2 for a usage error.
int runProfileCommand(const std::string& command, const CommonOptions& options,
                      const std::vector<std::string>& args);

} // namespace qor::cli
