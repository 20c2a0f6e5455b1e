// Setting up the controller once it exists, and keeping the browser fitted to the window.
#include "webview_host/host.h"
#include "webview_host/webview_host.h"

namespace {

// Opaque black, like the window behind it, so nothing flashes while the page loads.
constexpr COREWEBVIEW2_COLOR WEBVIEW_BACKGROUND = {255, 0, 0, 0};

void use_black_background(ICoreWebView2Controller* controller) {
    ICoreWebView2Controller2* controller2 = nullptr;
    if (FAILED(controller->lpVtbl->QueryInterface(controller, IID_ICoreWebView2Controller2,
                                                  reinterpret_cast<void**>(&controller2))) ||
        !controller2) {
        return;  // an older runtime keeps its own background
    }
    controller2->lpVtbl->put_DefaultBackgroundColor(controller2, WEBVIEW_BACKGROUND);
    controller2->lpVtbl->controller.Release(as_controller(controller2));
}

// The page is the whole interface: no browser context menu or status bar, and messages from it
// reach the launcher.
void trim_browser_interface(ICoreWebView2* webview) {
    ICoreWebView2Settings* settings = nullptr;
    if (FAILED(webview->lpVtbl->get_Settings(webview, &settings)) || !settings) return;
    settings->lpVtbl->put_AreDefaultContextMenusEnabled(settings, FALSE);
    settings->lpVtbl->put_IsStatusBarEnabled(settings, FALSE);
    settings->lpVtbl->put_IsWebMessageEnabled(settings, TRUE);
    settings->lpVtbl->Release(settings);
}

// Subscribed before the first navigation, so that one already passes the game-link check.
void subscribe_game_link_events(ICoreWebView2* webview) {
    EventRegistrationToken token;
    webview->lpVtbl->add_WebMessageReceived(webview, &web_message_handler, &token);
    webview->lpVtbl->add_NavigationStarting(webview, &navigation_starting_handler, &token);
}

void fit_to_client_area(HWND window) {
    RECT bounds;
    if (GetClientRect(window, &bounds)) host_controller->lpVtbl->put_Bounds(host_controller, bounds);
}

HRESULT STDMETHODCALLTYPE controller_completed(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*,
                                               HRESULT result, ICoreWebView2Controller* controller) {
    if (FAILED(result) || !controller) return S_OK;
    host_controller = controller;
    host_controller->lpVtbl->AddRef(host_controller);

    use_black_background(host_controller);

    // Without a web view the controller is still kept, so it goes on receiving bounds.
    if (FAILED(host_controller->lpVtbl->get_CoreWebView2(host_controller, &host_webview)) || !host_webview)
        return S_OK;

    trim_browser_interface(host_webview);
    subscribe_game_link_events(host_webview);
    if (host_window) fit_to_client_area(host_window);
    host_controller->lpVtbl->put_IsVisible(host_controller, TRUE);
    host_webview->lpVtbl->Navigate(host_webview, host_url.c_str());
    return S_OK;
}

const ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl controller_completed_table = {
    handler_query_interface, handler_add_ref, handler_release, controller_completed};

}  // namespace

ICoreWebView2CreateCoreWebView2ControllerCompletedHandler controller_completed_handler = {
    &controller_completed_table};

void webview_resize(HWND window) {
    if (!window || !host_controller) return;
    fit_to_client_area(window);
}
