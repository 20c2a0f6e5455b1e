// to_wide: any bytes give well-formed, 0-terminated UTF-16; valid UTF-8 gives exactly its text.
#include "fuzz_support.h"
#include "shell/wide_text.h"

#include <algorithm>

namespace {

bool is_well_formed(std::u16string_view units) { return unpaired_surrogates(units) == 0; }

// Properties that hold for every byte sequence, malformed or not.
void check_any_bytes(std::string_view bytes) {
    const std::u16string wide = to_wide(bytes);
    CHECK(wide.c_str()[wide.size()] == 0);
    CHECK(is_well_formed(wide));
    CHECK(wide.size() <= bytes.size());
    // A 0 or other ASCII byte is never part of a longer sequence, so it comes through as
    // itself and in order, whatever surrounds it; this catches a decoder that loses its place.
    std::u16string ascii_in, ascii_out;
    for (const char b : bytes)
        if (static_cast<unsigned char>(b) < 0x80) ascii_in += static_cast<char16_t>(b);
    for (const char16_t u : wide)
        if (u < 0x80) ascii_out += u;
    CHECK(ascii_in == ascii_out);

    const std::optional<std::vector<char32_t>> decoded = strict_utf8_decode(bytes);
    if (decoded) {
        CHECK(wide == reference_utf16(*decoded));
    } else {
        CHECK(std::find(wide.begin(), wide.end(), REPLACEMENT) != wide.end());
    }
}

// Code points of every encoding length, surrogates skipped, derived from the fuzz bytes.
std::vector<char32_t> valid_code_points(FuzzReader& in) {
    std::vector<char32_t> out;
    while (!in.empty()) {
        const std::uint8_t head = in.byte();
        const char32_t low = in.byte() | (in.byte() << 8) | (char32_t(in.byte()) << 16);
        switch (head & 3) {
            case 0: out.push_back(head >> 2 == 0 ? 0 : low & 0x7F); break;
            case 1: out.push_back(0x80 + low % (0x800 - 0x80)); break;
            case 2: {
                const char32_t c = 0x800 + low % (0x10000 - 0x800 - 0x800);
                out.push_back(c < 0xD800 ? c : c + 0x800);
                break;
            }
            default: out.push_back(0x10000 + low % (0x110000 - 0x10000));
        }
    }
    return out;
}

void check_valid_text(FuzzReader& in) {
    const std::vector<char32_t> code_points = valid_code_points(in);
    const std::string utf8 = reference_utf8(code_points);
    const std::u16string wide = to_wide(utf8);
    CHECK(wide == reference_utf16(code_points));
    CHECK(lenient_utf16_decode(wide) == code_points);
    CHECK(wide.c_str()[wide.size()] == 0);

    // Every code point above U+FFFF sits at its place as a high unit followed by a low one.
    std::size_t at = 0;
    for (const char32_t c : code_points) {
        if (c > 0xFFFF) {
            CHECK(at + 1 < wide.size() && is_high_unit(wide[at]) && is_low_unit(wide[at + 1]));
            at += 2;
        } else {
            CHECK(wide[at] == c);
            ++at;
        }
    }
    const auto zeros_in = std::count(code_points.begin(), code_points.end(), 0);
    CHECK(std::count(wide.begin(), wide.end(), 0) == zeros_in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check_any_bytes(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzReader in(data, size);
    check_valid_text(in);
    return 0;
}
