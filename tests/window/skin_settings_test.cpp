// The skin settings: what str.ini gives at start, and what the skin dialog's OK saves there.
#include "window/skin_settings.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace qor;

class SkinSettingsTest : public ::testing::Test {
protected:
    std::string fileText() const {
        std::ifstream in(strIni, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    test::ScratchDir dir;
    std::filesystem::path strIni = dir.path() / "str.ini";
    IniEngine ini;
    std::vector<std::u16string> listed;
    SkinSettings skins{ini, strIni, u"C:/Qor/", [this](const std::u16string& root) {
                           listed.push_back(root);
                           return std::vector<std::u16string>{u"Ember"};
                       }};
};

TEST_F(SkinSettingsTest, StrIniGivesTheNameTheFolderAndTheColour) {
    EXPECT_EQ(skins.current(), (SkinChoice{u"", u"", Rgb{0, 255, 0}})) << "before str.ini";
    EXPECT_EQ(skins.root(), u"C:/Qor//Skins");
    EXPECT_EQ(skins.folderNames(), std::vector<std::u16string>{u"Ember"});
    EXPECT_EQ(listed, std::vector<std::u16string>{u"C:/Qor//Skins"});
    const struct {
        std::u16string name, red, green, blue;
        SkinChoice skin;
    } cases[] = {
        {u"Ember", u"214", u"228", u"240", {u"Ember", u"C:/Qor//Skins/Ember", {214, 228, 240}}},
        {u"", u"300", u"", u"x", {u"", u"C:/Qor//Skins/", {44, 0, 0}}},
        // A name that leads out of the root reads the images from the root.
        {u"../Other", u"1", u"2", u"3", {u"../Other", u"C:/Qor//Skins/", {1, 2, 3}}},
    };
    for (const auto& c : cases) {
        StrIniValues values;
        values.skinName = c.name;
        values.red = c.red;
        values.green = c.green;
        values.blue = c.blue;
        skins.read(values);
        EXPECT_EQ(skins.current(), c.skin) << std::string(c.name.begin(), c.name.end());
    }
}

TEST_F(SkinSettingsTest, TheChoiceIsSavedInTheSkinsSectionAlone) {
    {
        std::ofstream out(strIni, std::ios::binary);
        out << "[English]\r\nItem1=Left Click\r\n[Skins]\r\nRColor=1\r\nGColor=2\r\nBColor=3\r\n"
               "Path=Obsidian\r\n";
    }
    const SkinChoice ember{u"Ember", u"C:/Qor//Skins/Ember", Rgb{214, 0, 9}};
    EXPECT_TRUE(skins.take(ember));
    EXPECT_EQ(skins.current(), ember);
    const StrIniValues back = readStrIni(ini, strIni, u"English");
    EXPECT_EQ(back.skinName, u"Ember");
    EXPECT_EQ(back.red, u"214");
    EXPECT_EQ(back.green, u"0");
    EXPECT_EQ(back.blue, u"9");
    EXPECT_EQ(back.rows.setA[0], u"Left Click");
    EXPECT_NE(fileText().find("[English]\r\nItem1=Left Click\r\n"), std::string::npos);
}

} // namespace
