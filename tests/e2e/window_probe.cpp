// A small Windows tool the end-to-end tests use to look at and drive the launcher's window from
// outside its process, as a user or the window manager would.
//   window_probe find <class> <timeout ms>   waits for a visible window, prints it as JSON
//   window_probe close <class>               posts WM_CLOSE
//   window_probe resize <class> <w> <h>      changes the outer size, prints the window
//   window_probe minimize <class>            minimises, prints the window
//   window_probe screen                      prints the primary screen size and largest window
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND wait_for_window(const wchar_t* class_name, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        const HWND window = FindWindowW(class_name, nullptr);
        if (window && IsWindowVisible(window)) return window;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(50);
    }
}

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

int print_window(HWND window) {
    wchar_t class_name[256] = {}, title[512] = {};
    GetClassNameW(window, class_name, 256);
    GetWindowTextW(window, title, 512);
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::printf(
        "{\"hwnd\": %llu, \"class\": %s, \"title\": %s, \"style\": %lu, \"ex_style\": %lu, \"rect\": [%ld, %ld, %ld, %ld], "
        "\"client\": [%ld, %ld], \"visible\": %s, \"iconic\": %s, \"pid\": %lu}\n",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), json_string(utf8(class_name)).c_str(), json_string(utf8(title)).c_str(),
        static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), outer.left, outer.top, outer.right,
        outer.bottom, client.right - client.left, client.bottom - client.top,
        IsWindowVisible(window) ? "true" : "false", IsIconic(window) ? "true" : "false",
        static_cast<unsigned long>(process));
    return 0;
}

int fail(const char* why) {
    std::fprintf(stderr, "window_probe: %s\n", why);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    if (argc < 2) return fail("no command");
    const std::wstring command = argv[1];
    if (command == L"screen") {
        // The largest outer size the system lets a window have; it clamps larger requests.
        std::printf("{\"width\": %d, \"height\": %d, \"max_track\": [%d, %d]}\n", GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
        return 0;
    }
    if (argc < 3) return fail("no window class");
    const DWORD timeout = command == L"find" && argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 5000;
    const HWND window = wait_for_window(argv[2], timeout);
    if (!window) return fail("window not found");

    if (command == L"find") return print_window(window);
    if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : fail("PostMessageW failed");
    if (command == L"resize" && argc > 4) {
        SetWindowPos(window, nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return print_window(window);
    }
    if (command == L"minimize") {
        ShowWindow(window, SW_MINIMIZE);
        return print_window(window);
    }
    return fail("unknown command");
}
