// make_page_url: the start page's file: address is well formed for any path, and for a local or
// UNC path written with backslashes it reads back as exactly the page's path.
#include "config/launch_config.h"
#include "fuzz_support.h"
#include "path_units.h"

namespace {

bool is_escape_at(std::string_view url, std::size_t at) {
    const std::string_view code = url.substr(at, 3);
    return code == "%25" || code == "%23" || code == "%3F";
}

void check_well_formed(const std::string& url) {
    CHECK(url.starts_with("file://"));
    // One empty host or a server name, never an extra slash in front of the path.
    CHECK(!url.starts_with("file:////"));
    CHECK(url.find_first_of("#?\\") == std::string::npos);
    for (std::size_t at = url.find('%'); at != std::string::npos; at = url.find('%', at + 1))
        CHECK(is_escape_at(url, at));
    CHECK(strict_utf8_decode(url).has_value());
}

// The path a browser reads from the address, in Windows notation: the host (if any) as a UNC
// server, slashes as backslashes, and the three escapes undone.
std::string windows_path_of(std::string_view url) {
    const bool has_host = !url.starts_with("file:///");
    std::string path = has_host ? "\\\\" : "";
    for (std::size_t at = has_host ? 7 : 8; at < url.size(); ++at) {
        if (url[at] == '%') {
            path += url.substr(at, 3) == "%25" ? '%' : url.substr(at, 3) == "%23" ? '#' : '?';
            at += 2;
        } else {
            path += url[at] == '/' ? '\\' : url[at];
        }
    }
    return path;
}

// The form a verbatim path names: \\?\C:\x is C:\x, \\?\UNC\server\share\x is \\server\share\x.
std::u16string readable_form(const std::u16string& units) {
    switch (parse_prefix(units).kind) {
        case PathPrefixKind::verbatim_disk: return units.substr(4);
        case PathPrefixKind::verbatim_unc: return u"\\\\" + units.substr(8);
        default: return units;
    }
}

// The address reads back as the page's path when, with any verbatim prefix dropped, the path
// is a drive path "X:..." or a UNC path \\server\share... and has no "/" anywhere: a "/" would
// read back as "\", and any other path loses its leading slashes to the empty host.
bool reads_back(const std::u16string& units) {
    if (units.find(u'/') != std::u16string::npos) return false;
    const std::u16string readable = readable_form(units);
    const PathPrefixKind kind = parse_prefix(readable).kind;
    return kind == PathPrefixKind::disk || kind == PathPrefixKind::unc;
}

// Drive, UNC and verbatim prefixes in front of fuzzed text, so the read-back case is common.
std::u16string page_units(FuzzReader& in) {
    static constexpr std::u16string_view heads[] = {
        u"", u"C:\\", u"z:", u"\\\\srv\\share\\", u"\\\\?\\C:\\", u"\\\\?\\UNC\\srv\\sh\\", u"\\\\",
    };
    const std::u16string_view head = heads[in.byte() % std::size(heads)];
    return std::u16string(head) + path_units(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const Path page{page_units(in)};
    const std::string url = make_page_url(page);
    check_well_formed(url);
    if (reads_back(page.units)) CHECK(windows_path_of(url) == path_text(Path{readable_form(page.units)}));
    return 0;
}
