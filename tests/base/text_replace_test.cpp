#include "base/text_replace.h"

#include <gtest/gtest.h>

namespace {

TEST(TextReplace, ReplaceAllTable) {
    struct Case {
        std::u16string text, from, to, expected;
    };
    const Case cases[] = {{u"aaaa", u"aa", u"b", u"bb"},
                          {u"abc", u"", u"x", u"abc"},
                          {u"xQor.exe", u"Qor.exe", u"", u"x"},
                          {u"ab", u"abc", u"x", u"ab"},
                          {u"A Click", u" Click", u" \u2193", u"A \u2193"}};
    for (const Case& c : cases) {
        EXPECT_EQ(qor::replaceAll(c.text, c.from, c.to), c.expected);
    }
}

} // namespace
