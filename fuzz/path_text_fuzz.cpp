// path_text: any UTF-16 unit sequence gives valid UTF-8 in which each unpaired surrogate is one
// U+FFFD and every other character is unchanged.
#include "config/path.h"
#include "fuzz_support.h"
#include "shell/wide_text.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    std::u16string units;
    while (!in.empty()) {
        // Surrogates are rare among random units: half of them are forced into that range so
        // pairs, lone halves and reversed pairs all turn up.
        const char16_t unit = in.unit();
        units += (unit & 1) ? static_cast<char16_t>(0xD800 + (unit >> 6) % 0x800) : unit;
    }

    const std::string text = path_text(Path{units});
    const std::optional<std::vector<char32_t>> decoded = strict_utf8_decode(text);
    CHECK(decoded.has_value());
    CHECK(*decoded == lenient_utf16_decode(units));

    const auto replacements_in = std::count(units.begin(), units.end(), char16_t(REPLACEMENT));
    const auto replacements_out = std::count(decoded->begin(), decoded->end(), REPLACEMENT);
    CHECK(static_cast<std::size_t>(replacements_out - replacements_in) == unpaired_surrogates(units));
    CHECK(is_well_formed_utf16(units) == (unpaired_surrogates(units) == 0));

    // Well-formed text survives the way back through the launcher's own decoder unchanged.
    if (unpaired_surrogates(units) == 0) CHECK(to_wide(text) == units);
    return 0;
}
