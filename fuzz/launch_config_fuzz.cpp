// compute_launch_config: where the loader, the page and the browser profile end up for whatever
// executable path and LOCALAPPDATA Windows reports.
#include "config/launch_config.h"
#include "fuzz_support.h"
#include "path_units.h"

namespace {

constexpr std::u16string_view PROFILE_TAIL = u"QuorvelLauncher\\WebView2Data";

void check_files_beside_executable(const std::optional<Path>& exe_path, const LaunchConfig& config) {
    const std::optional<Path> exe_folder = exe_path ? parent(*exe_path) : std::nullopt;
    CHECK(config.exe_dir == exe_folder.value_or(Path{u"."}));
    CHECK(config.loader_path.units.ends_with(u"WebView2Loader.dll"));
    CHECK(config.page_path.units.ends_with(u"index.html"));
    // Loader and page lie directly in the executable's folder. Not checked when that folder is
    // an unfinished UNC or device prefix (parent of "\\server\\x" is "\\server"): the file
    // name then completes the prefix, as Windows reads it, and is no component of its own.
    // Windows never reports such an executable path.
    if (parse_prefix(config.exe_dir.units).kind != parse_prefix(config.loader_path.units).kind) return;
    const std::optional<Path> loader_folder = parent(config.loader_path);
    const std::optional<Path> page_folder = parent(config.page_path);
    CHECK(loader_folder.has_value() && page_folder.has_value());
    CHECK(*loader_folder == *page_folder);
    // The page's parent is the executable's folder, up to the doubled separators that join
    // drops when it rebuilds a verbatim folder; joined to a name, both give the same path.
    if (exe_folder) CHECK(join(*page_folder, u"x") == join(*exe_folder, u"x"));
}

void check_profile_folder(const std::optional<std::u16string>& local_app_data, const LaunchConfig& config) {
    const std::u16string& units = config.user_data_dir.units;
    // The browser gets a profile path it can store as text, whatever the variable held.
    CHECK(is_well_formed_utf16(units));
    CHECK(units.ends_with(PROFILE_TAIL));
    const bool usable = local_app_data && is_well_formed_utf16(*local_app_data);
    const std::u16string base = usable ? *local_app_data : u"C:\\Temp";
    if (!base.starts_with(u"\\\\?\\")) CHECK(units.starts_with(base));
}

void check_start_address(const LaunchConfig& config) {
    CHECK(config.start_url == make_page_url(config.page_path));
    CHECK(config.start_url.starts_with("file://"));
    CHECK(config.start_url.ends_with("index.html"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const std::uint8_t shape = in.byte();
    FuzzReader exe_bytes = in.split(in.byte());
    std::optional<Path> exe_path;
    if (shape & 1) exe_path = Path{path_units(exe_bytes)};
    std::optional<std::u16string> local_app_data;
    if (shape & 2) local_app_data = path_units(in);

    const LaunchConfig config = compute_launch_config(exe_path, local_app_data);
    check_files_beside_executable(exe_path, config);
    check_profile_folder(local_app_data, config);
    check_start_address(config);
    return 0;
}
