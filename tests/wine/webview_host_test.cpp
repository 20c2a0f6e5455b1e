// The web view host's handler objects and game-link rules, driven in-process with small fake
// browser objects. The shell and the COM task allocator are watched through this executable's
// imports, so the order of cancel, shell and free shows, and no game client is ever started.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "import_hook.h"
#include "webview_host/game_link.h"
#include "webview_host/host.h"
#include "webview_host/webview_host.h"

namespace {

// Everything the host did to the fakes and to the watched imports, in order.
std::vector<std::wstring> journal;

void note(const std::wstring& call) { journal.push_back(call); }

std::wstring text_or_null(const wchar_t* text) { return text ? text : L"<null>"; }

// Any slot the host is not meant to call lands here, so a stray call shows in the journal
// instead of jumping through garbage.
void STDMETHODCALLTYPE unexpected_slot() { note(L"unexpected slot"); }

// A function table whose every slot records an unexpected call; the test then fills in the
// slots the host is meant to use.
template <typename Table>
Table table_of_unexpected_slots() {
    static_assert(sizeof(Table) % sizeof(unused_slot) == 0);
    unused_slot slots[sizeof(Table) / sizeof(unused_slot)];
    std::fill(std::begin(slots), std::end(slots), &unexpected_slot);
    Table table;
    std::memcpy(&table, slots, sizeof table);
    return table;
}

// ---- Watched imports ------------------------------------------------------------------------

// The one string a fake handed to the host; the host owns it and must give it back.
LPWSTR handed_out = nullptr;

LPWSTR hand_out(const wchar_t* text) {
    if (!text) return handed_out = nullptr;
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    handed_out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(handed_out, text, bytes);
    return handed_out;
}

decltype(&CoTaskMemFree) real_co_task_mem_free;

// Freeing a null pointer does nothing, so only real frees are noted.
void WINAPI watch_co_task_mem_free(void* memory) {
    if (memory) note(memory == handed_out ? L"CoTaskMemFree handed-out string" : L"CoTaskMemFree other memory");
    real_co_task_mem_free(memory);
}

// Stands in for the shell: a test must never start a game client.
HINSTANCE WINAPI record_shell_execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                                      const wchar_t* directory, int show) {
    note(L"ShellExecuteW owner=" + std::wstring(owner ? L"set" : L"<null>") + L" verb=" + text_or_null(verb) +
         L" parameters=" + text_or_null(parameters) + L" directory=" + text_or_null(directory) +
         L" show=" + std::to_wstring(show) + L" file=" + text_or_null(file));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
}

std::wstring shell_opened(const std::wstring& address) {
    return L"ShellExecuteW owner=<null> verb=open parameters=<null> directory=<null> show=" +
           std::to_wstring(SW_SHOWNORMAL) + L" file=" + address;
}

decltype(&GetProcAddress) real_get_proc_address;

// The host looks ShellExecuteW up when it first needs it; it is handed the stand-in instead.
FARPROC WINAPI watch_get_proc_address(HMODULE module, const char* name) {
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "ShellExecuteW") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&record_shell_execute));
    return real_get_proc_address(module, name);
}

void watch_shell_and_task_allocator() {
    static const bool watched = [] {
        real_co_task_mem_free = replace_import("ole32.dll", "CoTaskMemFree", &watch_co_task_mem_free);
        real_get_proc_address = replace_import("kernel32.dll", "GetProcAddress", &watch_get_proc_address);
        return real_get_proc_address != nullptr;
    }();
    ASSERT_TRUE(watched) << "this executable does not import GetProcAddress";
    ASSERT_NE(real_co_task_mem_free, nullptr) << "this executable does not import CoTaskMemFree";
}

// ---- The handler objects as COM objects -----------------------------------------------------

constexpr IID IID_ANY_OTHER = {0x1A2B3C4D, 0x5E6F, 0x4711, {0x81, 0x92, 0xA3, 0xB4, 0xC5, 0xD6, 0xE7, 0xF8}};

template <typename Handler>
void expect_plain_static_object(Handler& handler, const IID& own_iid) {
    EXPECT_EQ(handler.lpVtbl->QueryInterface(&handler, IID_IUnknown, nullptr), E_POINTER);
    for (const IID* iid : {&IID_IUnknown, &own_iid, &IID_ANY_OTHER}) {
        void* object = &journal;  // anything but the handler
        EXPECT_EQ(handler.lpVtbl->QueryInterface(&handler, *iid, &object), S_OK);
        EXPECT_EQ(object, &handler);
    }
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(handler.lpVtbl->AddRef(&handler), 1u);
        EXPECT_EQ(handler.lpVtbl->Release(&handler), 1u);
    }
}

