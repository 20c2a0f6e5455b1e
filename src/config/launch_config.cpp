#include "config/launch_config.h"

#include <algorithm>

namespace {

constexpr std::u16string_view CONFIG_UNKNOWN_EXE_DIR = u".";
constexpr std::u16string_view CONFIG_LOADER_FILE = u"WebView2Loader.dll";
constexpr std::u16string_view CONFIG_PAGE_FILE = u"index.html";
constexpr std::u16string_view CONFIG_FALLBACK_DATA_BASE = u"C:\\Temp";
constexpr std::u16string_view CONFIG_PRODUCT_FOLDER = u"QuorvelLauncher";
constexpr std::u16string_view CONFIG_PROFILE_FOLDER = u"WebView2Data";

Path executable_folder(const std::optional<Path>& exe_path) {
    if (exe_path) {
        if (std::optional<Path> folder = parent(*exe_path)) return *folder;
    }
    return Path{std::u16string(CONFIG_UNKNOWN_EXE_DIR)};
}

// LOCALAPPDATA is used exactly as set, even empty; only a value that is not text is refused.
Path data_base_folder(const std::optional<std::u16string>& local_app_data) {
    if (local_app_data && is_well_formed_utf16(*local_app_data)) return Path{*local_app_data};
    return Path{std::u16string(CONFIG_FALLBACK_DATA_BASE)};
}

// \\?\C:\x reads as C:\x and \\?\UNC\server\share\x as \\server\share\x; other verbatim
// forms name no place a file: address can reach and stay as they are.
Path without_verbatim_prefix(const Path& path) {
    switch (parse_prefix(path.units).kind) {
        case PathPrefixKind::verbatim_disk:
            return Path{path.units.substr(4)};
        case PathPrefixKind::verbatim_unc:
            return Path{u"\\\\" + path.units.substr(8)};
        default:
            return path;
    }
}

// Escapes the three characters that would end the path part of the address or be decoded.
void append_escaped(std::string& url, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '%': url += "%25"; break;
            case '#': url += "%23"; break;
            case '?': url += "%3F"; break;
            default: url += c;
        }
    }
}

}  // namespace

LaunchConfig compute_launch_config(const std::optional<Path>& exe_path,
                                   const std::optional<std::u16string>& local_app_data) {
    LaunchConfig config;
    config.exe_dir = executable_folder(exe_path);
    config.loader_path = join(config.exe_dir, CONFIG_LOADER_FILE);
    config.page_path = join(config.exe_dir, CONFIG_PAGE_FILE);
    config.user_data_dir =
        join(join(data_base_folder(local_app_data), CONFIG_PRODUCT_FOLDER), CONFIG_PROFILE_FOLDER);
    config.start_url = make_page_url(config.page_path);
    return config;
}

std::string make_page_url(const Path& page_path) {
    const Path readable = without_verbatim_prefix(page_path);
    const bool unc = parse_prefix(readable.units).kind == PathPrefixKind::unc;

    std::string text = path_text(readable);
    std::replace(text.begin(), text.end(), '\\', '/');
    const std::size_t first = std::min(text.find_first_not_of('/'), text.size());

    // A UNC server becomes the address's host; every other path has an empty host.
    std::string url = unc ? "file://" : "file:///";
    append_escaped(url, std::string_view(text).substr(first));
    return url;
}
