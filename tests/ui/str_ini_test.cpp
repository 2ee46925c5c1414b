#include "ui/str_ini.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using qor::KeySet;
using qor::StrIniValues;

TEST(StrIni, KeyRowKeys) {
    struct Case {
        KeySet set;
        std::size_t row;
        std::u16string_view key;
    };
    const Case cases[] = {{KeySet::A, 1, u"Item1"},    {KeySet::A, 12, u"Item12"},
                          {KeySet::B, 1, u"Item13"},   {KeySet::B, 5, u"Item53"},
                          {KeySet::B, 10, u"Item103"}, {KeySet::B, 12, u"Item123"}};
    for (const Case& c : cases) {
        EXPECT_EQ(qor::keyRowKey(c.set, c.row), c.key);
    }
}

TEST(StrIni, ColourComponentIsThePlainDecimalsLowByte) {
    struct Case {
        std::u16string_view text;
        std::uint8_t value;
    };
    const Case cases[] = {{u"300", 44},        {u"", 0},
                          {u"0", 0},           {u"255", 255},
                          {u"256", 0},         {u"-1", 255},
                          {u"+7", 7},          {u" \t 12abc", 12},
                          {u"abc", 0},         {u"0x1F", 0},
                          {u"- 5", 0},         {u"1 2", 1},
                          {u"\u0663", 0},      {u"99999999999", 255}, // saturates at INT_MAX
                          {u"-99999999999", 0}};                      // and INT_MIN
    for (const Case& c : cases) {
        EXPECT_EQ(qor::colourComponent(c.text), c.value)
            << std::string(c.text.begin(), c.text.end());
    }
}

TEST(StrIni, SkinFolderComesFromTheProgramFolderAndTheSkinName) {
    EXPECT_EQ(qor::skinsRoot(u"C:\\Qor\\"), u"C:\\Qor\\/Skins");
    EXPECT_EQ(qor::skinFolder(u"C:\\Qor\\", u"Dark"), u"C:\\Qor\\/Skins/Dark");
    EXPECT_EQ(qor::skinFolder(u"C:\\Qor\\", u""), u"C:\\Qor\\/Skins/");
}

TEST(StrIni, FirstRunTextsSetRowsOneToEightOfBothSets) {
    qor::KeyRowTexts texts;
    for (const KeySet set : {KeySet::A, KeySet::B}) {
        for (std::size_t i = 0; i < qor::kKeyRows; ++i) {
            texts.rows(set)[i] = u"old";
        }
    }
    qor::setFirstRunKeyRowTexts(texts, qor::StringTable(qor::Language::SimplifiedChinese));
    const std::u16string expected[12] = {u"左键",       u"右键",  u"中键",  u"前进方向键",
                                         u"后退方向键", u"DPI +", u"DPI -", u"按键关闭",
                                         u"old",        u"old",   u"old",   u"old"};
    for (const KeySet set : {KeySet::A, KeySet::B}) {
        for (std::size_t i = 0; i < qor::kKeyRows; ++i) {
            EXPECT_EQ(texts.rows(set)[i], expected[i]) << i;
        }
    }
    qor::setFirstRunKeyRowTexts(texts, qor::StringTable(qor::Language::English));
    EXPECT_EQ(texts.setB[0], u"Left Click");
    EXPECT_EQ(texts.setB[7], u"Key Off");
}

