// qorctl show: the settings of config.bin in readable form.
#pragma once
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace qor::cli {

int runShowCommand(const CommonOptions& options, const std::vector<std::string>& args);

} // namespace qor::cli
