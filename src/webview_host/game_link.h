// Which addresses start the game, and which of those the shell can be trusted with.
// Windows-free, so the rules are tested and fuzzed natively.
#pragma once

#include <cwchar>

// Exactly these 8 units, case-sensitive, begin every address that starts the game.
inline constexpr wchar_t WEBVIEW_GAME_LINK_PREFIX[] = L"fivem://";
inline constexpr std::size_t WEBVIEW_GAME_LINK_PREFIX_LENGTH = 8;

inline bool is_game_link(const wchar_t* address) {
    return std::wcsncmp(address, WEBVIEW_GAME_LINK_PREFIX, WEBVIEW_GAME_LINK_PREFIX_LENGTH) == 0;
}

// The shell pastes the address into the game client's command line between double quotes: a
// quote would end that argument early, and a space or control character could start another.
// Such an address is never handed on.
inline bool is_shell_safe(const wchar_t* address) {
    for (; *address; ++address) {
        const wchar_t unit = *address;
        if (unit == L'"' || unit == L' ' || unit < 0x20 || unit == 0x7F) return false;
    }
    return true;
}