class StrIniFile : public ::testing::Test {
protected:
    void writeBytes(const std::string& bytes) const {
        std::ofstream(file_, std::ios::binary) << bytes;
    }
    std::string readBytes() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The file's lines, for a UTF-16LE file with BOM holding ASCII only.
    std::vector<std::string> asciiLinesOfUtf16() const {
        const std::string bytes = readBytes();
        EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
        std::vector<std::string> lines(1);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const char c = bytes[i];
            if (c == '\n') {
                lines.emplace_back();
            } else if (c != '\r') {
                lines.back().push_back(c);
            }
        }
        if (lines.back().empty()) {
            lines.pop_back();
        }
        return lines;
    }

    static qor::KeyRowTexts numberedTexts(std::u16string_view prefix) {
        qor::KeyRowTexts texts;
        for (std::size_t i = 0; i < qor::kKeyRows; ++i) {
            const std::string n = std::to_string(i + 1);
            texts.setA[i] = std::u16string(prefix) + u"A" + std::u16string(n.begin(), n.end());
            texts.setB[i] = std::u16string(prefix) + u"B" + std::u16string(n.begin(), n.end());
        }
        return texts;
    }

    qor::IniEngine ini_;
    qor::test::ScratchDir scratch_{"qor-strini"};
    std::filesystem::path file_ = scratch_.path() / "str.ini";
};

