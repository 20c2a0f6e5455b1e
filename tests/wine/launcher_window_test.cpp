// launcher_main and its window, observed through the Win32 calls it makes and from inside its
// own message loop.
#include <windows.h>
#include <dwmapi.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_hook.h"
#include "shell/launcher.h"

namespace {

constexpr wchar_t CLASS_NAME[] = L"QuorvelLauncherWnd";

// Every watched call launcher_main makes, in order; repeats of one call in a row count once.
std::vector<std::string> journal;
bool journaling = false;

struct CreateWindowCall {
    DWORD ex_style;
    std::wstring class_name, title;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    void* param;
};
CreateWindowCall create_call;
WNDCLASSEXW registered_record;
std::wstring registered_name;

void note(const std::string& call) {
    if (journaling && (journal.empty() || journal.back() != call)) journal.push_back(call);
}

decltype(&SetProcessDpiAwarenessContext) real_set_dpi_awareness;
decltype(&CoInitializeEx) real_co_initialize_ex;
decltype(&CoUninitialize) real_co_uninitialize;
decltype(&RegisterClassExW) real_register_class;
decltype(&CreateWindowExW) real_create_window;
decltype(&DwmSetWindowAttribute) real_dwm_set_attribute;
decltype(&ShowWindow) real_show_window;
decltype(&UpdateWindow) real_update_window;
decltype(&GetModuleFileNameW) real_get_module_file_name;
decltype(&GetEnvironmentVariableW) real_get_environment_variable;
decltype(&GetMessageW) real_get_message;
decltype(&LoadLibraryW) real_load_library;

BOOL WINAPI watch_set_dpi_awareness(DPI_AWARENESS_CONTEXT context) {
    note("SetProcessDpiAwarenessContext " + std::to_string(reinterpret_cast<INT_PTR>(context)));
    return real_set_dpi_awareness(context);
}
HRESULT WINAPI watch_co_initialize_ex(void* reserved, DWORD flags) {
    note("CoInitializeEx " + std::to_string(flags) + (reserved ? " reserved" : ""));
    return real_co_initialize_ex(reserved, flags);
}
void WINAPI watch_co_uninitialize() {
    note("CoUninitialize");
    real_co_uninitialize();
}
ATOM WINAPI watch_register_class(const WNDCLASSEXW* record) {
    note("RegisterClassExW");
    if (journaling) {
        registered_record = *record;
        registered_name = record->lpszClassName;
    }
    return real_register_class(record);
}
HWND WINAPI watch_create_window(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                                int x, int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, void* param) {
    note("CreateWindowExW");
    if (journaling) {
        create_call = {ex_style, IS_INTRESOURCE(class_name) ? L"" : class_name, title ? title : L"", style, x, y,
                       width, height, parent, menu, instance, param};
    }
    return real_create_window(ex_style, class_name, title, style, x, y, width, height, parent, menu, instance,
                              param);
}
HRESULT WINAPI watch_dwm_set_attribute(HWND window, DWORD attribute, const void* value, DWORD size) {
    const int first_value = value && size >= sizeof(int) ? *static_cast<const int*>(value) : -1;
    note("DwmSetWindowAttribute " + std::to_string(attribute) + " " + std::to_string(first_value) + " " +
         std::to_string(size));
    return real_dwm_set_attribute(window, attribute, value, size);
}
BOOL WINAPI watch_show_window(HWND window, int command) {
    note("ShowWindow " + std::to_string(command));
    return real_show_window(window, command);
}
BOOL WINAPI watch_update_window(HWND window) {
    note("UpdateWindow");
    return real_update_window(window);
}
DWORD WINAPI watch_get_module_file_name(HMODULE module, wchar_t* buffer, DWORD size) {
    note(module ? "GetModuleFileNameW module" : "GetModuleFileNameW");
    return real_get_module_file_name(module, buffer, size);
}
DWORD WINAPI watch_get_environment_variable(const wchar_t* name, wchar_t* buffer, DWORD size) {
    note("GetEnvironmentVariableW " + std::string(name, name + lstrlenW(name)));
    return real_get_environment_variable(name, buffer, size);
}
BOOL WINAPI watch_get_message(MSG* message, HWND window, UINT first, UINT last) {
    note("GetMessageW");
    return real_get_message(message, window, first, last);
}

HMODULE WINAPI watch_load_library(const wchar_t* name) {
    note("LoadLibraryW " + std::string(name, name + lstrlenW(name)));
    return real_load_library(name);
}

void watch_launcher_calls() {
    real_set_dpi_awareness = replace_import("user32.dll", "SetProcessDpiAwarenessContext", &watch_set_dpi_awareness);
    real_co_initialize_ex = replace_import("ole32.dll", "CoInitializeEx", &watch_co_initialize_ex);
    real_co_uninitialize = replace_import("ole32.dll", "CoUninitialize", &watch_co_uninitialize);
    real_register_class = replace_import("user32.dll", "RegisterClassExW", &watch_register_class);
    real_create_window = replace_import("user32.dll", "CreateWindowExW", &watch_create_window);
    real_dwm_set_attribute = replace_import("dwmapi.dll", "DwmSetWindowAttribute", &watch_dwm_set_attribute);
    real_show_window = replace_import("user32.dll", "ShowWindow", &watch_show_window);
    real_update_window = replace_import("user32.dll", "UpdateWindow", &watch_update_window);
    real_get_module_file_name = replace_import("kernel32.dll", "GetModuleFileNameW", &watch_get_module_file_name);
    real_get_environment_variable =
        replace_import("kernel32.dll", "GetEnvironmentVariableW", &watch_get_environment_variable);
    real_get_message = replace_import("user32.dll", "GetMessageW", &watch_get_message);
    real_load_library = replace_import("kernel32.dll", "LoadLibraryW", &watch_load_library);
}

// What the running window looked like from inside the launcher's loop.
struct Observed {
    HWND window = nullptr;
    std::wstring title;
    bool visible = false;
    APTTYPE apartment = APTTYPE_CURRENT;
    WNDCLASSEXW registered = {};
    LRESULT size_result = -1;
};
Observed observed;

void CALLBACK inspect_and_close(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND window = FindWindowW(CLASS_NAME, nullptr);
    observed.window = window;
    if (!window) {
        PostQuitMessage(0);
        return;
    }
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    observed.title = title;
    observed.visible = IsWindowVisible(window) != FALSE;
    APTTYPEQUALIFIER qualifier;
    CoGetApartmentType(&observed.apartment, &qualifier);
    observed.registered.cbSize = sizeof observed.registered;
    GetClassInfoExW(GetModuleHandleW(nullptr), CLASS_NAME, &observed.registered);
    observed.size_result = SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 400));
    PostMessageW(window, WM_CLOSE, 0, 0);
}

