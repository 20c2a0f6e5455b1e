// webview_create against the project's fake loader DLLs, placed where the host should or should
// not find them. Once any DLL named WebView2Loader.dll is loaded, a bare-name load returns it, so
// each case that may be unloaded runs a scenario in which the fake queues nothing, and is
// unloaded before the next; the one case that brings the browser up runs last and stays loaded.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "import_hook.h"
#include "webview_host/host.h"
#include "webview_host/webview_host.h"

namespace {

constexpr wchar_t LOADER_NAME[] = L"WebView2Loader.dll";
constexpr wchar_t USER_DATA_DIR[] = L"C:\\users\\tester\\QuorvelLauncher\\WebView2Data";

// Every library load the host asked for, in order.
std::vector<std::wstring> load_attempts;
decltype(&LoadLibraryW) real_load_library;

HMODULE WINAPI watch_load_library(const wchar_t* name) {
    load_attempts.emplace_back(name ? name : L"<null>");
    return real_load_library(name);
}

std::wstring full_path(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    return length && length < MAX_PATH ? std::wstring(buffer, length) : path;
}

// With the trailing backslash.
std::wstring folder_of_this_executable() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The build puts this executable in <build>\tests\wine\webview_host and the fakes in
// <build>\tests\fake_runtime.
std::wstring fake_folder(const wchar_t* variant) {
    return full_path(folder_of_this_executable() + L"..\\..\\fake_runtime\\" + variant);
}

std::wstring module_path(HMODULE module) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

std::wstring temp_file(const wchar_t* suffix) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"webview_host_tests_" + std::to_wstring(GetCurrentProcessId()) + suffix;
}

std::string read_file(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void write_file(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << text;
}

std::string narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

// The fake's record writes a window handle like this.
std::string handle_text(HWND window) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

bool logged(const std::string& log, const std::string& line) { return log.find(line + "\n") != std::string::npos; }

// Puts a folder first on the library search path for as long as it lives.
class SearchPathFront {
public:
    explicit SearchPathFront(const std::wstring& folder) {
        wchar_t buffer[32767];
        const DWORD length = GetEnvironmentVariableW(L"PATH", buffer, 32767);
        saved_ = std::wstring(buffer, length);
        SetEnvironmentVariableW(L"PATH", (folder + L";" + saved_).c_str());
    }
    ~SearchPathFront() { SetEnvironmentVariableW(L"PATH", saved_.c_str()); }
    SearchPathFront(const SearchPathFront&) = delete;
    SearchPathFront& operator=(const SearchPathFront&) = delete;

private:
    std::wstring saved_;
};

class WebViewCreate : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The fake, like the real runtime, serves only a single-threaded apartment; it is kept
        // to the end of the process, since the browser brought up last lives in it.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        real_load_library = replace_import("kernel32.dll", "LoadLibraryW", &watch_load_library);
        ASSERT_NE(real_load_library, nullptr) << "this executable does not import LoadLibraryW";

        // A copy left by an earlier run would be found by every bare-name load.
        DeleteFileW(beside_executable().c_str());
        ASSERT_EQ(GetFileAttributesW(beside_executable().c_str()), INVALID_FILE_ATTRIBUTES)
            << "cannot remove the loader an earlier run left beside this executable";
        SetEnvironmentVariableW(L"FAKE_WEBVIEW2_LOG", log_path().c_str());
        SetEnvironmentVariableW(L"FAKE_WEBVIEW2_SCENARIO", scenario_path().c_str());
        window = create_host_window();
        ASSERT_NE(window, nullptr);
    }
    static void TearDownTestSuite() {
        DeleteFileW(scenario_path().c_str());
        DeleteFileW(log_path().c_str());
    }

    void SetUp() override {
        ASSERT_EQ(GetModuleHandleW(LOADER_NAME), nullptr) << "an earlier case left a loader loaded";
        ASSERT_NE(GetFileAttributesW(fake_loader().c_str()), INVALID_FILE_ATTRIBUTES) << "fake loader not built";
        DeleteFileW(log_path().c_str());
        // The request is refused before the fake queues anything, so the DLL can be unloaded.
        write_file(scenario_path(), "fail environment-request\n");
        load_attempts.clear();
    }
    void TearDown() override {
        if (!keeps_loader_loaded) unload_every_loader();
    }

    static std::wstring fake_loader() { return fake_folder(L"loader") + L"\\" + LOADER_NAME; }
    static std::wstring fake_loader_without_export() { return fake_folder(L"noexport") + L"\\" + LOADER_NAME; }
    static std::wstring beside_executable() { return folder_of_this_executable() + LOADER_NAME; }
    static std::wstring nowhere() { return folder_of_this_executable() + L"missing\\" + LOADER_NAME; }
    static std::wstring log_path() { return temp_file(L".log"); }
    static std::wstring scenario_path() { return temp_file(L".scenario"); }

    static int create(const std::wstring& loader_path, const wchar_t* start_url = L"https://launcher.invalid/") {
        return webview_create(window, loader_path.c_str(), USER_DATA_DIR, start_url);
    }

    static std::wstring loaded_loader() { return module_path(GetModuleHandleW(LOADER_NAME)); }

    // Lets the fake deliver its queued completions and events through this thread's loop.
    static bool pump_messages_until_logged(const std::string& line) {
        const ULONGLONG give_up_at = GetTickCount64() + 30000;
        while (!logged(read_file(log_path()), line)) {
            if (GetTickCount64() > give_up_at) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        return true;
    }

    bool keeps_loader_loaded = false;
    static inline HWND window = nullptr;

private:
    static HWND create_host_window() {
        WNDCLASSW record = {};
        record.lpfnWndProc = DefWindowProcW;
        record.hInstance = GetModuleHandleW(nullptr);
        record.lpszClassName = L"WebViewCreateTestWindow";
        RegisterClassW(&record);
        return CreateWindowExW(0, record.lpszClassName, L"", WS_POPUP, 0, 0, 640, 400, nullptr, nullptr,
                               record.hInstance, nullptr);
    }

    static void unload_every_loader() {
        while (const HMODULE loader = GetModuleHandleW(LOADER_NAME)) ASSERT_TRUE(FreeLibrary(loader));
    }
};

