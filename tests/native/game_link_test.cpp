#include "webview_host/game_link.h"

#include <gtest/gtest.h>

namespace {

TEST(IsGameLink, MatchesExactlyTheEightUnitPrefix) {
    struct Case {
        const wchar_t* address;
        bool game_link;
    };
    const Case cases[] = {
        {L"fivem://connect/127.0.0.1:30120", true},
        {L"fivem://", true},  // the bare prefix
        {L"fivem://connect/a\"b", true},
        {L"FIVEM://connect/127.0.0.1:30120", false},
        {L"Fivem://x", false},
        {L"fiveM://x", false},
        {L"fivem:/connect", false},  // one slash
        {L"fivem:/", false},         // shorter than the prefix
        {L"fivem", false},
        {L"", false},
        {L" fivem://x", false},
        {L"https://example.org/?fivem://", false},
    };
    for (const Case& c : cases) EXPECT_EQ(is_game_link(c.address), c.game_link) << c.address;
}

TEST(IsShellSafe, RefusesWhatCouldBreakOutOfTheQuotedArgument) {
    const wchar_t* refused[] = {
        L"fivem://connect/1.2.3.4\" --flag \"x",
        L"fivem://connect/a\"",
        L"fivem://connect/a b",
        L"fivem://connect/a\tb",
        L"fivem://connect/a\nb",
        L"fivem://connect/a\rb",
        L"fivem://connect/\x01",
        L"fivem://connect/\x1F",
        L"fivem://connect/\x7F",
    };
    for (const wchar_t* address : refused) EXPECT_FALSE(is_shell_safe(address)) << address;
}

TEST(IsShellSafe, AcceptsOrdinaryGameLinks) {
    const wchar_t* accepted[] = {
        L"fivem://",
        L"fivem://connect/127.0.0.1:30120",
        L"fivem://connect/play.example.org:30120?password=a%20b&x=1",
        L"fivem://connect/\u00FCber.example:30120",
        L"fivem://connect/'single'/(parens)/&amp;",
        L"fivem://connect/\x80\u00A0",  // above DEL is not a control character here
    };
    for (const wchar_t* address : accepted) EXPECT_TRUE(is_shell_safe(address)) << address;
}

}  // namespace