// Runs launcher_main with a probe that inspects the window from its message loop and closes it.
void run_launcher_with_probe() {
    observed = {};
    journal.clear();
    create_call = {};
    SetTimer(nullptr, 0, 300, inspect_and_close);
    journaling = true;
    launcher_main();
    journaling = false;
}

bool com_apartment_left() {
    APTTYPE apartment;
    APTTYPEQUALIFIER qualifier;
    return CoGetApartmentType(&apartment, &qualifier) == CO_E_NOTINITIALIZED;
}

class LauncherMain : public testing::Test {
protected:
    static void SetUpTestSuite() { watch_launcher_calls(); }
};

std::string loader_beside_this_executable() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe(path, length);
    return exe.substr(0, exe.find_last_of('\\')) + "\\WebView2Loader.dll";
}

TEST_F(LauncherMain, ShowsAndPaintsTheWindowBeforeResolvingTheConfigurationAndStartingTheBrowser) {
    run_launcher_with_probe();
    // No loader lies beside the test, so the host tries its path, then the bare name, and stops.
    const std::vector<std::string> expected = {
        "SetProcessDpiAwarenessContext -4",
        "CoInitializeEx 2",
        "RegisterClassExW",
        "CreateWindowExW",
        "DwmSetWindowAttribute 20 1 4",
        "ShowWindow 5",
        "UpdateWindow",
        "GetModuleFileNameW",
        "GetEnvironmentVariableW LOCALAPPDATA",
        "LoadLibraryW " + loader_beside_this_executable(),
        "LoadLibraryW WebView2Loader.dll",
        "GetMessageW",
        "CoUninitialize",
    };
    EXPECT_EQ(journal, expected);
}

