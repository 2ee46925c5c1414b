// The native tests run in parallel, and test runs of several checkouts share one temporary
// folder: a test that makes a folder there under a fixed name meets another run's files. Every
// native test takes its folder from test::ScratchDir (support/scratch_dir.h), whose name carries
// the test and the process id. This test reads the tests' sources and names any other place
// that makes a folder under the temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Files allowed to name the temporary folder, relative to tests/: the helper itself, the
// protocol rig's TempDir, whose names are random, and this test.
const char* const kAllowed[] = {"support/scratch_dir.h", "support/protocol_rig.cpp",
                                "settings/scratch_folders_test.cpp"};

// Not native tests run by ctest: the Windows tests run in Wine's own temporary folder of the
// build's prefix, and the benchmarks are run by hand.
bool nativeTest(const fs::path& relative) {
    for (const auto& part : relative) {
        if (part == "win32" || part == "bench") {
            return false;
        }
    }
    const auto ext = relative.extension();
    return ext == ".cpp" || ext == ".h";
}

TEST(ScratchFolders, NativeTestsTakeTheirFoldersFromScratchDir) {
    const fs::path tests = fs::path(QOR_SOURCE_DIR) / "tests";
    ASSERT_TRUE(fs::is_directory(tests)) << tests;
    std::vector<std::string> offenders;
    for (const auto& entry : fs::recursive_directory_iterator(tests)) {
        const fs::path relative = fs::relative(entry.path(), tests);
        if (!entry.is_regular_file() || !nativeTest(relative) ||
            std::find(std::begin(kAllowed), std::end(kAllowed), relative.generic_string()) !=
                std::end(kAllowed)) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(in), {});
        if (text.find("temp_directory_path") != std::string::npos ||
            text.find("\"/tmp") != std::string::npos) {
            offenders.push_back(relative.generic_string());
        }
    }
    EXPECT_TRUE(offenders.empty())
        << "make the folder with test::ScratchDir instead: " << ::testing::PrintToString(offenders);
}

} // namespace