TEST_F(WebViewCreate, ReportsNoLoaderWhenNeitherThePathNorTheSearchOrderFindsOne) {
    EXPECT_EQ(create(nowhere()), WEBVIEW_ERR_NO_LOADER);
    const std::vector<std::wstring> expected = {nowhere(), LOADER_NAME};
    EXPECT_EQ(load_attempts, expected);
}

TEST_F(WebViewCreate, ReportsALoaderWithoutTheEntryPointAndLooksNoFurther) {
    EXPECT_EQ(create(fake_loader_without_export()), WEBVIEW_ERR_NO_ENTRY_POINT);
    EXPECT_EQ(load_attempts, std::vector<std::wstring>{fake_loader_without_export()});
}

TEST_F(WebViewCreate, FallsBackToTheSearchOrderAndReportsARefusedEnvironment) {
    {
        const SearchPathFront on_search_path(fake_folder(L"loader"));
        EXPECT_EQ(create(nowhere()), WEBVIEW_ERR_ENVIRONMENT);
    }
    const std::vector<std::wstring> expected = {nowhere(), LOADER_NAME};
    EXPECT_EQ(load_attempts, expected);
    EXPECT_EQ(lstrcmpiW(loaded_loader().c_str(), fake_loader().c_str()), 0) << "loaded " << loaded_loader();

    const std::string log = read_file(log_path());
    EXPECT_TRUE(logged(log, "CreateCoreWebView2EnvironmentWithOptions browser=<null> user_data=\"" +
                                narrow(USER_DATA_DIR) + "\" options=<null> handler=set"))
        << log;
    EXPECT_TRUE(logged(log, "Environment request refused hr=0x80004005 reason=scenario-fail")) << log;
}

// Runs last: the fake now holds the host's handlers and its window, so it stays loaded.
TEST_F(WebViewCreate, TheLoaderBesideTheExecutableBringsTheBrowserUpAtTheWholeStartAddress) {
    keeps_loader_loaded = true;
    ASSERT_TRUE(CopyFileW(fake_loader().c_str(), beside_executable().c_str(), FALSE));
    write_file(scenario_path(), "");  // every step succeeds
    // Longer than any fixed buffer the address might once have been cut to.
    const std::wstring start_url = L"https://launcher.invalid/start?pad=" + std::wstring(3000, L'a') + L"&end=1";

    EXPECT_EQ(create(beside_executable(), start_url.c_str()), WEBVIEW_OK);
    EXPECT_EQ(load_attempts, std::vector<std::wstring>{beside_executable()});

    ASSERT_TRUE(pump_messages_until_logged("Event queue empty")) << read_file(log_path());
    const std::string log = read_file(log_path());
    EXPECT_TRUE(logged(log, "Event EnvironmentCompleted done hr=0x00000000")) << log;
    EXPECT_TRUE(logged(log, "Environment.CreateCoreWebView2Controller parent=" + handle_text(window) +
                                " is_window=1 handler=set hr=0x00000000"))
        << log;
    EXPECT_TRUE(logged(log, "Event ControllerCompleted done hr=0x00000000")) << log;
    EXPECT_TRUE(logged(log, "WebView.Navigate " + narrow(start_url))) << log;
    EXPECT_NE(host_controller, nullptr);
    EXPECT_NE(host_webview, nullptr);
}

}  // namespace