TEST_F(StrIniFile, MissingFileReadsAsEmpty) {
    const StrIniValues values = qor::readStrIni(ini_, file_, u"Setting-EN");
    EXPECT_EQ(values.rows, qor::KeyRowTexts{});
    EXPECT_EQ(qor::textColour(values), (qor::TextColour{0, 0, 0}));
    EXPECT_TRUE(values.skinName.empty());
    EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(StrIniFile, NewFileGetsTheRowsInOrderAsUtf16) {
    ASSERT_TRUE(qor::writeKeyRowTexts(ini_, file_, u"Setting-EN", numberedTexts(u"t")));
    std::vector<std::string> expected{"[Setting-EN]"};
    for (int row = 1; row <= 12; ++row) {
        expected.push_back("Item" + std::to_string(row) + "=tA" + std::to_string(row));
    }
    for (int row = 1; row <= 12; ++row) {
        expected.push_back("Item" + std::to_string(row) + "3=tB" + std::to_string(row));
    }
    EXPECT_EQ(asciiLinesOfUtf16(), expected);
}

TEST_F(StrIniFile, ChineseTextsAndSkinValuesSurviveAWriteReadCycle) {
    qor::KeyRowTexts texts = numberedTexts(u"");
    qor::setFirstRunKeyRowTexts(texts, qor::StringTable(qor::Language::TraditionalChinese));
    texts.setB[11] = u"巨集 \u2019x\u2019 \U0001F5B1";
    ASSERT_TRUE(qor::writeKeyRowTexts(ini_, file_, u"Setting-CHT", texts));
    ASSERT_TRUE(qor::writeSkinSettings(ini_, file_, {1, 128, 255}, u"深色 Skin"));
    const StrIniValues values = qor::readStrIni(ini_, file_, u"Setting-CHT");
    EXPECT_EQ(values.rows, texts);
    EXPECT_EQ(values.red, u"1");
    EXPECT_EQ(values.green, u"128");
    EXPECT_EQ(values.blue, u"255");
    EXPECT_EQ(values.skinName, u"深色 Skin");
    EXPECT_EQ(qor::textColour(values), (qor::TextColour{1, 128, 255}));
    // Another language's section is separate.
    EXPECT_EQ(qor::readStrIni(ini_, file_, u"Setting-EN").rows, qor::KeyRowTexts{});
}

TEST_F(StrIniFile, TraditionalChineseWritesOnlyItsOwnSection) {
    const std::string original = "[Setting-EN]\r\nItem1=Left Click\r\nItem53=DPI +\r\n"
                                 "[Setting-CHS]\r\nItem1=x\r\n"
                                 "[Skins]\r\nRColor=300\r\nGColor= 17\r\nBColor=\r\nPath=Blue\r\n";
    writeBytes(original);
    ASSERT_TRUE(qor::writeKeyRowTexts(ini_, file_, u"Setting-CHT", numberedTexts(u"c")));
    const std::string now = readBytes();
    // The new section is appended; every byte before it stays.
    EXPECT_EQ(now.substr(0, original.size()), original);
    EXPECT_EQ(now.substr(original.size(), 15), "[Setting-CHT]\r\n");
    const StrIniValues en = qor::readStrIni(ini_, file_, u"Setting-EN");
    EXPECT_EQ(en.rows.setA[0], u"Left Click");
    EXPECT_EQ(en.rows.setB[4], u"DPI +");
    EXPECT_EQ(qor::readStrIni(ini_, file_, u"Setting-CHT").rows, numberedTexts(u"c"));
    EXPECT_EQ(qor::textColour(en), (qor::TextColour{44, 17, 0}));
    EXPECT_EQ(en.skinName, u"Blue");
}

TEST_F(StrIniFile, ExistingRowsAreReplacedInPlaceAndRewritingChangesNothing) {
    writeBytes("[setting-en]\r\nitem13=old B1\r\nItem1=old A1\r\n[Skins]\r\nPath=\r\n");
    const qor::KeyRowTexts texts = numberedTexts(u"n");
    ASSERT_TRUE(qor::writeKeyRowTexts(ini_, file_, u"Setting-EN", texts));
    const std::string once = readBytes();
    EXPECT_TRUE(once.starts_with("[setting-en]\r\nitem13=nB1\r\nItem1=nA1\r\nItem2=nA2\r\n"))
        << once;
    EXPECT_NE(once.find("[Skins]\r\nPath=\r\n"), std::string::npos);
    EXPECT_EQ(once.find("[Setting-EN]"), std::string::npos);
    EXPECT_EQ(qor::readStrIni(ini_, file_, u"Setting-EN").rows, texts);
    const auto stamp = std::filesystem::last_write_time(file_);
    ASSERT_TRUE(qor::writeKeyRowTexts(ini_, file_, u"Setting-EN", texts));
    EXPECT_EQ(readBytes(), once);
    EXPECT_EQ(std::filesystem::last_write_time(file_), stamp);
}

TEST_F(StrIniFile, ValuesAreReadIntoA1024CharacterBuffer) {
    writeBytes("[Setting-EN]\r\nItem1=" + std::string(2000, 'x') + "\r\nItem2=\"quoted\"\r\n");
    const StrIniValues values = qor::readStrIni(ini_, file_, u"Setting-EN");
    EXPECT_EQ(values.rows.setA[0], std::u16string(1023, u'x'));
    EXPECT_EQ(values.rows.setA[1], u"quoted");
}

TEST_F(StrIniFile, UnreadableFileReadsAsEmptyAndIsNotWritten) {
    std::filesystem::create_directory(file_); // a folder where the file should be
    EXPECT_EQ(qor::readStrIni(ini_, file_, u"Setting-EN").rows, qor::KeyRowTexts{});
    EXPECT_FALSE(qor::writeKeyRowTexts(ini_, file_, u"Setting-EN", numberedTexts(u"x")));
    EXPECT_FALSE(qor::writeSkinSettings(ini_, file_, {}, u"x"));
    EXPECT_TRUE(std::filesystem::is_directory(file_));
}

} // namespace

namespace {

// Only a config.bin that was never saved gives the rows their first-start texts, in memory and
// in str.ini; afterwards the user's texts stay untouched.
TEST_F(StrIniFile, FirstRunKeyRowsAreSetAndWrittenOnlyWhileTheFlagIsZero) {
    const qor::StringTable strings(qor::Language::English);
    for (const std::uint8_t flag : {std::uint8_t{1}, std::uint8_t{0}}) {
        qor::KeyRowTexts texts = numberedTexts(u"user");
        qor::handleFirstRunKeyRows(flag, texts, strings, ini_, file_);
        qor::KeyRowTexts expected = numberedTexts(u"user");
        if (flag == 0) {
            qor::setFirstRunKeyRowTexts(expected, strings);
        }
        EXPECT_EQ(texts, expected) << "flag " << int{flag};
        EXPECT_EQ(std::filesystem::exists(file_), flag == 0) << "flag " << int{flag};
        if (flag == 0) {
            EXPECT_EQ(qor::readStrIni(ini_, file_, u"Setting-EN").rows, expected);
        }
    }
}

} // namespace
