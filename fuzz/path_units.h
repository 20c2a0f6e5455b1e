// Fuzz bytes as path units, drawn mostly from the characters the path rules treat specially so
// that short inputs reach every prefix form; a byte of 0xFF takes the next two bytes as a raw
// unit.
#pragma once

#include "fuzz_support.h"

inline std::u16string path_units(FuzzReader& in) {
    static constexpr char16_t alphabet[] = {
        u'\\', u'\\', u'\\', u'/', u'.', u'.', u'?', u':', u'C', u'z', u'U', u'N', u'a', u' ',
        u'%', u'#', 0xD83D, 0xDE00, 0x00DC,
    };
    std::u16string units;
    while (!in.empty()) {
        const std::uint8_t b = in.byte();
        units += b == 0xFF ? in.unit() : alphabet[b % std::size(alphabet)];
    }
    return units;
}
