#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "base/text_case.h"
#include "base/text_utf8.h"
#include "settings/file_system_std.h"
#include "settings/ini_engine.h"
#include "support/scratch_dir.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using test::utf16le;

std::string utf16be(std::u16string_view text) {
    std::string out = "\xFE\xFF";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

std::string utf8bom(std::u16string_view text) {
    return "\xEF\xBB\xBF" + utf16ToUtf8(text);
}

struct ReadCase {
    std::u16string file;
    std::u16string section;
    std::u16string key;
    std::u16string defaultValue;
    std::size_t bufferSize;
    std::u16string expected;
};

TEST(IniEngine, ReadsLikeGetPrivateProfileString) {
    const std::u16string longValue(1030, u'x');
    const ReadCase cases[] = {
        {u"[ Sec A ]  junk\r\nk = a=b\r\n", u"Sec A", u"k", u"d", 1024, u"a=b"},
        {u"[ Sec A ]  junk\r\nk = a=b\r\n", u" sec a\t", u" K ", u"d", 1024, u"a=b"},
        {u"[s]\r\nk=\r\n", u"s", u"k", u"d", 1024, u""},
        {u"[s]\r\nk\r\n", u"s", u"k", u"d", 1024, u"d"},
        {u"[s]\r\nk\r\nk=2\r\n", u"s", u"k", u"d", 1024, u"d"},
        {u"[s]\r\nk=1\r\n[S]\r\nk=2\r\n", u"s", u"k", u"", 1024, u"1"},
        {u"[s]\r\nk=1\r\nK=2\r\n", u"s", u"k", u"", 1024, u"1"},
        {u"[s]\r\nk=v ; x\r\n", u"s", u"k", u"", 1024, u"v ; x"},
        {u"[s]\r\n#k=v\r\n", u"s", u"#k", u"", 1024, u"v"},
        {u"[s]\r\n;k=v\r\n", u"s", u";k", u"d", 1024, u"d"},
        {u"[s]\r\n[b\r\n", u"s", u"[b", u"d", 1024, u"d"},
        {u"[s]\r\n[b=1\r\n", u"s", u"[b", u"d", 1024, u"1"},
        {u"k=top\r\n[s]\r\nk=in\r\n", u"", u"k", u"", 1024, u"top"},
        {u"[x]y] tail\r\nk=1\r\n", u"x]y", u"k", u"", 1024, u"1"},
        {u"\x1A [s] \x1A\r\n\tk\t=\t v \x1A\r\n", u"s", u"k", u"", 1024, u"v"},
        {u"[s]\rk=cr\n[t]\nk=lf", u"t", u"k", u"", 1024, u"lf"},
        {u"[s]\rk=cr\n[t]\nk=lf", u"s", u"k", u"", 1024, u"cr"},
        {u"[s]\r\nk=a\0b\r\nz\0y=1\r\n"s, u"s", u"k", u"", 1024, u"a"},
        {u"[s]\r\nk=1\r\n", u"s\0x"s, u"k\0y"s, u"", 1024, u"1"},
        {u"", u"s", u"k", u"d\0ef"s, 1024, u"d"},
        {u"[\u00c9t\u00e9]\r\n\u0416=1\r\n", u"\u00e9T\u00c9", u"\u0436", u"", 1024, u"1"},
        // Quotes.
        {u"[s]\r\nk=\"x\"\r\n", u"s", u"k", u"", 1024, u"x"},
        {u"[s]\r\nk='y'\r\n", u"s", u"k", u"", 1024, u"y"},
        {u"[s]\r\nk=\"\r\n", u"s", u"k", u"", 1024, u"\""},
        {u"[s]\r\nk=\"\"\r\n", u"s", u"k", u"", 1024, u""},
        {u"[s]\r\nk=\"z'\r\n", u"s", u"k", u"", 1024, u"\"z'"},
        {u"[s]\r\nk= \" w \" \r\n", u"s", u"k", u"", 1024, u" w "},
        {u"[s]\r\nk=\"abc\"\r\n", u"s", u"k", u"", 3, u"ab"},
        // Buffer sizes.
        {u"[s]\r\nk=" + longValue + u"\r\n", u"s", u"k", u"", 1024, longValue.substr(0, 1023)},
        {u"[s]\r\nk=abc\r\n", u"s", u"k", u"", 1, u""},
        {u"[s]\r\nk=abc\r\n", u"s", u"k", u"", 0, u""},
        // Defaults: trailing blanks go, quotes too, the buffer cuts them.
        {u"", u"s", u"k", u"ab  ", 1024, u"ab"},
        {u"", u"s", u"k", u" ab\t ", 1024, u" ab\t"},
        {u"", u"s", u"k", u"\"qd\"", 1024, u"qd"},
        {u"", u"s", u"k", u"default", 4, u"def"},
    };
    for (const ReadCase& c : cases) {
        IniDocument doc = IniDocument::parse(utf16le(c.file));
        EXPECT_EQ(doc.getString(c.section, c.key, c.defaultValue, c.bufferSize), c.expected)
            << utf16ToUtf8(c.file) << " [" << utf16ToUtf8(c.section) << "] " << utf16ToUtf8(c.key);
    }
}

TEST(IniEngine, ListsSectionNamesLikeTheWin32Buffer) {
    IniDocument doc = IniDocument::parse("[abc]\r\n[de]\r\n");
    // Measured against GetPrivateProfileSectionNamesW for every small buffer size.
    const struct {
        std::size_t size;
        std::u16string buffer;
        std::uint32_t count;
    } cases[] = {
        {0, u"", 0},
        {1, u"\0"s, 0},
        {2, u"\0\0"s, 0},
        {3, u"a\0\0"s, 1},
        {4, u"ab\0\0"s, 2},
        {5, u"abc\0\0"s, 3},
        {6, u"abc\0\0\0"s, 4},
        {7, u"abc\0d\0\0"s, 5},
        {8, u"abc\0de\0\0"s, 6}, // an exact fit counts as cut
        {9, u"abc\0de\0\0\0"s, 7},
    };
    for (const auto& c : cases) {
        IniSectionNames names = doc.sectionNames(c.size);
        EXPECT_EQ(names.buffer, c.buffer) << c.size;
        EXPECT_EQ(names.count, c.count) << c.size;
    }

    IniDocument messy = IniDocument::parse("k=1\r\n[ One ] x\r\n[]\r\n[one]\r\n[Two]\r\n");
    EXPECT_EQ(messy.sectionNames().names(), (std::vector<std::u16string>{u"One", u"one", u"Two"}));
}

TEST(IniEngine, SectionListIsCutAtTheProgramsBuffer) {
    // 40 names of 31 characters: 1280 characters with their zeros, more than 1024.
    std::string text;
    for (int i = 0; i < 40; ++i) {
        std::string name = "Macro" + std::to_string(100 + i) + std::string(23, 'n');
        text += "[" + name + "]\r\nItemCount=0\r\n";
    }
    IniSectionNames names = IniDocument::parse(text).sectionNames();
    ASSERT_EQ(names.buffer.size(), kIniBufferSize);
    EXPECT_EQ(names.count, kIniBufferSize - 2);
    EXPECT_EQ(names.buffer[1022], u'\0');
    EXPECT_EQ(names.buffer[1023], u'\0');
    std::vector<std::u16string> seen = names.names();
    ASSERT_EQ(seen.size(), 32u); // 31 whole names and the cut 32nd
    EXPECT_EQ(seen[31].size(), 1022u - 31 * 32);

    // An exact fit: 31 names of 31 characters and one of 30 fill 1023 characters with their
    // zeros, the list's final zero the last place. Nothing is cut, and yet the count says so.
    // Appended piece by piece: GCC 12 at -O3 takes `"[" + std::to_string(...)` in this loop for
    // an overlapping copy and stops the build with a false -Wrestrict.
    std::string exact;
    for (int i = 0; i < 32; ++i) {
        exact += '[';
        exact += std::to_string(1000 + i);
        exact.append(i == 31 ? 26 : 27, 'e');
        exact += "]\n";
    }
    IniSectionNames fit = IniDocument::parse(exact).sectionNames();
    EXPECT_EQ(fit.count, kIniBufferSize - 2);
    ASSERT_EQ(fit.names().size(), 32u);
    EXPECT_EQ(fit.names().back(), u"1031" + std::u16string(26, u'e'));
}

struct WriteCase {
    const char* name;
    std::string before;
    std::function<bool(IniDocument&)> op;
    std::string after;
    bool changed;
};

TEST(IniEngine, WritesChangeOnlyTheLinesTheyMust) {
    const WriteCase cases[] = {
        {"replace keeps the file's spelling, other bytes and the line's ending",
         "; top\n[Sec]\n  Key =  old  \n\n [T] \t\nx = 1",
         [](auto& d) { return d.setString(u" sec ", u"KEY", u"new"); },
         "; top\n[Sec]\nKey=new\n\n [T] \t\nx = 1", true},
        {"same value again changes nothing", "[s]\r\nk = v\r\n",
         [](auto& d) { return d.setString(u"S", u"K", u"  v"); }, "[s]\r\nk = v\r\n", false},
        {"leading blanks of a value go", "[s]\r\n",
         [](auto& d) { return d.setString(u"s", u"k", u" \t v w "); }, "[s]\r\nk=v w \r\n", true},
        {"new key after the section's last entry, before blank lines",
         "[S]\r\na=1\r\n;c\r\n\r\n[T]\r\n", [](auto& d) { return d.setString(u"s", u"b", u"2"); },
         "[S]\r\na=1\r\n;c\r\nb=2\r\n\r\n[T]\r\n", true},
        {"new key in an empty section", "[S]\r\n[T]\r\n",
         [](auto& d) { return d.setString(u"s", u"b", u"2"); }, "[S]\r\nb=2\r\n[T]\r\n", true},
        {"new key goes to the first of duplicate sections", "[S]\na=1\n[s]\na=2\n",
         [](auto& d) { return d.setString(u"s", u"b", u"3"); }, "[S]\na=1\nb=3\r\n[s]\na=2\n",
         true},
        {"new section at the end, the last line gets its break", "[S]\r\na=1",
         [](auto& d) { return d.setString(u"  New  ", u" k ", u"v"); },
         "[S]\r\na=1\r\n[New]\r\nk=v\r\n", true},
        {"key without '=' gets a value", "[s]\r\nk\r\nk=2\r\n",
         [](auto& d) { return d.setString(u"s", u"k", u"x"); }, "[s]\r\nk=x\r\nk=2\r\n", true},
        {"key into the lines before the first header", "a=1\r\n[s]\r\n",
         [](auto& d) { return d.setString(u"", u"b", u"2"); }, "a=1\r\nb=2\r\n[s]\r\n", true},
        {"delete removes the first match with its comments and blank lines",
         "[a]\r\nx=1\r\n[S]\r\nk=1\r\n;c\r\n\r\n[s]\r\nk=2\r\n",
         [](auto& d) { return d.removeSection(u" s "); }, "[a]\r\nx=1\r\n[s]\r\nk=2\r\n", true},
        {"delete of a missing section", "[a]\r\n", [](auto& d) { return d.removeSection(u"b"); },
         "[a]\r\n", false},
        {"delete of a key", "[a]\r\nx=1\r\ny=2\r\n",
         [](auto& d) { return d.removeKey(u"A", u"X"); }, "[a]\r\ny=2\r\n", true},
        {"caller's texts end at a zero", "[s]\r\n",
         [](auto& d) { return d.setString(u"s\0t"s, u"k\0j"s, u"v\0w"s); }, "[s]\r\nk=v\r\n", true},
        {"a line break in a value makes two lines", "[s]\r\n",
         [](auto& d) {
             return d.setString(u"s", u"m", u"a\r\nb=c") && d.value(u"s", u"b") == u"c";
         },
         "[s]\r\nm=a\r\nb=c\r\n", true},
    };
    for (const WriteCase& c : cases) {
        IniDocument doc = IniDocument::parse(c.before);
        EXPECT_EQ(c.op(doc), c.changed) << c.name;
        EXPECT_EQ(doc.bytes(), c.after) << c.name;
    }
}

TEST(IniEngine, KeepsTheEncodingItRead) {
    const std::u16string text = u"[Ünï]\r\nk=中文\r\n";
    const std::u16string added = u"j=文字\r\n";
    const struct {
        IniEncoding encoding;
        std::string before;
        std::string after;
        std::u16string read;
    } cases[] = {
        {IniEncoding::Utf16Le, utf16le(text), utf16le(text + added), u"中文"},
        {IniEncoding::Utf16Be, utf16be(text), utf16be(text + added), u"中文"},
        {IniEncoding::Utf8, utf8bom(text), utf8bom(text + added), u"中文"},
        // 8-bit text: Windows-1252 by default; what it cannot hold becomes '?'.
        {IniEncoding::Ansi, "[\xDCn\xEF]\r\nk=\x80?\r\n", "[\xDCn\xEF]\r\nk=\x80?\r\nj=??\r\n",
         u"€?"},
        // An empty file is written like a new one.
        {IniEncoding::Utf16Le, "", utf16le(u"[Ünï]\r\nj=文字\r\n"), u""},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::parse(c.before);
        EXPECT_EQ(doc.encoding(), c.encoding);
        EXPECT_EQ(doc.getString(u"ünÏ", u"k"), c.read);
        doc.setString(u"Ünï", u"j", u"文字");
        EXPECT_EQ(doc.bytes(), c.after);
        EXPECT_EQ(doc.getString(u"ünÏ", u"j"), c.encoding == IniEncoding::Ansi ? u"??" : u"文字");
    }
}

TEST(IniEngine, UntouchedLinesKeepTheirBytes) {
    // Invalid UTF-8, a stray CR, tabs, junk after a header, a half character at the end of a
    // UTF-16 file: none of it is rewritten when another line changes.
    const std::string utf8 = "\xEF\xBB\xBF; \xC3(bad\r\n[S]  junk\r\r\n\tk = \xF0\x9F\x98\x80 \n"
                             "[T]\r\nold=1\r\n   \r\nlast=\xFF";
    IniDocument doc = IniDocument::parse(utf8);
    EXPECT_EQ(doc.getString(u"s", u"k"), u"\U0001F600");
    doc.setString(u"T", u"old", u"2");
    doc.setString(u"S", u"new", u"x");
    EXPECT_EQ(doc.bytes(), "\xEF\xBB\xBF; \xC3(bad\r\n[S]  junk\r\r\n\tk = \xF0\x9F\x98\x80 \n"
                           "new=x\r\n[T]\r\nold=2\r\n   \r\nlast=\xFF");

    std::string wide = utf16le(u"[S]\nk=1\n");
    IniDocument odd = IniDocument::parse(wide + "\x41");
    EXPECT_EQ(odd.bytes(), wide);
    odd.setString(u"s", u"j", u"2");
    EXPECT_EQ(odd.bytes(), utf16le(u"[S]\nk=1\nj=2\r\n"));
}

TEST(IniEngine, ComparesNamesWithoutCase) {
    const struct {
        std::u16string a, b;
        bool equal;
    } cases[] = {
        {u"Macro1", u"mACRO1", true},
        {u"Été", u"éTÉ", true},
        {u"ÿ", u"Ÿ", true},
        {u"Ĳ", u"ĳ", true},
        {u"Ľ", u"ľ", true},
        {u"Σσ", u"ςΣ", true},
        {u"Ж", u"ж", true},
        {u"Ё", u"ё", true},
        {u"Ａ", u"ａ", true},
        {u"中文", u"中文", true},
        {u"a", u"b", false},
        {u"÷", u"×", false},
        {u"Macro1", u"Macro1 ", false},
        {u"[", u"{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(equalsIgnoreCase(c.a, c.b), c.equal)
            << utf16ToUtf8(c.a) << " " << utf16ToUtf8(c.b);
    }
}

TEST(IniEngine, ConvertsText) {
    // Windows-1252 round-trips every byte.
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const Cp1252Codec codec;
    EXPECT_EQ(codec.encode(codec.decode(all)), all);
    EXPECT_EQ(codec.decode("\x80\x9F\xFF"), u"€Ÿÿ");
    EXPECT_EQ(codec.encode(u"中\U0001F600\u0080x"), "???x");

    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", u"aé中\U0001F600"},
        {"\xC3", u"\uFFFD"},
        {"\xE4\xB8", u"\uFFFD"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD"},
        {"\xFFx", u"\uFFFDx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    }
    EXPECT_EQ(utf16ToUtf8(u"é中\U0001F600"), "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(IniEngine, ReadsAfterAChangeSeeTheChange) {
    // Reads go through an index of the document; every change must show in the next read.
    IniDocument doc = IniDocument::parse("[A]\r\nk=1\r\n[b]\r\nk=2\r\n[a]\r\nk=3\r\nn=9\r\n");
    const auto read = [&](std::u16string_view s, std::u16string_view k) {
        return doc.getString(s, k, u"-");
    };
    const struct {
        const char* step;
        std::function<void()> change;
        std::vector<std::u16string> expected; // A/k, a/n, B/k, B/x, C/k
    } steps[] = {
        {"as read", [] {}, {u"1", u"-", u"2", u"-", u"-"}},
        {"replace", [&] { doc.setString(u"a", u"K", u"4"); }, {u"4", u"-", u"2", u"-", u"-"}},
        {"add key", [&] { doc.setString(u"B", u"x", u"5"); }, {u"4", u"-", u"2", u"5", u"-"}},
        {"add section", [&] { doc.setString(u"c", u"k", u"6"); }, {u"4", u"-", u"2", u"5", u"6"}},
        {"remove key", [&] { doc.removeKey(u"b", u"k"); }, {u"4", u"-", u"-", u"5", u"6"}},
        // The duplicate [a] becomes the first match.
        {"remove section", [&] { doc.removeSection(u"A"); }, {u"3", u"9", u"-", u"5", u"6"}},
    };
    for (const auto& step : steps) {
        step.change();
        const std::vector<std::u16string> got{read(u"A", u"k"), read(u"a", u"n"), read(u"B", u"k"),
                                              read(u"B", u"x"), read(u"C", u"k")};
        EXPECT_EQ(got, step.expected) << step.step;
    }
    // A copy reads on its own after the original changes or goes away.
    auto original = std::make_unique<IniDocument>(doc);
    IniDocument copy = *original;
    original->setString(u"c", u"k", u"7");
    original.reset();
    EXPECT_EQ(copy.getString(u"c", u"k"), u"6");
}

class IniFileTest : public ::testing::Test {
protected:
    std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    test::ScratchDir scratch_{"qor-ini"};
    const fs::path& dir_ = scratch_.path();
    IniEngine engine_;
};

TEST_F(IniFileTest, MissingFileReadsAsDefaultsAndIsCreatedAsUtf16) {
    fs::path file = dir_ / "record.ini";
    EXPECT_EQ(engine_.getString(file, u"s", u"k", u"d"), u"d");
    IniSectionNames names = engine_.getSectionNames(file);
    EXPECT_EQ(names.count, 0u);
    EXPECT_EQ(names.buffer, std::u16string(kIniBufferSize, u'\0'));
    EXPECT_TRUE(engine_.deleteSection(file, u"s"));
    EXPECT_FALSE(fs::exists(file));

    EXPECT_TRUE(engine_.writeString(file, u"宏", u"ItemCount", u"2"));
    EXPECT_EQ(contents(file), utf16le(u"[宏]\r\nItemCount=2\r\n"));
    EXPECT_EQ(engine_.getString(file, u"宏", u"itemcount"), u"2");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, UnchangedWriteLeavesTheFileAlone) {
    fs::path file = dir_ / "str.ini";
    std::ofstream(file, std::ios::binary) << "[Skins]\r\nPath = Dark\r\n";
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(file, old);
    EXPECT_TRUE(engine_.writeString(file, u"skins", u"path", u"Dark"));
    EXPECT_TRUE(engine_.deleteSection(file, u"Other"));
    EXPECT_EQ(fs::last_write_time(file), old);
    EXPECT_TRUE(engine_.writeString(file, u"skins", u"RColor", u"300"));
    EXPECT_EQ(contents(file), "[Skins]\r\nPath = Dark\r\nRColor=300\r\n");
}

TEST_F(IniFileTest, UnreadableFileFailsWritesAndReadsAsDefault) {
    fs::path folder = dir_ / "a folder";
    fs::create_directories(folder);
    EXPECT_FALSE(engine_.writeString(folder, u"s", u"k", u"v"));
    EXPECT_EQ(engine_.getString(folder, u"s", u"k", u"d"), u"d");
    EXPECT_FALSE(engine_.writeString(dir_ / "missing folder" / "x.ini", u"s", u"k", u"v"));
}

// The real disk, in a folder where no new file may be created (as under Program Files for a
// standard user).
class RefusingFolder final : public FileSystem {
public:
    StdFileSystem real;
    bool exists(std::u16string_view p) override { return real.exists(p); }
    std::unique_ptr<ReadableFile> openForReading(std::u16string_view p) override {
        return real.openForReading(p);
    }
    SystemError checkWritable(std::u16string_view p) override { return real.checkWritable(p); }
    WriteResult writeWhole(std::u16string_view p, std::span<const std::uint8_t> b) override {
        if (!real.exists(p)) {
            return {13, false};
        }
        return real.writeWhole(p, b);
    }
    SystemError writeInPlace(std::u16string_view p, std::span<const std::uint8_t> b,
                             bool) override {
        return real.writeInPlace(p, b, false);
    }
    SystemError replace(std::u16string_view a, std::u16string_view b) override {
        return real.replace(a, b);
    }
    void remove(std::u16string_view p) override { real.remove(p); }
    std::optional<std::vector<std::u16string>> listFiles(std::u16string_view f) override {
        return real.listFiles(f);
    }
    SystemError createFolder(std::u16string_view) override { return 13; }
    void pause(unsigned) override {}
};

TEST_F(IniFileTest, AFolderThatRefusesNewFilesIsWrittenInPlace) {
    RefusingFolder folder;
    const IniEngine engine(defaultAnsiCodec(), folder);
    const fs::path file = dir_ / "str.ini";
    std::ofstream(file, std::ios::binary) << "; kept\r\n[Skins]\r\nPath=Dark\r\nRColor=255\r\n";
    const struct {
        const char* step;
        std::function<bool()> write;
        std::string expected;
    } steps[] = {
        {"longer", [&] { return engine.writeString(file, u"Skins", u"Path", u"Light blue"); },
         "; kept\r\n[Skins]\r\nPath=Light blue\r\nRColor=255\r\n"},
        {"shorter: the old tail is cut",
         [&] { return engine.deleteKey(file, u"Skins", u"RColor"); },
         "; kept\r\n[Skins]\r\nPath=Light blue\r\n"},
    };
    for (const auto& step : steps) {
        EXPECT_TRUE(step.write()) << step.step;
        EXPECT_EQ(contents(file), step.expected) << step.step;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    // A file that does not exist cannot be made there.
    EXPECT_FALSE(engine.writeString(dir_ / "record.ini", u"M", u"ItemCount", u"0"));
    EXPECT_FALSE(fs::exists(dir_ / "record.ini"));
}

TEST_F(IniFileTest, AFileOverTheSizeLimitIsUnreadableAndLeftAlone) {
    const std::string head = "[s]\r\nk=v\r\n;";
    const struct {
        std::size_t size;
        bool readable;
    } cases[] = {{kIniFileSizeMax, true}, {kIniFileSizeMax + 1, false}};
    for (const auto& c : cases) {
        const fs::path file = dir_ / "record.ini";
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << head << std::string(c.size - head.size(), 'x');
        }
        EXPECT_EQ(engine_.getString(file, u"s", u"k", u"d"), c.readable ? u"v" : u"d") << c.size;
        EXPECT_EQ(engine_.writeString(file, u"s", u"k", u"w"), c.readable) << c.size;
        if (!c.readable) {
            EXPECT_EQ(fs::file_size(file), c.size) << "an unreadable file is never rewritten";
        }
    }
}

} // namespace
} // namespace qor
