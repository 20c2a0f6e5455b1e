// UTF-8 to UTF-16 conversion for the strings the launcher hands to Win32 and WebView2.
// Windows-free, so the rule is tested and fuzzed natively.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 form of `utf8`; c_str() gives the 0-terminated buffer Win32 takes. Code points
// above U+FFFF become surrogate pairs, high unit first. The launcher only passes valid UTF-8;
// a malformed sequence would still give one U+FFFD rather than reading past the input.
std::u16string to_wide(std::string_view utf8);
