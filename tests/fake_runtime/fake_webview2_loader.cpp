// A stand-in for WebView2Loader.dll and the browser runtime behind it, for running the
// launcher under Wine. It answers the calls the launcher makes with objects laid out slot by
// slot like the real ones, delivers completions and page events through the caller's message
// loop, and records every call it receives (README.md documents the record).

#include "com_object.h"
#include "dispatcher.h"
#include "fake_log.h"
#include "free_tracker.h"
#include "scenario.h"

#include <objbase.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fake_runtime {
namespace {

constexpr GUID kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidEnvironment{0xB96D755E, 0x0319, 0x4E92, {0xA2, 0x96, 0x23, 0x43, 0x6F, 0x46, 0xA1, 0xFC}};
constexpr GUID kIidController{0x4D00C0D1, 0x9434, 0x4EB6, {0x80, 0x78, 0x86, 0x97, 0xA5, 0x60, 0x33, 0x4F}};
constexpr GUID kIidController2{0xC979903E, 0xD4CA, 0x4228, {0x92, 0xEB, 0x47, 0xEE, 0x3F, 0xA9, 0x6E, 0xAB}};
constexpr GUID kIidWebView{0x76ECEACB, 0x0462, 0x4D94, {0xAC, 0x83, 0x42, 0x3A, 0x67, 0x93, 0x77, 0x5E}};
constexpr GUID kIidSettings{0xE562E4F0, 0xD7FA, 0x43AC, {0x8D, 0x71, 0xC0, 0x51, 0x50, 0x49, 0x9F, 0x00}};
constexpr GUID kIidNavigationStartingArgs{0x5B495469, 0xE119, 0x438A, {0x9B, 0x18, 0x76, 0x04, 0xF2, 0x5F, 0x2E, 0x49}};
constexpr GUID kIidWebMessageArgs{0x0F99A40C, 0xE962, 0x4207, {0x9E, 0x92, 0xE3, 0xD5, 0x42, 0xEF, 0xF8, 0x49}};

// Table lengths run a few slots past the last method of each interface, so that a host
// calling beyond the end is recorded instead of jumping through garbage.
struct EnvironmentInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2Environment";
  static constexpr std::size_t slot_count = 12;
};
struct ControllerInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2Controller";
  static constexpr std::size_t slot_count = 41;
};
struct Controller2Interface {
  static constexpr const wchar_t* name = L"ICoreWebView2Controller2";
  static constexpr std::size_t slot_count = 41;
};
struct WebViewInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2";
  static constexpr std::size_t slot_count = 41;
};
struct SettingsInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2Settings";
  static constexpr std::size_t slot_count = 20;
};
struct NavigationStartingArgsInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2NavigationStartingEventArgs";
  static constexpr std::size_t slot_count = 14;
};
struct WebMessageArgsInterface {
  static constexpr const wchar_t* name = L"ICoreWebView2WebMessageReceivedEventArgs";
  static constexpr std::size_t slot_count = 10;
};

// Every handler the host implements has Invoke right after IUnknown.
constexpr std::size_t kInvokeSlot = 3;

struct Color {  // COREWEBVIEW2_COLOR: four bytes, alpha first
  BYTE a, r, g, b;
};
struct RegistrationToken {  // EventRegistrationToken
  std::int64_t value;
};

using ScenarioPointer = std::shared_ptr<const Scenario>;

const AnyMethod* environment_table();
const AnyMethod* controller_table();
const AnyMethod* controller2_table();
const AnyMethod* webview_table();
const AnyMethod* settings_table();
const AnyMethod* navigation_starting_args_table();
const AnyMethod* web_message_args_table();

struct Settings : ComObject {
  Settings() : ComObject(settings_table(), L"Settings") {
    interfaces = {{kIidUnknown, this}, {kIidSettings, this}};
  }
  BOOL web_messages_enabled = TRUE;
};

struct WebView : ComObject {
  explicit WebView(ScenarioPointer scenario_to_play)
      : ComObject(webview_table(), L"WebView"), scenario(std::move(scenario_to_play)) {
    interfaces = {{kIidUnknown, this}, {kIidWebView, this}};
  }
  ScenarioPointer scenario;
  Settings* settings = new Settings;
  std::vector<HostReference> navigation_starting_handlers;
  std::vector<HostReference> web_message_handlers;
  std::int64_t next_token = 1;
  bool page_events_queued = false;
};

struct Controller;

