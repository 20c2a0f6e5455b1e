// Loading the WebView2 loader and requesting the browser environment.
#include "webview_host/host.h"
#include "webview_host/webview_host.h"

HWND host_window;
ICoreWebView2Controller* host_controller;
ICoreWebView2* host_webview;
std::wstring host_url;

namespace {

constexpr wchar_t WEBVIEW_LOADER_NAME[] = L"WebView2Loader.dll";
constexpr char WEBVIEW_LOADER_EXPORT[] = "CreateCoreWebView2EnvironmentWithOptions";

// The environment exists: ask it for a controller in the launcher's window.
HRESULT STDMETHODCALLTYPE environment_completed(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*,
                                                HRESULT result, ICoreWebView2Environment* environment) {
    if (FAILED(result) || !environment) return S_OK;
    environment->lpVtbl->CreateCoreWebView2Controller(environment, host_window, &controller_completed_handler);
    return S_OK;
}

const ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl environment_completed_table = {
    handler_query_interface, handler_add_ref, handler_release, environment_completed};

// Beside the executable first; failing that, wherever the library search order finds it.
HMODULE load_loader(const wchar_t* loader_path) {
    const HMODULE loader = LoadLibraryW(loader_path);
    return loader ? loader : LoadLibraryW(WEBVIEW_LOADER_NAME);
}

}  // namespace

ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environment_completed_handler = {
    &environment_completed_table};

int webview_create(HWND window, const wchar_t* loader_path, const wchar_t* user_data_dir,
                   const wchar_t* start_url) {
    host_window = window;
    // Kept whole, however long: the navigation that needs it comes much later.
    host_url = start_url;

    // Never unloaded: the runtime it starts lives as long as the launcher.
    const HMODULE loader = load_loader(loader_path);
    if (!loader) return WEBVIEW_ERR_NO_LOADER;

    const auto create_environment = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFunction>(
        reinterpret_cast<void*>(GetProcAddress(loader, WEBVIEW_LOADER_EXPORT)));
    if (!create_environment) return WEBVIEW_ERR_NO_ENTRY_POINT;

    const HRESULT result = create_environment(nullptr, user_data_dir, nullptr, &environment_completed_handler);
    return FAILED(result) ? WEBVIEW_ERR_ENVIRONMENT : WEBVIEW_OK;
}
