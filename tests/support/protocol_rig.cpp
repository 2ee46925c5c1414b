#include "support/protocol_rig.h"

#include <random>
#include <sstream>

namespace qor::test {

TraceLine parseTraceLine(const std::string& line) {
    TraceLine t;
    std::istringstream in(line);
    in >> t.verb;
    if (t.verb == "sleep") {
        in >> t.pause;
        return t;
    }
    std::string hex;
    while (in >> hex) {
        t.bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
    }
    return t;
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("qor-protocol-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> requests(const std::vector<std::string>& trace) {
    std::vector<std::string> out;
    for (const std::string& line : trace) {
        if (line.starts_with("set_feature ") && line.size() >= 17) {
            out.push_back(line.substr(12, 5));
        }
    }
    return out;
}

} // namespace qor::test