// The ICoreWebView2Controller2 interface of a controller: its own table, so the record tells
// which of the two pointers the host called through.
struct Controller2Face : ComObject {
  explicit Controller2Face(Controller* controller);
  Controller* owner;
};

struct Controller : ComObject {
  explicit Controller(ScenarioPointer scenario_to_play)
      : ComObject(controller_table(), L"Controller"),
        scenario(std::move(scenario_to_play)),
        second(this),
        webview(new WebView(scenario)) {
    interfaces = {{kIidUnknown, this}, {kIidController, this}};
    if (!scenario->fails(Step::controller2)) interfaces.push_back({kIidController2, &second});
  }
  ScenarioPointer scenario;
  Controller2Face second;
  WebView* webview;
};

Controller2Face::Controller2Face(Controller* controller)
    : ComObject(controller2_table(), L"Controller2"), owner(controller) {
  refs = &controller->own_refs;
  interfaces = {{kIidUnknown, controller}, {kIidController, controller}, {kIidController2, this}};
}

struct Environment : ComObject {
  explicit Environment(ScenarioPointer scenario_to_play)
      : ComObject(environment_table(), L"Environment"), scenario(std::move(scenario_to_play)) {
    interfaces = {{kIidUnknown, this}, {kIidEnvironment, this}};
  }
  ScenarioPointer scenario;
};

struct NavigationStartingArgs : ComObject {
  explicit NavigationStartingArgs(std::wstring address)
      : ComObject(navigation_starting_args_table(), L"NavigationStartingArgs"), uri(std::move(address)) {
    interfaces = {{kIidUnknown, this}, {kIidNavigationStartingArgs, this}};
  }
  std::wstring uri;
  BOOL cancel = FALSE;
  std::vector<void*> handed_out;
};

struct WebMessageArgs : ComObject {
  WebMessageArgs(std::wstring text, bool text_is_string)
      : ComObject(web_message_args_table(), L"WebMessageArgs"),
        message(std::move(text)),
        is_string(text_is_string) {
    interfaces = {{kIidUnknown, this}, {kIidWebMessageArgs, this}};
  }
  std::wstring message;
  bool is_string;
  std::vector<void*> handed_out;
};

std::wstring flag_text(BOOL value) { return std::to_wstring(value); }

// ---- Page events -------------------------------------------------------------------------

// The same arguments object goes to every handler, as in the real runtime; the handler list is
// copied because a handler may register another one while it runs.
void deliver_navigation_starting(WebView* webview, const std::wstring& uri) {
  record(L"Event NavigationStarting uri=" + uri);
  auto* args = new NavigationStartingArgs(uri);
  const std::vector<HostReference> handlers = webview->navigation_starting_handlers;
  HRESULT result = S_OK;
  for (const HostReference& handler : handlers) {
    const HRESULT hr = call_host<HRESULT>(handler.get(), kInvokeSlot, static_cast<void*>(webview),
                                          static_cast<void*>(args));
    if (SUCCEEDED(result)) result = hr;
  }
  record(L"Event NavigationStarting done hr=" + hresult_text(result) + L" cancel=" +
         flag_text(args->cancel) + L" uri_freed=" + freed_text(args->handed_out) + L" handlers=" +
         std::to_wstring(handlers.size()));
  record((args->cancel ? L"Navigation cancelled uri=" : L"Navigation proceeded uri=") + uri);
}

void deliver_web_message(WebView* webview, const std::wstring& message, bool is_string) {
  record(std::wstring(L"Event WebMessageReceived ") + (is_string ? L"string=" : L"json=") + message);
  if (!webview->settings->web_messages_enabled) {
    record(L"Event WebMessageReceived dropped IsWebMessageEnabled=0");
    return;
  }
  auto* args = new WebMessageArgs(message, is_string);
  const std::vector<HostReference> handlers = webview->web_message_handlers;
  HRESULT result = S_OK;
  for (const HostReference& handler : handlers) {
    const HRESULT hr = call_host<HRESULT>(handler.get(), kInvokeSlot, static_cast<void*>(webview),
                                          static_cast<void*>(args));
    if (SUCCEEDED(result)) result = hr;
  }
  record(L"Event WebMessageReceived done hr=" + hresult_text(result) + L" string_freed=" +
         freed_text(args->handed_out) + L" handlers=" + std::to_wstring(handlers.size()));
}

