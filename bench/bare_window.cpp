// The floor for the start-up benchmark: the smallest program that puts the same window on the
// screen as the launcher does (same class settings, style, size and placement), built with the
// same toolchain and flags, without DPI awareness, COM, the dark title bar or a web view.
#include <windows.h>

namespace {

constexpr wchar_t BARE_WINDOW_CLASS[] = L"QuorvelBenchBareWnd";
constexpr int BARE_WINDOW_WIDTH = 1280;
constexpr int BARE_WINDOW_HEIGHT = 800;

LRESULT CALLBACK bare_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int centred(int screen, int window) { return screen > window ? (screen - window) / 2 : 0; }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = bare_window_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = BARE_WINDOW_CLASS;
    RegisterClassExW(&window_class);

    const HWND window = CreateWindowExW(
        0, BARE_WINDOW_CLASS, L"Bare window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
        centred(GetSystemMetrics(SM_CXSCREEN), BARE_WINDOW_WIDTH),
        centred(GetSystemMetrics(SM_CYSCREEN), BARE_WINDOW_HEIGHT), BARE_WINDOW_WIDTH,
        BARE_WINDOW_HEIGHT, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