TEST(HandlerObjects, AnswerEveryInterfaceWithThemselvesAndCountNothing) {
    {
        SCOPED_TRACE("environment_completed_handler");
        expect_plain_static_object(environment_completed_handler,
                                   IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
    }
    {
        SCOPED_TRACE("controller_completed_handler");
        expect_plain_static_object(controller_completed_handler,
                                   IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler);
    }
    {
        SCOPED_TRACE("web_message_handler");
        expect_plain_static_object(web_message_handler, IID_ICoreWebView2WebMessageReceivedEventHandler);
    }
    {
        SCOPED_TRACE("navigation_starting_handler");
        expect_plain_static_object(navigation_starting_handler, IID_ICoreWebView2NavigationStartingEventHandler);
    }
}

// ---- Game-link rules ------------------------------------------------------------------------

struct AddressCase {
    const wchar_t* address;
    bool expected;
};

TEST(GameLinkRules, OnlyTheExactLowerCasePrefixAtTheStartIsAGameLink) {
    const AddressCase cases[] = {
        {L"fivem://connect/127.0.0.1:30120", true},
        {L"fivem://", true},
        {L"FiveM://connect/127.0.0.1:30120", false},
        {L"FIVEM://x", false},
        {L"fivem:/x", false},
        {L"fivem:/", false},
        {L"fivem", false},
        {L"", false},
        {L" fivem://x", false},
        {L"https://example.org/?next=fivem://x", false},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "address \"" << c.address << "\"");
        EXPECT_EQ(is_game_link(c.address), c.expected);
    }
}

TEST(GameLinkRules, RefusesAnythingThatCouldBreakOutOfTheQuotedArgument) {
    const AddressCase cases[] = {
        {L"fivem://connect/127.0.0.1:30120\" --flag \"", false},
        {L"fivem://connect/\"", false},
        {L"fivem://connect/a b", false},
        {L"fivem://connect/a\tb", false},
        {L"fivem://connect/a\nb", false},
        {L"fivem://connect/a\rb", false},
        {L"fivem://connect/a\x01", false},
        {L"fivem://connect/a\x1F", false},
        {L"fivem://connect/a\x7F", false},
        {L"fivem://connect/127.0.0.1:30120", true},
        {L"fivem://connect/127.0.0.1:30120?password=abc&slot=2", true},
        {L"fivem://connect/127.0.0.1:30120?x=%20", true},
        {L"fivem://connect/%22quoted%22", true},
        {L"fivem://connect/\u00FC.example:30120", true},
        {L"fivem://connect/!~\u0080\u00A0", true},  // the neighbours of refused units pass
        {L"", true},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "address \"" << c.address << "\"");
        EXPECT_EQ(is_shell_safe(c.address), c.expected);
    }
}

// ---- Page events ----------------------------------------------------------------------------

// What a fake event hands the host when asked for its string.
struct Answer {
    HRESULT result;
    const wchar_t* text;  // nullptr: a null pointer is handed out
};

struct FakeNavigationArgs {
    ICoreWebView2NavigationStartingEventArgs com;  // first, so the host's pointer leads back here
    Answer uri;
};

HRESULT STDMETHODCALLTYPE navigation_get_uri(ICoreWebView2NavigationStartingEventArgs* args, LPWSTR* uri) {
    const Answer& answer = reinterpret_cast<FakeNavigationArgs*>(args)->uri;
    *uri = hand_out(answer.text);
    return answer.result;
}

HRESULT STDMETHODCALLTYPE navigation_put_cancel(ICoreWebView2NavigationStartingEventArgs*, BOOL cancel) {
    note(L"put_Cancel " + std::to_wstring(cancel));
    return S_OK;
}

const ICoreWebView2NavigationStartingEventArgsVtbl navigation_args_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2NavigationStartingEventArgsVtbl>();
    table.get_Uri = navigation_get_uri;
    table.put_Cancel = navigation_put_cancel;
    return table;
}();

