#include "config/path.h"

#include <gtest/gtest.h>

namespace {

std::string text(const std::u16string& units) { return path_text(Path{units}); }

TEST(Parent, FollowsTheWindowsPathRules) {
    struct Case {
        std::u16string path;
        std::optional<std::u16string> parent;
    };
    const Case cases[] = {
        {u"C:\\Games\\L\\app.exe", u"C:\\Games\\L"},
        {u"C:\\app.exe", u"C:\\"},  // keeps the root, so joining doubles no separator
        {u"C:/a/b", u"C:/a"},
        {u"C:\\a\\\\\\b", u"C:\\a"},
        {u"C:\\a\\b\\", u"C:\\a"},
        {u"C:\\a\\.", u"C:\\"},        // "." is skipped outside verbatim paths
        {u"C:\\a\\.\\b", u"C:\\a"},
        {u"C:\\a\\..", u"C:\\a"},      // ".." is a component and is not resolved
        {u"C:a", u"C:"},
        {u"a", u""},
        {u".\\a", u""},
        {u"\\x", u"\\"},
        {u"\\\\server\\share\\app.exe", u"\\\\server\\share\\"},
        {u"//server/share/app.exe", u"//server/share/"},
        {u"\\\\.\\pipe\\x", u"\\\\.\\pipe\\"},
        {u"\\\\?\\C:\\L\\app.exe", u"\\\\?\\C:\\L"},
        {u"\\\\?\\C:\\app.exe", u"\\\\?\\C:\\"},
        {u"\\\\?\\C:\\a\\.", u"\\\\?\\C:\\a"},  // "." is a name in verbatim paths
        {u"\\\\?\\C:\\a/b", u"\\\\?\\C:\\"},     // and "/" is ordinary text
        {u"\\\\?\\UNC\\srv\\share\\x", u"\\\\?\\UNC\\srv\\share\\"},
        {u"\\\\?\\Volume{1}\\x", u"\\\\?\\Volume{1}\\"},
        {u"", std::nullopt},
        {u"C:", std::nullopt},
        {u"C:\\", std::nullopt},
        {u"C:\\.", std::nullopt},
        {u"\\", std::nullopt},
        {u".", std::nullopt},
        {u"\\\\server\\share", std::nullopt},
        {u"\\\\server\\share\\", std::nullopt},
        {u"\\\\?\\C:\\", std::nullopt},
        {u"\\\\?\\UNC\\srv\\share", std::nullopt},
        {u"\\\\.\\COM1", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Path> result = parent(Path{c.path});
        ASSERT_EQ(result.has_value(), c.parent.has_value()) << text(c.path);
        if (result) {
            EXPECT_EQ(result->units, *c.parent) << text(c.path);
        }
    }
}

TEST(Join, AddsExactlyOneSeparatorWhereWindowsNeedsOne) {
    struct Case {
        std::u16string base;
        std::u16string joined;
    };
    const Case cases[] = {
        {u"", u"n"},
        {u"C:\\Games", u"C:\\Games\\n"},
        {u"C:\\", u"C:\\n"},
        {u"D:/data//", u"D:/data//n"},
        {u"D:", u"D:n"},  // drive-relative
        {u".", u".\\n"},
        {u"\\\\server\\share", u"\\\\server\\share\\n"},
        {u"\\\\?\\C:\\L", u"\\\\?\\C:\\L\\n"},
        {u"\\\\?\\C:\\a\\\\b", u"\\\\?\\C:\\a\\b\\n"},  // verbatim paths are rebuilt
        {u"\\\\?\\C:\\a/b", u"\\\\?\\C:\\a/b\\n"},
        {u"\\\\?\\C:\\a/", u"\\\\?\\C:\\a/\\n"},      // "/" is no separator there
        {u"\\\\?\\C:\\a\\", u"\\\\?\\C:\\a\\n"},
        {u"\\\\?\\UNC\\srv\\share", u"\\\\?\\UNC\\srv\\share\\n"},
        {u" C:\\x ", u" C:\\x \\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(join(Path{c.base}, u"n").units, c.joined) << text(c.base);
}

TEST(PathText, ReplacesEachUnpairedSurrogateAndNothingElse) {
    struct Case {
        std::u16string units;
        std::string text;
    };
    const Case cases[] = {
        {u"C:\\Games", "C:\\Games"},
        {u"J\u00FCrgen\u20AC", "J\xC3\xBCrgen\xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string{u'a', char16_t(0xD83D)}, "a\xEF\xBF\xBD"},                 // high at the end
        {std::u16string{char16_t(0xDE00), u'b'}, "\xEF\xBF\xBD" "b"},              // lone low
        {std::u16string{char16_t(0xD83D), u'c'}, "\xEF\xBF\xBD" "c"},              // high, no low
        {std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // reversed
        {std::u16string{u'x', u'\0', u'y'}, std::string("x\0y", 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.units), c.text);
}

TEST(WellFormedUtf16, RefusesOnlyUnpairedSurrogates) {
    EXPECT_TRUE(is_well_formed_utf16(u""));
    EXPECT_TRUE(is_well_formed_utf16(u"C:\\Users\\\U0001F600"));
    EXPECT_FALSE(is_well_formed_utf16(std::u16string{u'C', char16_t(0xD800)}));
    EXPECT_FALSE(is_well_formed_utf16(std::u16string{char16_t(0xDC00), u'C'}));
}

TEST(ParsePrefix, RecognisesEachPrefixFormAndItsLength) {
    struct Case {
        std::u16string path;
        PathPrefixKind kind;
        std::size_t length;
    };
    const Case cases[] = {
        {u"C:\\x", PathPrefixKind::disk, 2},
        {u"\\\\srv\\share\\x", PathPrefixKind::unc, 11},
        {u"/\\srv/share", PathPrefixKind::unc, 11},
        {u"\\\\srv", PathPrefixKind::none, 0},       // no share
        {u"\\\\\\share", PathPrefixKind::none, 0},   // no server
        {u"\\\\.\\pipe\\x", PathPrefixKind::device, 8},
        {u"//./COM1", PathPrefixKind::device, 8},
        {u"\\\\?\\C:\\x", PathPrefixKind::verbatim_disk, 6},
        {u"\\\\?\\C:", PathPrefixKind::verbatim_disk, 6},
        {u"\\\\?\\C:x", PathPrefixKind::verbatim, 7},
        {u"\\\\?\\UNC\\srv\\share\\x", PathPrefixKind::verbatim_unc, 17},
        {u"//?/C:/x", PathPrefixKind::unc, 6},       // only "\\?\" is verbatim
        {u"x\\y", PathPrefixKind::none, 0},
    };
    for (const Case& c : cases) {
        const PathPrefix prefix = parse_prefix(c.path);
        EXPECT_EQ(prefix.kind, c.kind) << text(c.path);
        EXPECT_EQ(prefix.length, c.length) << text(c.path);
    }
}

}  // namespace
