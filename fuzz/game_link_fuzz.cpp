// is_game_link and is_shell_safe over arbitrary UTF-16 addresses.
#include "fuzz_support.h"
#include "webview_host/game_link.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr std::u16string_view GAME_LINK_PREFIX = u"fivem://";

// An address is half the time built on the game-link prefix, with fuzzed units overwriting
// parts of it, so near misses ("fivem:/", "Fivem://", a 0 inside) are common.
std::vector<wchar_t> address_units(FuzzReader& in) {
    std::vector<wchar_t> units;
    if (in.byte() & 1) units.assign(GAME_LINK_PREFIX.begin(), GAME_LINK_PREFIX.end());
    for (std::size_t at = 0; !in.empty(); ++at) {
        const std::uint8_t b = in.byte();
        if (at < units.size() && b < 0x80) continue;  // the prefix keeps its unit here
        const wchar_t unit = b == 0xFF ? in.unit() : static_cast<wchar_t>(b & 0x7F);
        if (at < units.size()) units[at] = unit; else units.push_back(unit);
    }
    return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    std::vector<wchar_t> units = address_units(in);
    // The string ends where a 0 unit is, as Windows reads it; the buffer is exactly that long so
    // a read past the terminator shows up under AddressSanitizer.
    const std::size_t length = std::find(units.begin(), units.end(), L'\0') - units.begin();
    units.resize(length + 1, L'\0');
    const std::wstring_view address(units.data(), length);

    const bool has_prefix = address.size() >= GAME_LINK_PREFIX.size() &&
                            std::equal(GAME_LINK_PREFIX.begin(), GAME_LINK_PREFIX.end(), address.begin());
    CHECK(is_game_link(units.data()) == has_prefix);

    const bool breaks_quoting = address.find_first_of(L"\" \x7F") != std::wstring_view::npos ||
                                std::any_of(address.begin(), address.end(), [](wchar_t u) { return u < 0x20; });
    CHECK(is_shell_safe(units.data()) == !breaks_quoting);
    return 0;
}
