#include "settings/paths.h"

#include "base/text_replace.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, EveryOccurrenceOfTheExecutableNameIsReplaced) {
    struct Case {
        std::u16string module;
        std::u16string config;
        std::u16string strIni;
        std::u16string folder;
    };
    const Case cases[] = {
        {u"C:\\Program Files\\Qor\\Qor.exe", u"C:\\Program Files\\Qor\\config.bin",
         u"C:\\Program Files\\Qor\\str.ini", u"C:\\Program Files\\Qor\\"},
        // A folder of the same name is replaced too: the rule does not parse the path.
        {u"D:\\Qor.exe\\Qor.exe", u"D:\\config.bin\\config.bin", u"D:\\str.ini\\str.ini",
         u"D:\\\\"},
        {u"D:\\Qor.exeQor.exe", u"D:\\config.binconfig.bin", u"D:\\str.inistr.ini", u"D:\\"},
        {u"E:\\x\\Qor.exe.old", u"E:\\x\\config.bin.old", u"E:\\x\\str.ini.old", u"E:\\x\\.old"},
        // Case-sensitive: any other name leaves all paths equal to the executable's.
        {u"C:\\Tools\\qor.exe", u"C:\\Tools\\qor.exe", u"C:\\Tools\\qor.exe",
         u"C:\\Tools\\qor.exe"},
        {u"C:\\Tools\\Mouse.exe", u"C:\\Tools\\Mouse.exe", u"C:\\Tools\\Mouse.exe",
         u"C:\\Tools\\Mouse.exe"},
        {u"C:\\\u4E2D\u6587\\Qor.exe", u"C:\\\u4E2D\u6587\\config.bin",
         u"C:\\\u4E2D\u6587\\str.ini", u"C:\\\u4E2D\u6587\\"},
        {u"", u"", u"", u""},
    };
    for (const Case& c : cases) {
        const qor::FilePaths paths = qor::buildFilePaths(c.module);
        EXPECT_EQ(paths.config, c.config);
        EXPECT_EQ(paths.strIni, c.strIni);
        EXPECT_EQ(paths.recordIni, qor::replaceAll(c.config, u"config.bin", u"record.ini"));
        EXPECT_EQ(qor::programFolder(c.module), c.folder);
    }
}

TEST(Paths, OnlyWhatFitsTheModulePathBufferCounts) {
    const std::u16string folder = u"C:\\" + std::u16string(1013, u'd') + u"\\";
    ASSERT_EQ(folder.size(), 1017u);
    // 1017 + 6 characters fit in 1023; the seventh character of the name does not.
    const std::u16string cut = folder + u"Qor.exe";
    EXPECT_EQ(qor::buildFilePaths(cut).config, folder + u"Qor.ex");
    const std::u16string fits = folder.substr(1) + u"Qor.exe";
    EXPECT_EQ(qor::buildFilePaths(fits).config, folder.substr(1) + u"config.bin");
}

} // namespace
