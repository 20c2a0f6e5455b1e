// The web view host's module state and its four handler objects, shared by its source files
// (and by the tests that call the handlers directly).
#pragma once

#include <windows.h>

#include <string>

#include "webview_host/webview2.h"

// Set by webview_create and the controller completion; held until the process ends.
extern HWND host_window;
extern ICoreWebView2Controller* host_controller;
extern ICoreWebView2* host_webview;
extern std::wstring host_url;

// Statically allocated COM objects: each is only a pointer to its function table.
// QueryInterface hands back the object itself for any interface ID; AddRef and Release count
// nothing, since the objects live as long as the process; Invoke always returns S_OK.
extern ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler environment_completed_handler;
extern ICoreWebView2CreateCoreWebView2ControllerCompletedHandler controller_completed_handler;
extern ICoreWebView2WebMessageReceivedEventHandler web_message_handler;
extern ICoreWebView2NavigationStartingEventHandler navigation_starting_handler;

// The first three entries every handler's function table shares.
template <typename Handler>
HRESULT STDMETHODCALLTYPE handler_query_interface(Handler* handler, REFIID, void** object) {
    if (!object) return E_POINTER;
    *object = handler;
    return S_OK;
}

template <typename Handler>
ULONG STDMETHODCALLTYPE handler_add_ref(Handler*) {
    return 1;
}

template <typename Handler>
ULONG STDMETHODCALLTYPE handler_release(Handler*) {
    return 1;
}

// Hands a game link to the shell's "open" verb, which starts the registered game client.
void open_with_shell(const wchar_t* address);
