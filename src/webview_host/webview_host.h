// The web view host: all that the launcher shell sees of it.
#pragma once

#include <windows.h>

// Results of webview_create.
inline constexpr int WEBVIEW_OK = 0;                   // the browser environment was requested
inline constexpr int WEBVIEW_ERR_NO_LOADER = -1;       // the loader library could not be loaded
inline constexpr int WEBVIEW_ERR_NO_ENTRY_POINT = -2;  // the library lacks the environment export
inline constexpr int WEBVIEW_ERR_ENVIRONMENT = -3;     // the environment request was refused

// Starts bringing up the browser in `window`: loads the loader library (from `loader_path`, else
// by name through the library search order) and requests an environment that keeps its profile
// in `user_data_dir`. Returns at once; the browser appears later through the message loop and
// then navigates to `start_url`, which is copied. Call once, on the UI thread.
int webview_create(HWND window, const wchar_t* loader_path, const wchar_t* user_data_dir,
                   const wchar_t* start_url);

// Fits the browser to the client area of `window`; does nothing until the browser exists.
void webview_resize(HWND window);
