// parent and join: what the path rules promise about a folder and a name in it.
#include "config/path.h"
#include "fuzz_support.h"
#include "path_units.h"

namespace {

bool is_separator_for(const PathPrefix& prefix, char16_t unit) {
    return unit == u'\\' || (!prefix.is_verbatim() && unit == u'/');
}

// The prefix and the one root separator after it, which parent never removes.
std::size_t root_length(std::u16string_view units) {
    const PathPrefix prefix = parse_prefix(units);
    const bool rooted = prefix.length < units.size() && is_separator_for(prefix, units[prefix.length]);
    return prefix.length + (rooted ? 1 : 0);
}

void check_parent(const Path& path) {
    const std::optional<Path> folder = parent(path);
    if (!folder) return;
    CHECK(folder->units.size() < path.units.size());
    CHECK(path.units.starts_with(folder->units));
    // The parent of a path stays on the same volume, share or device.
    const PathPrefix prefix = parse_prefix(path.units);
    const PathPrefix folder_prefix = parse_prefix(folder->units);
    CHECK(folder_prefix.kind == prefix.kind && folder_prefix.length == prefix.length);
    // Only a root keeps its trailing separator, so joining to a parent never doubles one.
    const std::u16string_view units = folder->units;
    if (units.size() > root_length(units)) CHECK(!is_separator_for(folder_prefix, units.back()));
}

// A plain name: not empty, no separator of any kind, and neither "." nor "..".
std::u16string plain_name(FuzzReader& in) {
    std::u16string name;
    for (std::uint8_t length = in.byte() % 6 + 1; length > 0; --length) {
        const std::uint8_t b = in.byte();
        const char16_t unit = b == 0xFF ? in.unit() : static_cast<char16_t>(u'.' + b % 64);
        name += unit == u'\\' || unit == u'/' ? u'_' : unit;
    }
    if (name == u"." || name == u"..") name += u'x';
    return name;
}

void check_join(const Path& base, const std::u16string& name) {
    const Path joined = join(base, name);
    const std::u16string_view units = joined.units;
    CHECK(units.ends_with(name));
    // A verbatim base is rebuilt with single separators; any other is kept as it is.
    if (!base.units.starts_with(u"\\\\?\\")) CHECK(units.starts_with(base.units));

    // Where the base is a complete prefix or more, the name lands after it as the last
    // component. (After "\\server", "\\?\" or "\\.\" the name completes the prefix instead, as
    // Windows reads it.)
    const PathPrefix prefix = parse_prefix(units);
    const PathPrefix base_prefix = parse_prefix(base.units);
    if (base.units.empty() || prefix.kind != base_prefix.kind || prefix.length != base_prefix.length)
        return;
    const std::size_t name_start = units.size() - name.size();
    CHECK(name_start == prefix.length || is_separator_for(prefix, units[name_start - 1]));
    const std::optional<Path> folder = parent(joined);
    CHECK(folder.has_value());
    CHECK(folder->units.size() <= name_start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const std::u16string name = plain_name(in);
    const Path path{path_units(in)};
    check_parent(path);
    check_join(path, name);
    return 0;
}
