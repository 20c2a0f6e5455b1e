// The two operating-system queries behind the launch configuration.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "config/launch_config.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

// Runs a Win32 query that fills a caller's buffer, growing the buffer until the whole value
// fits. `query(buffer, size)` returns the value's length when it fit, a number at least `size`
// when it did not, and 0 when there is no value (or it is empty).
template <typename Query>
std::u16string read_whole(Query query) {
    std::u16string buffer(MAX_PATH, u'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD result = query(reinterpret_cast<wchar_t*>(buffer.data()), size);
        if (result < size) {
            buffer.resize(result);
            return buffer;
        }
        // GetEnvironmentVariableW says how much it needs; GetModuleFileNameW only that it was cut.
        buffer.resize(std::max<std::size_t>(result, std::size_t{size} * 2));
    }
}

std::optional<Path> query_executable_path() {
    std::u16string path = read_whole([](wchar_t* buffer, DWORD size) {
        return GetModuleFileNameW(nullptr, buffer, size);
    });
    if (path.empty()) return std::nullopt;
    return Path{std::move(path)};
}

std::optional<std::u16string> query_local_app_data() {
    bool missing = false;
    std::u16string value = read_whole([&missing](wchar_t* buffer, DWORD size) {
        SetLastError(ERROR_SUCCESS);
        const DWORD result = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, size);
        // 0 means either "not set" or "set to the empty string"; only the error tells them apart.
        missing = result == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND;
        return result;
    });
    if (missing) return std::nullopt;
    return value;
}

}  // namespace

LaunchConfig resolve_launch_config() {
    const std::optional<Path> exe_path = query_executable_path();
    const std::optional<std::u16string> local_app_data = query_local_app_data();
    return compute_launch_config(exe_path, local_app_data);
}