void queue_page_events(WebView* webview) {
  for (const PageEvent& event : webview->scenario->events) {
    switch (event.kind) {
      case PageEvent::Kind::navigate:
        enqueue([webview, uri = event.text] { deliver_navigation_starting(webview, uri); });
        break;
      case PageEvent::Kind::message_string:
        enqueue([webview, text = event.text] { deliver_web_message(webview, text, true); });
        break;
      case PageEvent::Kind::message_json:
        enqueue([webview, text = event.text] { deliver_web_message(webview, text, false); });
        break;
      case PageEvent::Kind::wait:
        enqueue_wait(event.milliseconds);
        break;
    }
  }
}

// ---- ICoreWebView2NavigationStartingEventArgs and WebMessageReceivedEventArgs -------------

HRESULT STDMETHODCALLTYPE navigation_args_get_Uri(NavigationStartingArgs* self, LPWSTR* out) {
  HRESULT hr = S_OK;
  if (!out) {
    hr = E_POINTER;
  } else if ((*out = hand_out_string(self->uri)) == nullptr) {
    hr = E_OUTOFMEMORY;
  } else {
    self->handed_out.push_back(*out);
  }
  record(L"NavigationStartingArgs.get_Uri hr=" + hresult_text(hr));
  return hr;
}

HRESULT STDMETHODCALLTYPE navigation_args_put_Cancel(NavigationStartingArgs* self, BOOL cancel) {
  record(L"NavigationStartingArgs.put_Cancel " + flag_text(cancel));
  self->cancel = cancel;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE message_args_TryGetWebMessageAsString(WebMessageArgs* self, LPWSTR* out) {
  HRESULT hr = S_OK;
  if (!out) {
    hr = E_POINTER;
  } else if (!self->is_string) {
    *out = nullptr;
    hr = E_INVALIDARG;
  } else if ((*out = hand_out_string(self->message)) == nullptr) {
    hr = E_OUTOFMEMORY;
  } else {
    self->handed_out.push_back(*out);
  }
  record(L"WebMessageArgs.TryGetWebMessageAsString hr=" + hresult_text(hr));
  return hr;
}

// ---- ICoreWebView2Settings ----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE settings_put_IsWebMessageEnabled(Settings* self, BOOL enabled) {
  record(L"Settings.put_IsWebMessageEnabled " + flag_text(enabled));
  self->web_messages_enabled = enabled;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE settings_put_IsStatusBarEnabled(Settings*, BOOL enabled) {
  record(L"Settings.put_IsStatusBarEnabled " + flag_text(enabled));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE settings_put_AreDefaultContextMenusEnabled(Settings*, BOOL enabled) {
  record(L"Settings.put_AreDefaultContextMenusEnabled " + flag_text(enabled));
  return S_OK;
}

// ---- ICoreWebView2 ------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE webview_get_Settings(WebView* self, void** out) {
  HRESULT hr = S_OK;
  if (!out) {
    hr = E_POINTER;
  } else if (self->scenario->fails(Step::get_settings)) {
    *out = nullptr;
    hr = E_FAIL;
  } else {
    ++*self->settings->refs;
    *out = self->settings;
  }
  record(L"WebView.get_Settings hr=" + hresult_text(hr));
  return hr;
}

// The real runtime raises NavigationStarting for the address only after Navigate returns;
// the scripted page events follow the first navigation, as a loaded page would produce them.
HRESULT STDMETHODCALLTYPE webview_Navigate(WebView* self, LPCWSTR uri) {
  record(std::wstring(L"WebView.Navigate ") + (uri ? uri : L"<null>"));
  if (!uri) return E_INVALIDARG;
  enqueue([self, address = std::wstring(uri)] { deliver_navigation_starting(self, address); });
  if (!self->page_events_queued) {
    self->page_events_queued = true;
    queue_page_events(self);
  }
  return S_OK;
}

HRESULT add_handler(WebView* self, std::vector<HostReference>& handlers, void* handler,
                    RegistrationToken* token, const wchar_t* method) {
  HRESULT hr = S_OK;
  if (!handler || !token) {
    hr = E_POINTER;
  } else {
    handlers.push_back(hold_host_object(handler));
    token->value = self->next_token++;
  }
  record(std::wstring(L"WebView.") + method + L" handler=" + presence_text(handler) + L" token=" +
         (SUCCEEDED(hr) ? std::to_wstring(token->value) : L"<none>") + L" hr=" + hresult_text(hr));
  return hr;
}

HRESULT STDMETHODCALLTYPE webview_add_NavigationStarting(WebView* self, void* handler,
                                                         RegistrationToken* token) {
  return add_handler(self, self->navigation_starting_handlers, handler, token,
                     L"add_NavigationStarting");
}

HRESULT STDMETHODCALLTYPE webview_add_WebMessageReceived(WebView* self, void* handler,
                                                         RegistrationToken* token) {
  return add_handler(self, self->web_message_handlers, handler, token, L"add_WebMessageReceived");
}

// ---- ICoreWebView2Controller and ICoreWebView2Controller2 ---------------------------------

// The controller methods serve both tables; Face names the pointer the host called through.
Controller& controller_of(Controller* controller) { return *controller; }
Controller& controller_of(Controller2Face* face) { return *face->owner; }

HRESULT STDMETHODCALLTYPE controller_put_IsVisible(ComObject* self, BOOL visible) {
  record(std::wstring(self->name) + L".put_IsVisible " + flag_text(visible));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE controller_put_Bounds(ComObject* self, RECT bounds) {
  record(std::wstring(self->name) + L".put_Bounds " + std::to_wstring(bounds.left) + L" " +
         std::to_wstring(bounds.top) + L" " + std::to_wstring(bounds.right) + L" " +
         std::to_wstring(bounds.bottom));
  return S_OK;
}

template <class Face>
HRESULT STDMETHODCALLTYPE controller_get_CoreWebView2(Face* self, void** out) {
  Controller& controller = controller_of(self);
  HRESULT hr = S_OK;
  if (!out) {
    hr = E_POINTER;
  } else if (controller.scenario->fails(Step::get_corewebview2)) {
    *out = nullptr;
    hr = E_FAIL;
  } else {
    ++*controller.webview->refs;
    *out = controller.webview;
  }
  record(std::wstring(self->name) + L".get_CoreWebView2 hr=" + hresult_text(hr));
  return hr;
}

HRESULT STDMETHODCALLTYPE controller2_put_DefaultBackgroundColor(Controller2Face*, Color color) {
  record(L"Controller2.put_DefaultBackgroundColor A=" + std::to_wstring(color.a) + L" R=" +
         std::to_wstring(color.r) + L" G=" + std::to_wstring(color.g) + L" B=" +
         std::to_wstring(color.b));
  return S_OK;
}

// ---- ICoreWebView2Environment and the completions -----------------------------------------

void complete_controller(const ScenarioPointer& scenario, void* handler) {
  HRESULT result = S_OK;
  Controller* controller = nullptr;
  if (scenario->fails(Step::controller_completion)) {
    result = E_FAIL;
  } else if (!scenario->fails(Step::controller_null)) {
    controller = new Controller(scenario);
  }
  record(L"Event ControllerCompleted hr=" + hresult_text(result) + L" controller=" +
         presence_text(controller));
  const HRESULT hr =
      call_host<HRESULT>(handler, kInvokeSlot, result, static_cast<void*>(controller));
  record(L"Event ControllerCompleted done hr=" + hresult_text(hr));
}

HRESULT STDMETHODCALLTYPE environment_CreateCoreWebView2Controller(Environment* self, HWND parent,
                                                                   void* handler) {
  const HRESULT hr = handler ? S_OK : E_POINTER;
  record(L"Environment.CreateCoreWebView2Controller parent=" + handle_text(parent) +
         L" is_window=" + flag_text(IsWindow(parent)) + L" handler=" + presence_text(handler) +
         L" hr=" + hresult_text(hr));
  if (FAILED(hr)) return hr;
  enqueue([scenario = self->scenario, held = hold_host_object(handler)] {
    complete_controller(scenario, held.get());
  });
  return S_OK;
}

void complete_environment(const ScenarioPointer& scenario, void* handler) {
  HRESULT result = S_OK;
  Environment* environment = nullptr;
  if (scenario->fails(Step::environment_completion)) {
    result = E_FAIL;
  } else if (!scenario->fails(Step::environment_null)) {
    environment = new Environment(scenario);
  }
  record(L"Event EnvironmentCompleted hr=" + hresult_text(result) + L" environment=" +
         presence_text(environment));
  const HRESULT hr =
      call_host<HRESULT>(handler, kInvokeSlot, result, static_cast<void*>(environment));
  record(L"Event EnvironmentCompleted done hr=" + hresult_text(hr));
}

// ---- Function tables, filled by slot number -------------------------------------------------

const AnyMethod* environment_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<EnvironmentInterface>();
    set_unknown_methods(slots);
    slots[3] = as_method(&environment_CreateCoreWebView2Controller);
    return slots;
  }();
  return table.data();
}