struct FakeWebMessageArgs {
    ICoreWebView2WebMessageReceivedEventArgs com;
    Answer message;
};

HRESULT STDMETHODCALLTYPE message_try_get_string(ICoreWebView2WebMessageReceivedEventArgs* args, LPWSTR* message) {
    const Answer& answer = reinterpret_cast<FakeWebMessageArgs*>(args)->message;
    *message = hand_out(answer.text);
    return answer.result;
}

const ICoreWebView2WebMessageReceivedEventArgsVtbl web_message_args_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2WebMessageReceivedEventArgsVtbl>();
    table.TryGetWebMessageAsString = message_try_get_string;
    return table;
}();

struct EventCase {
    const char* name;
    Answer answer;
    std::vector<std::wstring> expected;
};

const std::wstring FREED = L"CoTaskMemFree handed-out string";
const std::wstring CANCELLED = L"put_Cancel 1";
constexpr wchar_t SERVER_LINK[] = L"fivem://connect/127.0.0.1:30120";
constexpr wchar_t INJECTING_LINK[] = L"fivem://connect/127.0.0.1:30120\" --flag \"";

class PageEvents : public testing::Test {
protected:
    static void SetUpTestSuite() { watch_shell_and_task_allocator(); }
    void SetUp() override {
        journal.clear();
        handed_out = nullptr;
    }

    static HRESULT navigate(const Answer& uri) {
        FakeNavigationArgs args = {{&navigation_args_table}, uri};
        return navigation_starting_handler.lpVtbl->Invoke(&navigation_starting_handler, nullptr, &args.com);
    }
    static HRESULT post_message(const Answer& message) {
        FakeWebMessageArgs args = {{&web_message_args_table}, message};
        return web_message_handler.lpVtbl->Invoke(&web_message_handler, nullptr, &args.com);
    }
};

TEST_F(PageEvents, NavigationToAGameLinkIsCancelledBeforeTheShellOpensItAndTheUriIsFreed) {
    const EventCase cases[] = {
        {"game link", {S_OK, SERVER_LINK}, {CANCELLED, shell_opened(SERVER_LINK), FREED}},
        {"ordinary page", {S_OK, L"https://example.org/servers?fivem://x"}, {FREED}},
        {"game link in other case", {S_OK, L"FiveM://connect/127.0.0.1:30120"}, {FREED}},
        {"game link that would inject arguments", {S_OK, INJECTING_LINK}, {CANCELLED, FREED}},
        {"get_Uri fails but hands out a string", {E_FAIL, SERVER_LINK}, {FREED}},
        {"get_Uri fails with no string", {E_FAIL, nullptr}, {}},
        {"get_Uri succeeds with no string", {S_OK, nullptr}, {}},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        EXPECT_EQ(navigate(c.answer), S_OK);
        EXPECT_EQ(journal, c.expected);
    }
}

TEST_F(PageEvents, OnlyASafeStringMessageHoldingAGameLinkReachesTheShell) {
    const EventCase cases[] = {
        {"string game link", {S_OK, SERVER_LINK}, {shell_opened(SERVER_LINK), FREED}},
        {"message that is not a string", {E_INVALIDARG, nullptr}, {}},
        {"string that is not a game link", {S_OK, L"{\"join\":\"fivem://x\"}"}, {FREED}},
        {"empty string", {S_OK, L""}, {FREED}},
        {"string game link that would inject arguments", {S_OK, INJECTING_LINK}, {FREED}},
        {"failure that still hands out a string", {E_INVALIDARG, SERVER_LINK}, {FREED}},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        EXPECT_EQ(post_message(c.answer), S_OK);
        EXPECT_EQ(journal, c.expected);
    }
}

// ---- Start-up completions -------------------------------------------------------------------

// Two plain windows of known client size: the host's, and another one.
constexpr int HOST_WIDTH = 640, HOST_HEIGHT = 400;
constexpr int OTHER_WIDTH = 300, OTHER_HEIGHT = 200;

