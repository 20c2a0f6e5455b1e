// Windows path rules over raw UTF-16 units. Windows-free, so they are tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A path exactly as the operating system reports it: letter case, "." and "..", forward
// slashes, verbatim prefixes and even unpaired surrogates are kept, never normalised.
struct Path {
    std::u16string units;
    friend bool operator==(const Path&, const Path&) = default;
};

enum class PathPrefixKind {
    none,
    verbatim_unc,   // \\?\UNC\server\share
    verbatim_disk,  // \\?\C:
    verbatim,       // \\?\anything
    device,         // \\.\name
    unc,            // \\server\share
    disk,           // C:
};

struct PathPrefix {
    PathPrefixKind kind = PathPrefixKind::none;
    std::size_t length = 0;  // units the prefix takes at the start of the path

    // Verbatim paths are taken literally by Windows: only "\" separates, "." is a name.
    bool is_verbatim() const {
        return kind == PathPrefixKind::verbatim_unc || kind == PathPrefixKind::verbatim_disk ||
               kind == PathPrefixKind::verbatim;
    }
};

PathPrefix parse_prefix(std::u16string_view path);

// The path as UTF-8: paired surrogates become their character, each unpaired one U+FFFD.
std::string path_text(const Path& path);

// True when `units` holds no unpaired surrogate.
bool is_well_formed_utf16(std::u16string_view units);

// The path without its last component, or nothing for an empty path or a bare prefix and root.
// ".." is a component like any other and is not resolved.
std::optional<Path> parent(const Path& path);

// `base` extended by the plain relative `name`, with at most one separator between them.
Path join(const Path& base, std::u16string_view name);
