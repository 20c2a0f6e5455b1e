// Shared by the fuzz targets: a property check that stops the fuzzer with a readable message,
// a reader that turns fuzz bytes into typed values, and independent Unicode encoders and
// decoders the targets compare the launcher's own conversions against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A violated property is a finding: libFuzzer keeps the input that trapped.
#define CHECK(condition)                                                                   \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__,     \
                         #condition);                                                      \
            __builtin_trap();                                                              \
        }                                                                                  \
    } while (0)

class FuzzReader {
public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    // 0 once the input is used up, so every generator ends.
    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }

    char16_t unit() {
        const std::uint8_t low = byte();
        return static_cast<char16_t>(low | (byte() << 8));
    }

    // The next `count` bytes as a reader of their own.
    FuzzReader split(std::size_t count) {
        count = count < remaining() ? count : remaining();
        FuzzReader part(data_ + pos_, count);
        pos_ += count;
        return part;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

inline bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
inline bool is_high_unit(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool is_low_unit(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

constexpr char32_t REPLACEMENT = 0xFFFD;

inline std::string reference_utf8(const std::vector<char32_t>& code_points) {
    std::string out;
    for (const char32_t c : code_points) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline std::u16string reference_utf16(const std::vector<char32_t>& code_points) {
    std::u16string out;
    for (const char32_t c : code_points) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 | ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 | ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// Strict UTF-8 decoding (shortest form, no surrogates, at most U+10FFFF), written from the
// encoding table rather than from the launcher's decoder; nothing when `bytes` is not UTF-8.
inline std::optional<std::vector<char32_t>> strict_utf8_decode(std::string_view bytes) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                                 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < smallest[length] || c > 0x10FFFF || is_surrogate(c)) return std::nullopt;
        out.push_back(c);
        i += length;
    }
    return out;
}

// UTF-16 as code points, each unpaired surrogate as U+FFFD; a pair is a high unit directly
// followed by a low one.
inline std::vector<char32_t> lenient_utf16_decode(std::u16string_view units) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool pair = is_high_unit(units[i]) && i + 1 < units.size() && is_low_unit(units[i + 1]);
        if (pair) {
            out.push_back(0x10000 + ((char32_t(units[i]) & 0x3FF) << 10) + (units[i + 1] & 0x3FF));
            ++i;
        } else {
            out.push_back(is_surrogate(units[i]) ? REPLACEMENT : units[i]);
        }
    }
    return out;
}

inline std::size_t unpaired_surrogates(std::u16string_view units) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (is_high_unit(units[i]) && i + 1 < units.size() && is_low_unit(units[i + 1]))
            ++i;
        else if (is_surrogate(units[i]))
            ++count;
    }
    return count;
}