const AnyMethod* controller_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<ControllerInterface>();
    set_unknown_methods(slots);
    slots[4] = as_method(&controller_put_IsVisible);
    slots[6] = as_method(&controller_put_Bounds);
    slots[25] = as_method(&controller_get_CoreWebView2<Controller>);
    return slots;
  }();
  return table.data();
}

const AnyMethod* controller2_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<Controller2Interface>();
    set_unknown_methods(slots);
    slots[4] = as_method(&controller_put_IsVisible);
    slots[6] = as_method(&controller_put_Bounds);
    slots[25] = as_method(&controller_get_CoreWebView2<Controller2Face>);
    slots[27] = as_method(&controller2_put_DefaultBackgroundColor);
    return slots;
  }();
  return table.data();
}

const AnyMethod* webview_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<WebViewInterface>();
    set_unknown_methods(slots);
    slots[3] = as_method(&webview_get_Settings);
    slots[5] = as_method(&webview_Navigate);
    slots[7] = as_method(&webview_add_NavigationStarting);
    slots[34] = as_method(&webview_add_WebMessageReceived);
    return slots;
  }();
  return table.data();
}

const AnyMethod* settings_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<SettingsInterface>();
    set_unknown_methods(slots);
    slots[6] = as_method(&settings_put_IsWebMessageEnabled);
    slots[10] = as_method(&settings_put_IsStatusBarEnabled);
    slots[14] = as_method(&settings_put_AreDefaultContextMenusEnabled);
    return slots;
  }();
  return table.data();
}

