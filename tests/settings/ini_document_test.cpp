// The document's compact lines and its index, which writes keep up to date: whatever a sequence
// of writes leaves, reads must answer as they would for the same bytes read afresh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/text_utf8.h"
#include "settings/ini_engine.h"
#include "support/scratch_dir.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using test::utf16le;

// Names and values that reach every kind of line: duplicates in other case, "[]", a key that
// writes a header ("[z]=1") or a comment (";k=1"), a line break that splits a line.
const std::u16string kSections[] = {u"a", u"A", u"B", u"c", u"", u"New", u"z", u"[c", u" b "};
const std::u16string kKeys[] = {u"k", u"K", u"j", u"x", u"", u"n", u"[z]", u";k", u"[c"};
const std::u16string kValues[] = {u"1", u"v w", u"  lead", u"a]b", u"", u"p\r\nq=r"};
const std::u16string kLines[] = {
    u"[a]", u"[A]", u"[ B ] x", u"[]", u"k=1",  u"K = 2", u"j",       u"j=",
    u"; c", u"",    u"  \t",    u"[c", u"[c=3", u"=v",    u"x=a\0b"s, u"n=\u00e9",
};
const std::u16string kEndings[] = {u"\r\n", u"\n", u"\r"};

struct Reads {
    std::vector<std::u16string> values;
    std::vector<std::u16string> sections;
    bool operator==(const Reads&) const = default;
};

Reads readAll(const IniDocument& doc) {
    Reads r;
    for (const auto& s : kSections) {
        for (const auto& k : kKeys) {
            r.values.push_back(doc.getString(s, k, u"-"));
            r.values.push_back(doc.value(s, k).value_or(u"(none)"));
        }
    }
    r.sections = doc.sectionNameList();
    r.sections.push_back(doc.sectionNames().buffer);
    return r;
}

