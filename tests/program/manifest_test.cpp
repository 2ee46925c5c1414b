// The program lays its skin, hit areas and fonts out in 96-DPI pixels and scales none of them:
// the manifest must leave the scaling to the system (DPI-unaware, with GDI scaling for sharp
// text). A per-monitor declaration would shrink the window and its texts on high-DPI screens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

std::string manifest() {
    std::ifstream in(std::filesystem::path(QOR_SOURCE_DIR) / "resources/qor.manifest",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text of the first element named `name` (any namespace prefix), or nothing.
std::string element(const std::string& xml, const std::string& name) {
    std::smatch m;
    const std::regex pattern("<(\\w+:)?" + name + "\\b[^>]*>([^<]*)</");
    return std::regex_search(xml, m, pattern) ? m[2].str() : "<none>";
}

TEST(Manifest, LeavesDpiScalingToTheSystem) {
    const std::string xml = manifest();
    ASSERT_FALSE(xml.empty());
    const struct {
        const char* element;
        const char* value;
    } cases[] = {
        {"dpiAware", "false"},
        {"gdiScaling", "true"},
        // dpiAwareness overrides dpiAware on Windows 10 1607 and later: it must be absent.
        {"dpiAwareness", "<none>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(element(xml, c.element), c.value) << c.element;
    }
    // No elevation: the saves must work for a standard user as it is.
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(xml.find("PerMonitor"), std::string::npos);
}

} // namespace