const AnyMethod* navigation_starting_args_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<NavigationStartingArgsInterface>();
    set_unknown_methods(slots);
    slots[3] = as_method(&navigation_args_get_Uri);
    slots[8] = as_method(&navigation_args_put_Cancel);
    return slots;
  }();
  return table.data();
}

const AnyMethod* web_message_args_table() {
  static const auto table = [] {
    auto slots = table_of_unexpected<WebMessageArgsInterface>();
    set_unknown_methods(slots);
    slots[5] = as_method(&message_args_TryGetWebMessageAsString);
    return slots;
  }();
  return table.data();
}

// ---- The export ---------------------------------------------------------------------------

// The real runtime only works in a single-threaded apartment and says why otherwise.
HRESULT apartment_check() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  const HRESULT hr = CoGetApartmentType(&type, &qualifier);
  if (FAILED(hr)) return hr;
  return type == APTTYPE_STA || type == APTTYPE_MAINSTA ? S_OK : RPC_E_CHANGED_MODE;
}

HRESULT refuse(HRESULT hr, const wchar_t* reason) {
  record(L"Environment request refused hr=" + hresult_text(hr) + L" reason=" + reason);
  return hr;
}

HRESULT request_environment(PCWSTR browser_folder, PCWSTR user_data_folder, void* options,
                            void* handler) {
  record(L"CreateCoreWebView2EnvironmentWithOptions browser=" + quoted_or_null(browser_folder) +
         L" user_data=" + quoted_or_null(user_data_folder) + L" options=" +
         presence_text(options) + L" handler=" + presence_text(handler));
  LoadedScenario loaded = load_scenario();
  record(loaded.description);
  if (loaded.error) {
    record(*loaded.error);
    return refuse(E_INVALIDARG, L"scenario");
  }
  if (const HRESULT hr = apartment_check(); FAILED(hr)) return refuse(hr, L"apartment");
  if (!handler) return refuse(E_POINTER, L"handler");
  if (loaded.scenario.fails(Step::environment_request)) return refuse(E_FAIL, L"scenario-fail");
  if (!start_dispatcher()) return refuse(HRESULT_FROM_WIN32(GetLastError()), L"window");
  start_free_tracking();
  auto scenario = std::make_shared<const Scenario>(std::move(loaded.scenario));
  enqueue([scenario, held = hold_host_object(handler)] { complete_environment(scenario, held.get()); });
  return S_OK;
}

}  // namespace
}  // namespace fake_runtime

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browser_folder, PCWSTR user_data_folder, void* options, void* handler) {
  return fake_runtime::request_environment(browser_folder, user_data_folder, options, handler);
}
