// Times a GUI program's start from inside Wine, so start and end are read from one clock:
//   startup_timer <exe> <window class> <runs> [<runtime log>]
// For each run it starts <exe>, waits for a visible top-level window of <window class> owned by
// that process and, when a runtime log is given, for the fake WebView2 runtime's
// "WebView.Navigate" line in it; then it closes the window and waits for the exit.
// Prints one line per run: "run <n> shown_ms <ms> navigate_ms <ms|->".
#include <windows.h>
#include <timeapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD TIMER_GIVE_UP_MS = 30000;
constexpr DWORD TIMER_EXIT_WAIT_MS = 10000;

double elapsed_ms(const LARGE_INTEGER& since) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - since.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

HWND visible_window_of(const wchar_t* class_name, DWORD process_id) {
    for (HWND window = FindWindowExW(nullptr, nullptr, class_name, nullptr); window;
         window = FindWindowExW(nullptr, window, class_name, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process_id && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The whole log as bytes; the fake runtime appends and closes it for every line, so a reader
// sharing it for writing sees each line once it is complete.
std::string read_log(const wchar_t* path) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

bool navigated(const wchar_t* log_path) {
    return read_log(log_path).find("WebView.Navigate ") != std::string::npos;
}

struct Run {
    double shown_ms = -1;
    double navigate_ms = -1;
};

bool time_one_run(const wchar_t* exe, const wchar_t* class_name, const wchar_t* log_path, Run& run) {
    if (log_path) DeleteFileW(log_path);
    std::wstring command_line = L"\"" + std::wstring(exe) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;

    HWND window = nullptr;
    while ((run.shown_ms < 0 || (log_path && run.navigate_ms < 0)) && elapsed_ms(start) < TIMER_GIVE_UP_MS) {
        if (!window && (window = visible_window_of(class_name, process.dwProcessId))) run.shown_ms = elapsed_ms(start);
        if (log_path && run.navigate_ms < 0 && navigated(log_path)) run.navigate_ms = elapsed_ms(start);
        Sleep(1);
    }
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, TIMER_EXIT_WAIT_MS) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run.shown_ms >= 0 && (!log_path || run.navigate_ms >= 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: startup_timer <exe> <window class> <runs> [<runtime log>]\n");
        return 2;
    }
    const wchar_t* log_path = argc == 5 ? argv[4] : nullptr;
    if (log_path) SetEnvironmentVariableW(L"FAKE_WEBVIEW2_LOG", log_path);
    timeBeginPeriod(1);  // Sleep(1) polls at 1 ms rather than the default 15.6 ms tick
    const int runs = _wtoi(argv[3]);
    for (int n = 1; n <= runs; ++n) {
        Run run;
        if (!time_one_run(argv[1], argv[2], log_path, run)) {
            std::fprintf(stderr, "run %d: no %s within %lu ms\n", n, run.shown_ms < 0 ? "window" : "Navigate",
                         static_cast<unsigned long>(TIMER_GIVE_UP_MS));
            return 1;
        }
        if (log_path)
            std::printf("run %d shown_ms %.3f navigate_ms %.3f\n", n, run.shown_ms, run.navigate_ms);
        else
            std::printf("run %d shown_ms %.3f navigate_ms -\n", n, run.shown_ms);
        std::fflush(stdout);
    }
    timeEndPeriod(1);
    return 0;
}
