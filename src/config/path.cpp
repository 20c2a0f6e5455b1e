#include "config/path.h"

namespace {

constexpr std::u16string_view VERBATIM_MARK = u"\\\\?\\";
constexpr std::u16string_view VERBATIM_UNC_MARK = u"UNC\\";

bool is_separator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

bool is_separator_in(const PathPrefix& prefix, char16_t unit) {
    return prefix.is_verbatim() ? unit == u'\\' : is_separator(unit);
}

bool is_ascii_letter(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool starts_with_drive(std::u16string_view path) {
    return path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == u':';
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Length of the text up to the next separator (or the end).
std::size_t component_length(std::u16string_view text, bool verbatim) {
    std::size_t length = 0;
    while (length < text.size() && !(verbatim ? text[length] == u'\\' : is_separator(text[length])))
        ++length;
    return length;
}

PathPrefix parse_verbatim_prefix(std::u16string_view path) {
    const std::u16string_view rest = path.substr(VERBATIM_MARK.size());
    if (rest.starts_with(VERBATIM_UNC_MARK)) {
        std::size_t length = VERBATIM_MARK.size() + VERBATIM_UNC_MARK.size();
        length += component_length(path.substr(length), true);
        if (length < path.size()) length += 1 + component_length(path.substr(length + 1), true);
        return {PathPrefixKind::verbatim_unc, length};
    }
    if (starts_with_drive(rest) && (rest.size() == 2 || rest[2] == u'\\'))
        return {PathPrefixKind::verbatim_disk, VERBATIM_MARK.size() + 2};
    return {PathPrefixKind::verbatim, VERBATIM_MARK.size() + component_length(rest, true)};
}

PathPrefix parse_unc_prefix(std::u16string_view path) {
    const std::size_t server = component_length(path.substr(2), false);
    const std::size_t share_start = 2 + server + 1;
    if (server == 0 || share_start > path.size()) return {};
    const std::size_t share = component_length(path.substr(share_start), false);
    if (share == 0) return {};
    return {PathPrefixKind::unc, share_start + share};
}

bool has_device_mark(std::u16string_view path) {
    return path.size() >= 4 && is_separator(path[0]) && is_separator(path[1]) && path[2] == u'.' &&
           is_separator(path[3]);
}

// End of the prefix and of the root separator that may follow it.
std::size_t root_end(std::u16string_view path, const PathPrefix& prefix) {
    const bool rooted = prefix.length < path.size() && is_separator_in(prefix, path[prefix.length]);
    return prefix.length + (rooted ? 1 : 0);
}

bool is_current_dir(std::u16string_view component) { return component == u"."; }

void append_utf8(std::string& out, char32_t code_point) {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

}  // namespace

PathPrefix parse_prefix(std::u16string_view path) {
    if (path.starts_with(VERBATIM_MARK)) return parse_verbatim_prefix(path);
    if (has_device_mark(path)) return {PathPrefixKind::device, 4 + component_length(path.substr(4), false)};
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) return parse_unc_prefix(path);
    if (starts_with_drive(path)) return {PathPrefixKind::disk, 2};
    return {};
}

std::string path_text(const Path& path) {
    const std::u16string& units = path.units;
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (is_high_surrogate(unit) && i + 1 < units.size() && is_low_surrogate(units[i + 1])) {
            append_utf8(text, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(text, 0xFFFD);
        } else {
            append_utf8(text, unit);
        }
    }
    return text;
}

bool is_well_formed_utf16(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (is_high_surrogate(units[i]) && i + 1 < units.size() && is_low_surrogate(units[i + 1]))
            ++i;
        else if (is_high_surrogate(units[i]) || is_low_surrogate(units[i]))
            return false;
    }
    return true;
}

std::optional<Path> parent(const Path& path) {
    const std::u16string_view units = path.units;
    const PathPrefix prefix = parse_prefix(units);
    const std::size_t root = root_end(units, prefix);

    // Find the start of the last component that counts: empty ones never do, "." only in
    // verbatim paths.
    std::optional<std::size_t> last;
    for (std::size_t start = root; start < units.size();) {
        const std::size_t length = component_length(units.substr(start), prefix.is_verbatim());
        const std::u16string_view component = units.substr(start, length);
        if (!component.empty() && (prefix.is_verbatim() || !is_current_dir(component))) last = start;
        start += length + 1;
    }
    if (!last) return std::nullopt;

    // Drop the separators and skipped "." components in front of it, but never the root.
    std::size_t end = *last;
    while (end > root) {
        if (is_separator_in(prefix, units[end - 1])) {
            --end;
        } else if (!prefix.is_verbatim() && units[end - 1] == u'.' &&
                   (end - 1 == root || is_separator(units[end - 2]))) {
            --end;
        } else {
            break;
        }
    }
    return Path{std::u16string(units.substr(0, end))};
}

Path join(const Path& base, std::u16string_view name) {
    const std::u16string& units = base.units;
    if (units.empty()) return Path{std::u16string(name)};
    if (units.starts_with(VERBATIM_MARK)) {
        // Windows takes a verbatim path literally, so it is rebuilt with single "\" only; a
        // trailing "/" is name text there, not a separator.
        const PathPrefix prefix = parse_prefix(units);
        std::u16string joined = units.substr(0, prefix.length);
        for (std::size_t start = prefix.length; start < units.size();) {
            const std::size_t length = component_length(std::u16string_view(units).substr(start), true);
            if (length > 0) joined.append(u"\\").append(units, start, length);
            start += length + 1;
        }
        return Path{joined.append(u"\\").append(name)};
    }
    if (is_separator(units.back())) return Path{units + std::u16string(name)};
    if (units.size() == 2 && starts_with_drive(units)) return Path{units + std::u16string(name)};
    return Path{units + u'\\' + std::u16string(name)};
}
