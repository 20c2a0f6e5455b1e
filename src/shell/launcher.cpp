#include "shell/launcher.h"

#include <dwmapi.h>

#include <string>

#include "shell/com_apartment.h"
#include "config/launch_config.h"
#include "shell/wide_text.h"
#include "shell/window_placement.h"
#include "webview_host/webview_host.h"

namespace {

constexpr const char* SHELL_WINDOW_CLASS = "QuorvelLauncherWnd";
constexpr const char* SHELL_WINDOW_TITLE = "Quorvel - Role Play Launcher";
// DWMWA_USE_IMMERSIVE_DARK_MODE; older SDK headers do not name it yet.
constexpr DWORD SHELL_DARK_TITLE_BAR_ATTRIBUTE = 20;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

const wchar_t* win32_text(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

HWND create_main_window(HINSTANCE instance, const std::u16string& class_name,
                        const std::u16string& title) {
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    const WindowOrigin origin = centred_window_origin(screen_width, screen_height);
    return CreateWindowExW(0, win32_text(class_name), win32_text(title),
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, origin.x, origin.y, SHELL_WINDOW_WIDTH,
                           SHELL_WINDOW_HEIGHT, nullptr, nullptr, instance, nullptr);
}

void request_dark_title_bar(HWND window) {
    const BOOL dark = TRUE;
    DwmSetWindowAttribute(window, SHELL_DARK_TITLE_BAR_ATTRIBUTE, &dark, sizeof dark);
}

// Runs until the quit message, or until GetMessageW reports an error (-1).
void run_message_loop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The window is gone: end the message loop.
LRESULT on_destroy() {
    PostQuitMessage(0);
    return 0;
}

// Keep the browser filling the client area; the host reads the new size back itself.
LRESULT on_size(HWND window) {
    webview_resize(window);
    return 0;
}

}  // namespace

WNDCLASSEXW main_window_class(HINSTANCE instance, const wchar_t* class_name) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.style = 0;  // the web view repaints itself; no redraw on resize
    window_class.lpfnWndProc = main_window_proc;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = instance;
    window_class.hIcon = nullptr;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszMenuName = nullptr;
    window_class.lpszClassName = class_name;
    window_class.hIconSm = nullptr;
    return window_class;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_DESTROY: return on_destroy();
        case WM_SIZE: return on_size(window);
        default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

void launcher_main() {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const ComApartment apartment;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::u16string class_name = to_wide(SHELL_WINDOW_CLASS);
    const std::u16string title = to_wide(SHELL_WINDOW_TITLE);

    // A failed registration shows up as a failed window creation below.
    const WNDCLASSEXW window_class = main_window_class(instance, win32_text(class_name));
    RegisterClassExW(&window_class);
    const HWND window = create_main_window(instance, class_name, title);
    if (!window) return;

    request_dark_title_bar(window);
    // On screen and black before anything slower runs.
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    const LaunchConfig config = resolve_launch_config();
    const std::u16string loader_path = to_wide(path_text(config.loader_path));
    const std::u16string user_data_dir = to_wide(path_text(config.user_data_dir));
    const std::u16string start_url = to_wide(config.start_url);
    // Its result only tells which stage failed; either way the window stays up.
    webview_create(window, win32_text(loader_path), win32_text(user_data_dir), win32_text(start_url));

    run_message_loop();
}
