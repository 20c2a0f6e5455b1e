#include "shell/wide_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ToWide, GivesOneUnitPerBmpCharacterAndAPairAboveIt) {
    // a, euro sign, grinning face (U+1F600)
    const std::u16string wide = to_wide("a\xE2\x82\xAC\xF0\x9F\x98\x80");
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(wide[0], 0x0061);
    EXPECT_EQ(wide[1], 0x20AC);
    EXPECT_EQ(wide[2], 0xD83D);
    EXPECT_EQ(wide[3], 0xDE00);
    EXPECT_EQ(wide.c_str()[4], 0x0000);
}

TEST(ToWide, EmptyTextGivesOnlyTheTerminator) {
    const std::u16string wide = to_wide("");
    EXPECT_TRUE(wide.empty());
    EXPECT_EQ(wide.c_str()[0], 0x0000);
}

TEST(ToWide, CoversEveryEncodingLengthAtItsEdges) {
    struct Case {
        const char* utf8;
        std::u16string wide;
    };
    const Case cases[] = {
        {"\x7F", u"\u007F"},
        {"\xC2\x80", u"\u0080"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"C:\\Users\\J\xC3\xBCrgen", u"C:\\Users\\J\u00FCrgen"},
    };
    for (const Case& c : cases) EXPECT_EQ(to_wide(c.utf8), c.wide) << c.utf8;
}

TEST(ToWide, MalformedInputBecomesReplacementCharactersWithoutOverrun) {
    struct Case {
        std::string utf8;
        std::u16string wide;
    };
    const Case cases[] = {
        {"\x80", u"\uFFFD"},                  // stray continuation byte
        {"\xE2\x82", u"\uFFFD"},              // cut at the end
        {"\xC0\xAF", u"\uFFFD"},              // overlong "/"
        {"\xED\xA0\x80", u"\uFFFD"},          // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},      // above U+10FFFF
        {"\xFF" "a", u"\uFFFD" "a"},
    };
    for (const Case& c : cases) EXPECT_EQ(to_wide(c.utf8), c.wide);
}

}  // namespace
