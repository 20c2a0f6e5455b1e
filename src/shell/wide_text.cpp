#include "shell/wide_text.h"

namespace {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the code point at `utf8[pos]` and advances `pos` past it.
char32_t decode_code_point(std::string_view utf8, size_t& pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos++]);
    if (lead < 0x80) return lead;

    int trailing = 0;
    char32_t code_point = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        trailing = 1, code_point = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        trailing = 2, code_point = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        trailing = 3, code_point = lead & 0x07, smallest = 0x10000;
    } else {
        return REPLACEMENT_CHARACTER;
    }
    for (int i = 0; i < trailing; ++i) {
        if (pos >= utf8.size() || !is_continuation(static_cast<unsigned char>(utf8[pos])))
            return REPLACEMENT_CHARACTER;
        code_point = (code_point << 6) | (static_cast<unsigned char>(utf8[pos++]) & 0x3F);
    }
    const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
    if (code_point < smallest || code_point > 0x10FFFF || surrogate) return REPLACEMENT_CHARACTER;
    return code_point;
}

void append_utf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    const char32_t offset = code_point - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

}  // namespace

std::u16string to_wide(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) append_utf16(wide, decode_code_point(utf8, pos));
    return wide;
}