HWND create_plain_window(int width, int height) {
    static const ATOM window_class = [] {
        WNDCLASSW record = {};
        record.lpfnWndProc = DefWindowProcW;
        record.hInstance = GetModuleHandleW(nullptr);
        record.lpszClassName = L"WebViewHostTestWindow";
        return RegisterClassW(&record);
    }();
    // A popup has no frame, so its client area is the whole window.
    return CreateWindowExW(0, MAKEINTATOM(window_class), L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

std::wstring bounds_of(int width, int height) {
    return L"Controller.put_Bounds 0 0 " + std::to_wstring(width) + L" " + std::to_wstring(height);
}

std::wstring handler_name(const void* handler) {
    if (handler == &web_message_handler) return L"web_message_handler";
    if (handler == &navigation_starting_handler) return L"navigation_starting_handler";
    if (handler == &controller_completed_handler) return L"controller_completed_handler";
    return L"another handler";
}

// The browser objects a runtime hands over once the controller exists; a runtime may lack some.
struct FakeBrowser {
    ICoreWebView2Environment environment;
    ICoreWebView2Controller controller;
    ICoreWebView2Controller2 controller2;
    ICoreWebView2 webview;
    ICoreWebView2Settings settings;
    bool offers_controller2 = true;
    bool offers_webview = true;
    bool offers_settings = true;
};
FakeBrowser browser;

HRESULT STDMETHODCALLTYPE environment_create_controller(
    ICoreWebView2Environment*, HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) {
    note(L"Environment.CreateCoreWebView2Controller parent=" +
         std::wstring(parent == host_window ? L"host_window" : L"another window") + L" handler=" +
         handler_name(handler));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE controller_query_interface(ICoreWebView2Controller*, REFIID iid, void** object) {
    const bool wants_controller2 = IsEqualIID(iid, IID_ICoreWebView2Controller2);
    note(L"Controller.QueryInterface " + std::wstring(wants_controller2 ? L"Controller2" : L"another interface"));
    *object = wants_controller2 && browser.offers_controller2 ? &browser.controller2 : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE controller_add_ref(ICoreWebView2Controller*) {
    note(L"Controller.AddRef");
    return 2;
}

ULONG STDMETHODCALLTYPE controller_release(ICoreWebView2Controller*) {
    note(L"Controller.Release");
    return 1;
}

HRESULT STDMETHODCALLTYPE controller_put_is_visible(ICoreWebView2Controller*, BOOL visible) {
    note(L"Controller.put_IsVisible " + std::to_wstring(visible));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE controller_put_bounds(ICoreWebView2Controller*, RECT bounds) {
    note(L"Controller.put_Bounds " + std::to_wstring(bounds.left) + L" " + std::to_wstring(bounds.top) + L" " +
         std::to_wstring(bounds.right) + L" " + std::to_wstring(bounds.bottom));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE controller_get_webview(ICoreWebView2Controller*, ICoreWebView2** webview) {
    note(L"Controller.get_CoreWebView2");
    *webview = browser.offers_webview ? &browser.webview : nullptr;
    return *webview ? S_OK : E_FAIL;
}

ULONG STDMETHODCALLTYPE controller2_release(ICoreWebView2Controller*) {
    note(L"Controller2.Release");
    return 1;
}

HRESULT STDMETHODCALLTYPE controller2_put_background(ICoreWebView2Controller2*, COREWEBVIEW2_COLOR color) {
    note(L"Controller2.put_DefaultBackgroundColor A" + std::to_wstring(color.A) + L" R" + std::to_wstring(color.R) +
         L" G" + std::to_wstring(color.G) + L" B" + std::to_wstring(color.B));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE webview_get_settings(ICoreWebView2*, ICoreWebView2Settings** settings) {
    note(L"WebView.get_Settings");
    *settings = browser.offers_settings ? &browser.settings : nullptr;
    return *settings ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE webview_navigate(ICoreWebView2*, LPCWSTR uri) {
    note(L"WebView.Navigate " + text_or_null(uri));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE webview_add_navigation_starting(ICoreWebView2*,
                                                          ICoreWebView2NavigationStartingEventHandler* handler,
                                                          EventRegistrationToken* token) {
    note(L"WebView.add_NavigationStarting " + handler_name(handler));
    token->value = 2;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE webview_add_web_message_received(ICoreWebView2*,
                                                           ICoreWebView2WebMessageReceivedEventHandler* handler,
                                                           EventRegistrationToken* token) {
    note(L"WebView.add_WebMessageReceived " + handler_name(handler));
    token->value = 1;
    return S_OK;
}

ULONG STDMETHODCALLTYPE settings_release(ICoreWebView2Settings*) {
    note(L"Settings.Release");
    return 1;
}

HRESULT STDMETHODCALLTYPE settings_put_context_menus(ICoreWebView2Settings*, BOOL enabled) {
    note(L"Settings.put_AreDefaultContextMenusEnabled " + std::to_wstring(enabled));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE settings_put_status_bar(ICoreWebView2Settings*, BOOL enabled) {
    note(L"Settings.put_IsStatusBarEnabled " + std::to_wstring(enabled));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE settings_put_web_messages(ICoreWebView2Settings*, BOOL enabled) {
    note(L"Settings.put_IsWebMessageEnabled " + std::to_wstring(enabled));
    return S_OK;
}

const ICoreWebView2EnvironmentVtbl environment_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2EnvironmentVtbl>();
    table.CreateCoreWebView2Controller = environment_create_controller;
    return table;
}();

ICoreWebView2ControllerVtbl controller_methods() {
    auto table = table_of_unexpected_slots<ICoreWebView2ControllerVtbl>();
    table.QueryInterface = controller_query_interface;
    table.AddRef = controller_add_ref;
    table.Release = controller_release;
    table.put_IsVisible = controller_put_is_visible;
    table.put_Bounds = controller_put_bounds;
    table.get_CoreWebView2 = controller_get_webview;
    return table;
}

const ICoreWebView2ControllerVtbl controller_table = controller_methods();

// A separate object, so a Release through it is told apart from one through the controller.
const ICoreWebView2Controller2Vtbl controller2_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2Controller2Vtbl>();
    table.controller = controller_methods();
    table.controller.Release = controller2_release;
    table.put_DefaultBackgroundColor = controller2_put_background;
    return table;
}();

const ICoreWebView2Vtbl webview_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2Vtbl>();
    table.get_Settings = webview_get_settings;
    table.Navigate = webview_navigate;
    table.add_NavigationStarting = webview_add_navigation_starting;
    table.add_WebMessageReceived = webview_add_web_message_received;
    return table;
}();

const ICoreWebView2SettingsVtbl settings_table = [] {
    auto table = table_of_unexpected_slots<ICoreWebView2SettingsVtbl>();
    table.Release = settings_release;
    table.put_AreDefaultContextMenusEnabled = settings_put_context_menus;
    table.put_IsStatusBarEnabled = settings_put_status_bar;
    table.put_IsWebMessageEnabled = settings_put_web_messages;
    return table;
}();

constexpr wchar_t START_URL[] = L"https://launcher.invalid/start?lang=en";

std::vector<std::wstring> full_start_up() {
    return {
        L"Controller.AddRef",
        L"Controller.QueryInterface Controller2",
        L"Controller2.put_DefaultBackgroundColor A255 R0 G0 B0",
        L"Controller2.Release",
        L"Controller.get_CoreWebView2",
        L"WebView.get_Settings",
        L"Settings.put_AreDefaultContextMenusEnabled 0",
        L"Settings.put_IsStatusBarEnabled 0",
        L"Settings.put_IsWebMessageEnabled 1",
        L"Settings.Release",
        L"WebView.add_WebMessageReceived web_message_handler",
        L"WebView.add_NavigationStarting navigation_starting_handler",
        bounds_of(HOST_WIDTH, HOST_HEIGHT),
        L"Controller.put_IsVisible 1",
        std::wstring(L"WebView.Navigate ") + START_URL,
    };
}

std::vector<std::wstring> without_calls_on(std::vector<std::wstring> calls, const std::wstring& object) {
    std::erase_if(calls, [&](const std::wstring& call) { return call.starts_with(object); });
    return calls;
}

class StartUpCompletions : public testing::Test {
protected:
    static void SetUpTestSuite() {
        watch_shell_and_task_allocator();
        host_window_handle = create_plain_window(HOST_WIDTH, HOST_HEIGHT);
        other_window = create_plain_window(OTHER_WIDTH, OTHER_HEIGHT);
        ASSERT_NE(host_window_handle, nullptr);
        ASSERT_NE(other_window, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(other_window);
        DestroyWindow(host_window_handle);
    }

    void SetUp() override { start_fresh(); }
    // Nothing later may reach these fakes through the host.
    void TearDown() override {
        host_controller = nullptr;
        host_webview = nullptr;
        host_window = nullptr;
    }

    // The host's state is module-wide: each case starts as if webview_create had just run.
    static void start_fresh() {
        browser = FakeBrowser{{&environment_table}, {&controller_table}, {&controller2_table}, {&webview_table},
                              {&settings_table}};
        journal.clear();
        host_window = host_window_handle;
        host_url = START_URL;
        host_controller = nullptr;
        host_webview = nullptr;
    }

    static HRESULT complete_controller(HRESULT result, ICoreWebView2Controller* controller) {
        return controller_completed_handler.lpVtbl->Invoke(&controller_completed_handler, result, controller);
    }

    static inline HWND host_window_handle = nullptr;
    static inline HWND other_window = nullptr;
};

TEST_F(StartUpCompletions, EnvironmentAsksForAControllerInTheHostWindowOnlyOnSuccess) {
    struct Case {
        const char* name;
        HRESULT result;
        bool with_environment;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"success",
         S_OK,
         true,
         {L"Environment.CreateCoreWebView2Controller parent=host_window handler=controller_completed_handler"}},
        {"failure", E_FAIL, true, {}},
        {"success without an environment", S_OK, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        EXPECT_EQ(environment_completed_handler.lpVtbl->Invoke(&environment_completed_handler, c.result,
                                                               c.with_environment ? &browser.environment : nullptr),
                  S_OK);
        EXPECT_EQ(journal, c.expected);
    }
}

TEST_F(StartUpCompletions, ControllerIsSetUpInOrderAndNavigatesLast) {
    EXPECT_EQ(complete_controller(S_OK, &browser.controller), S_OK);
    EXPECT_EQ(journal, full_start_up());
    EXPECT_EQ(host_controller, &browser.controller);
    EXPECT_EQ(host_webview, &browser.webview);
}

TEST_F(StartUpCompletions, AnOlderRuntimeLosesOnlyWhatItLacks) {
    struct Case {
        const char* name;
        bool FakeBrowser::*lacking;
        const wchar_t* skipped_object;
    };
    const Case cases[] = {
        {"no ICoreWebView2Controller2", &FakeBrowser::offers_controller2, L"Controller2."},
        {"no settings", &FakeBrowser::offers_settings, L"Settings."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_fresh();
        browser.*c.lacking = false;
        EXPECT_EQ(complete_controller(S_OK, &browser.controller), S_OK);
        EXPECT_EQ(journal, without_calls_on(full_start_up(), c.skipped_object));
    }
}

TEST_F(StartUpCompletions, AControllerWithoutAWebViewIsKeptForResizing) {
    browser.offers_webview = false;
    EXPECT_EQ(complete_controller(S_OK, &browser.controller), S_OK);
    EXPECT_EQ(host_controller, &browser.controller);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), L"Controller.AddRef"), 1);
    EXPECT_TRUE(std::none_of(journal.begin(), journal.end(),
                             [](const std::wstring& call) { return call.starts_with(L"WebView."); }));

    journal.clear();
    webview_resize(other_window);
    EXPECT_EQ(journal, std::vector<std::wstring>{bounds_of(OTHER_WIDTH, OTHER_HEIGHT)});
}

TEST_F(StartUpCompletions, AFailedOrEmptyCompletionLeavesTheHostWithoutAController) {
    EXPECT_EQ(complete_controller(E_FAIL, &browser.controller), S_OK);
    EXPECT_EQ(complete_controller(S_OK, nullptr), S_OK);
    EXPECT_EQ(journal, std::vector<std::wstring>{});
    EXPECT_EQ(host_controller, nullptr);
    EXPECT_EQ(host_webview, nullptr);

    webview_resize(other_window);  // still nothing to fit
    EXPECT_EQ(journal, std::vector<std::wstring>{});
}

TEST_F(StartUpCompletions, ResizeFitsTheGivenWindowOnceTheControllerExists) {
    webview_resize(other_window);
    EXPECT_EQ(journal, std::vector<std::wstring>{});

    ASSERT_EQ(complete_controller(S_OK, &browser.controller), S_OK);
    journal.clear();
    webview_resize(nullptr);
    EXPECT_EQ(journal, std::vector<std::wstring>{});

    webview_resize(other_window);
    webview_resize(host_window_handle);
    const std::vector<std::wstring> expected = {bounds_of(OTHER_WIDTH, OTHER_HEIGHT),
                                                bounds_of(HOST_WIDTH, HOST_HEIGHT)};
    EXPECT_EQ(journal, expected);
}

}  // namespace
