// How the page starts the game: a navigation to, or a string message holding, a game link.
#include <windows.h>
#include <shellapi.h>

#include "webview_host/game_link.h"
#include "webview_host/host.h"

namespace {

// shell32 is large and needed only once the player starts the game: loading it then, instead
// of with the executable, keeps the launcher's start-up as quick as a bare window's.
decltype(&ShellExecuteW) host_shell_execute;

decltype(&ShellExecuteW) load_shell_execute() {
    const HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!shell) return nullptr;
    return reinterpret_cast<decltype(&ShellExecuteW)>(
        reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
}

// A game link never loads inside the browser; the shell starts the game client instead.
HRESULT STDMETHODCALLTYPE navigation_starting(ICoreWebView2NavigationStartingEventHandler*, ICoreWebView2*,
                                              ICoreWebView2NavigationStartingEventArgs* args) {
    LPWSTR uri = nullptr;
    if (SUCCEEDED(args->lpVtbl->get_Uri(args, &uri)) && uri && is_game_link(uri)) {
        args->lpVtbl->put_Cancel(args, TRUE);
        if (is_shell_safe(uri)) open_with_shell(uri);
    }
    CoTaskMemFree(uri);
    return S_OK;
}

// Only a message the page posted as a string can be a game link; anything else is dropped.
HRESULT STDMETHODCALLTYPE web_message_received(ICoreWebView2WebMessageReceivedEventHandler*, ICoreWebView2*,
                                               ICoreWebView2WebMessageReceivedEventArgs* args) {
    LPWSTR message = nullptr;
    if (SUCCEEDED(args->lpVtbl->TryGetWebMessageAsString(args, &message)) && message && is_game_link(message) &&
        is_shell_safe(message)) {
        open_with_shell(message);
    }
    CoTaskMemFree(message);
    return S_OK;
}

const ICoreWebView2NavigationStartingEventHandlerVtbl navigation_starting_table = {
    handler_query_interface, handler_add_ref, handler_release, navigation_starting};

const ICoreWebView2WebMessageReceivedEventHandlerVtbl web_message_table = {
    handler_query_interface, handler_add_ref, handler_release, web_message_received};

}  // namespace

ICoreWebView2NavigationStartingEventHandler navigation_starting_handler = {&navigation_starting_table};
ICoreWebView2WebMessageReceivedEventHandler web_message_handler = {&web_message_table};

void open_with_shell(const wchar_t* address) {
    if (!host_shell_execute) host_shell_execute = load_shell_execute();
    if (host_shell_execute) host_shell_execute(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