TEST_F(LauncherMain, CreatesTheCentredFixedSizeWindowExactlyAsDesigned) {
    run_launcher_with_probe();
    EXPECT_EQ(create_call.ex_style, 0u);
    EXPECT_EQ(create_call.class_name, CLASS_NAME);
    EXPECT_EQ(create_call.title, L"Quorvel - Role Play Launcher");
    EXPECT_EQ(create_call.style, static_cast<DWORD>(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    const int screen_width = GetSystemMetrics(SM_CXSCREEN), screen_height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(create_call.x, screen_width > 1280 ? (screen_width - 1280) / 2 : 0);
    EXPECT_EQ(create_call.y, screen_height > 800 ? (screen_height - 800) / 2 : 0);
    EXPECT_EQ(create_call.width, 1280);
    EXPECT_EQ(create_call.height, 800);
    EXPECT_EQ(create_call.parent, nullptr);
    EXPECT_EQ(create_call.menu, nullptr);
    EXPECT_EQ(create_call.instance, GetModuleHandleW(nullptr));
    EXPECT_EQ(create_call.param, nullptr);
}

TEST_F(LauncherMain, RunsTheVisibleWindowInASingleThreadedApartmentUntilClosed) {
    run_launcher_with_probe();
    ASSERT_NE(observed.window, nullptr);
    EXPECT_EQ(observed.title, L"Quorvel - Role Play Launcher");
    EXPECT_TRUE(observed.visible);
    EXPECT_EQ(observed.apartment, APTTYPE_MAINSTA);
    EXPECT_EQ(observed.size_result, 0);  // a resize before any web view exists is harmless
    // Closing the window ended the loop, and the apartment was left on the way out.
    EXPECT_FALSE(IsWindow(observed.window));
    EXPECT_TRUE(com_apartment_left());
}

TEST_F(LauncherMain, RegistersTheClassRecordFieldByField) {
    run_launcher_with_probe();
    for (const WNDCLASSEXW& record : {registered_record, observed.registered}) {
        EXPECT_EQ(record.cbSize, sizeof(WNDCLASSEXW));
        EXPECT_EQ(record.style, 0u);
        EXPECT_EQ(record.lpfnWndProc, main_window_proc);
        EXPECT_EQ(record.cbClsExtra, 0);
        EXPECT_EQ(record.cbWndExtra, 0);
        EXPECT_EQ(record.hInstance, GetModuleHandleW(nullptr));
        EXPECT_EQ(record.hIcon, nullptr);
        EXPECT_EQ(record.hCursor, LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_EQ(record.hbrBackground, GetStockObject(BLACK_BRUSH));
        EXPECT_EQ(record.lpszMenuName, nullptr);
    }
    EXPECT_EQ(registered_name, CLASS_NAME);
    EXPECT_EQ(registered_record.hIconSm, nullptr);
}

// A class of the same name whose windows refuse to be created makes the launcher's own
// registration and creation fail.
LRESULT CALLBACK refuse_creation(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return message == WM_NCCREATE ? FALSE : DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(LauncherMain, ReturnsQuietlyWhenTheWindowCannotBeCreated) {
    UnregisterClassW(CLASS_NAME, GetModuleHandleW(nullptr));
    WNDCLASSEXW refusing = {};
    refusing.cbSize = sizeof refusing;
    refusing.lpfnWndProc = refuse_creation;
    refusing.hInstance = GetModuleHandleW(nullptr);
    refusing.lpszClassName = CLASS_NAME;
    ASSERT_NE(RegisterClassExW(&refusing), 0);

    run_launcher_with_probe();  // the probe ends the loop should the launcher wrongly enter it
    UnregisterClassW(CLASS_NAME, GetModuleHandleW(nullptr));

    const std::vector<std::string> expected = {
        "SetProcessDpiAwarenessContext -4", "CoInitializeEx 2", "RegisterClassExW", "CreateWindowExW",
        "CoUninitialize"};
    EXPECT_EQ(journal, expected);
    EXPECT_TRUE(com_apartment_left());
}

TEST(MainWindowProc, DestroyPostsQuitWithExitValueZeroAndSizeReturnsZero) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main_window_proc(window, WM_SIZE, SIZE_MINIMIZED, 0), 0);
    EXPECT_EQ(main_window_proc(window, WM_DESTROY, 0, 0), 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    DestroyWindow(window);
}

}  // namespace