TEST(IniDocument, EditsReadAsTheirBytesReadAfresh) {
    for (unsigned seed = 0; seed < 40; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](const auto& list) { return list[random() % std::size(list)]; };
        std::u16string text;
        for (auto n = random() % 14; n > 0; --n) {
            text += pick(kLines) + (n == 1 && random() % 2 ? u"" : pick(kEndings));
        }
        const bool wide = seed % 3 == 0;
        IniDocument doc =
            IniDocument::parse(wide ? utf16le(text) : utf16ToUtf8(text)); // 8-bit or UTF-16
        ASSERT_EQ(readAll(doc), readAll(IniDocument::parse(doc.bytes()))) << seed;
        for (int step = 0; step < 25; ++step) {
            const IniDocument before = doc; // shares the index until one of them changes
            const std::string bytesBefore = before.bytes();
            std::string what;
            switch (random() % 8) {
            case 0:
                what = "removeKey";
                doc.removeKey(pick(kSections), pick(kKeys));
                break;
            case 1:
                what = "removeSection";
                doc.removeSection(pick(kSections));
                break;
            case 2:
                what = "removeNamedSections";
                doc.removeNamedSections();
                break;
            default:
                what = "setString";
                doc.setString(pick(kSections), pick(kKeys), pick(kValues));
                break;
            }
            const Reads got = readAll(doc);
            EXPECT_EQ(got, readAll(IniDocument::parse(doc.bytes())))
                << "seed " << seed << " step " << step << " " << what << "\n"
                << bytesBefore << "\n->\n"
                << doc.bytes();
            EXPECT_EQ(before.bytes(), bytesBefore) << "a copy changed with the original";
            EXPECT_EQ(readAll(before), readAll(IniDocument::parse(bytesBefore)));
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(IniDocument, RunsOfBlankLinesKeepTheirBytesAndPlace) {
    const struct {
        const char* name;
        std::string before;
        std::function<bool(IniDocument&)> op;
        std::string after;
    } cases[] = {
        {"a file of line breaks gains a section at its end", "\n\r\n\r\r\n",
         [](auto& d) { return d.setString(u"s", u"k", u"v"); }, "\n\r\n\r\r\n[s]\r\nk=v\r\n"},
        {"blank lines without a final break end with one first", "k=1\n\n \t\n   ",
         [](auto& d) { return d.setString(u"s", u"k", u"v"); },
         "k=1\n\n \t\n   \r\n[s]\r\nk=v\r\n"},
        {"a new key goes before the blank lines of its section", "[s]\n\n \n\n[t]\n",
         [](auto& d) { return d.setString(u"S", u"k", u"v"); }, "[s]\nk=v\r\n\n \n\n[t]\n"},
        {"and after the section's last line that is not blank", "[s]\na=1\n\n;c\n\n\n[t]\n",
         [](auto& d) { return d.setString(u"s", u"b", u"2"); }, "[s]\na=1\n\n;c\nb=2\r\n\n\n[t]\n"},
        {"a section goes with its blank lines", "[s]\r\n\r\n\r\n[t]\r\nk=1\r\n\r\n",
         [](auto& d) { return d.removeSection(u"s"); }, "[t]\r\nk=1\r\n\r\n"},
        {"the lines before the first header stay", "\r\n; c\r\n\r\n[s]\r\n\r\n",
         [](auto& d) { return d.removeNamedSections(); }, "\r\n; c\r\n\r\n"},
        {"UTF-16 blank lines", utf16le(u"\n\r\n\r[s]\n\n"),
         [](auto& d) { return d.setString(u"s", u"k", u"v"); }, utf16le(u"\n\r\n\r[s]\nk=v\r\n\n")},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::parse(c.before);
        EXPECT_EQ(doc.bytes(), c.before) << c.name;
        EXPECT_EQ(doc.byteCount(), c.before.size()) << c.name;
        EXPECT_TRUE(c.op(doc)) << c.name;
        EXPECT_EQ(doc.bytes(), c.after) << c.name;
        EXPECT_EQ(doc.byteCount(), c.after.size()) << c.name;
    }
}

TEST(IniDocument, RemovesEveryNamedSectionAndListsEveryName) {
    IniDocument doc = IniDocument::parse(
        "k=1\r\n[A]\r\nx=1\r\n[]\r\ny=2\r\n[a]\r\n;c\r\n[ b ]\r\n\r\n[]\r\n[c]\r\nz=3");
    EXPECT_EQ(doc.sectionNameList(), (std::vector<std::u16string>{u"A", u"a", u"b", u"c"}));
    EXPECT_EQ(doc.getString(u"a", u"x"), u"1"); // the index is built before the removal
    EXPECT_TRUE(doc.removeNamedSections());
    EXPECT_EQ(doc.bytes(), "k=1\r\n[]\r\ny=2\r\n[]\r\n");
    EXPECT_EQ(doc.getString(u"a", u"x", u"-"), u"-");
    EXPECT_EQ(doc.getString(u"", u"k"), u"1");
    EXPECT_FALSE(doc.removeNamedSections());

    // The list is not cut where the program's buffer of section names is.
    std::string many;
    for (int i = 0; i < 3000; ++i) {
        many += "[Macro " + std::to_string(i) + std::string(24, 'm') + "]\r\nItemCount=0\r\n";
    }
    const auto names = IniDocument::parse(many).sectionNameList();
    ASSERT_EQ(names.size(), 3000u);
    EXPECT_EQ(names.back(), u"Macro 2999" + std::u16string(24, u'm'));
}

class IniEngineKeepsTest : public ::testing::Test {
protected:
    void put(const fs::path& file, const std::string& bytes) { test::writeFile(file, bytes); }
    test::ScratchDir scratch_{"qor-ini-kept"};
    const fs::path& dir_ = scratch_.path();
};

TEST_F(IniEngineKeepsTest, ParsesAFileOncePerChange) {
    const IniEngine engine;
    const fs::path record = dir_ / "record.ini";
    const fs::path str = dir_ / "str.ini";
    put(record, "[M]\r\nItemCount=1\r\nItem0=A\r\n");
    put(str, "[Skins]\r\nPath=Dark\r\n");
    const struct {
        const char* step;
        std::function<std::u16string()> act; // returns what a read gives
        std::u16string read;
        std::size_t parses; // so far
    } steps[] = {
        {"first read", [&] { return engine.getString(record, u"m", u"Item0"); }, u"A", 1},
        {"read again", [&] { return engine.getString(record, u"M", u"ItemCount"); }, u"1", 1},
        {"names", [&] { return engine.getSectionNames(record).names().at(0); }, u"M", 1},
        {"load", [&] { return engine.load(record)->getString(u"M", u"Item0"); }, u"A", 1},
        {"edit a loaded copy, not the file",
         [&] {
             auto copy = engine.load(record);
             copy->setString(u"M", u"Item0", u"changed");
             return engine.getString(record, u"M", u"Item0");
         },
         u"A", 1},
        {"another file", [&] { return engine.getString(str, u"skins", u"path"); }, u"Dark", 2},
        {"the first again", [&] { return engine.getString(record, u"M", u"Item0"); }, u"A", 2},
        {"same bytes written by someone else",
         [&] {
             put(record, "[M]\r\nItemCount=1\r\nItem0=A\r\n");
             return engine.getString(record, u"M", u"Item0");
         },
         u"A", 2},
        {"other bytes of the same size",
         [&] {
             put(record, "[M]\r\nItemCount=1\r\nItem0=B\r\n");
             return engine.getString(record, u"M", u"Item0");
         },
         u"B", 3},
        {"a write through the engine",
         [&] {
             EXPECT_TRUE(engine.writeString(record, u"M", u"Item0", u"C"));
             return engine.getString(record, u"M", u"Item0");
         },
         u"C", 4},
        {"the file removed",
         [&] {
             fs::remove(record);
             return engine.getString(record, u"M", u"Item0", u"gone");
         },
         u"gone", 4},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.act(), s.read) << s.step;
        EXPECT_EQ(engine.parses(), s.parses) << s.step;
    }
}

TEST_F(IniEngineKeepsTest, ManyFilesReadInTurnAllReadRight) {
    const IniEngine engine;
    std::vector<fs::path> files;
    for (int i = 0; i < 7; ++i) {
        files.push_back(dir_ / ("f" + std::to_string(i) + ".ini"));
        put(files.back(), "[s]\r\nk=" + std::to_string(i) + "\r\n");
    }
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(engine.getString(files[i], u"s", u"k"), utf8ToUtf16(std::to_string(i)));
        }
    }
    // A copy of the engine shares what it kept.
    const IniEngine copy = engine;
    const std::size_t before = engine.parses();
    EXPECT_EQ(copy.getString(files[6], u"s", u"k"), u"6");
    EXPECT_EQ(engine.parses(), before);
}

} // namespace
} // namespace qor
