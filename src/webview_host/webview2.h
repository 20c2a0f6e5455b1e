// The WebView2 interfaces the launcher uses, declared as the runtime lays them out: each object
// is a pointer to its function table, every method takes the object first, and the slots come
// in the published order up to the last one the launcher calls. Slots it never calls are kept,
// by name, only to hold their places. The static_asserts below pin each slot that is called.
#pragma once

#include <windows.h>
#include <eventtoken.h>

#include <cstddef>

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Controller2;
struct ICoreWebView2Environment;
struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2NavigationStartingEventArgs;
struct ICoreWebView2Settings;
struct ICoreWebView2WebMessageReceivedEventArgs;
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
struct ICoreWebView2NavigationStartingEventHandler;
struct ICoreWebView2WebMessageReceivedEventHandler;

// Holds the place of a method the launcher never calls.
using unused_slot = void(STDMETHODCALLTYPE*)();

// Byte order A, R, G, B; passed by value.
struct COREWEBVIEW2_COLOR {
    BYTE A;
    BYTE R;
    BYTE G;
    BYTE B;
};

inline constexpr IID IID_ICoreWebView2Environment = {
    0xB96D755E, 0x0319, 0x4E92, {0xA2, 0x96, 0x23, 0x43, 0x6F, 0x46, 0xA1, 0xFC}};
inline constexpr IID IID_ICoreWebView2Controller = {
    0x4D00C0D1, 0x9434, 0x4EB6, {0x80, 0x78, 0x86, 0x97, 0xA5, 0x60, 0x33, 0x4F}};
inline constexpr IID IID_ICoreWebView2Controller2 = {
    0xC979903E, 0xD4CA, 0x4228, {0x92, 0xEB, 0x47, 0xEE, 0x3F, 0xA9, 0x6E, 0xAB}};
inline constexpr IID IID_ICoreWebView2 = {
    0x76ECEACB, 0x0462, 0x4D94, {0xAC, 0x83, 0x42, 0x3A, 0x67, 0x93, 0x77, 0x5E}};
inline constexpr IID IID_ICoreWebView2Settings = {
    0xE562E4F0, 0xD7FA, 0x43AC, {0x8D, 0x71, 0xC0, 0x51, 0x50, 0x49, 0x9F, 0x00}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventArgs = {
    0x5B495469, 0xE119, 0x438A, {0x9B, 0x18, 0x76, 0x04, 0xF2, 0x5F, 0x2E, 0x49}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventArgs = {
    0x0F99A40C, 0xE962, 0x4207, {0x9E, 0x92, 0xE3, 0xD5, 0x42, 0xEF, 0xF8, 0x49}};
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler = {
    0x4E8A3389, 0xC9D8, 0x4BD2, {0xB6, 0xB5, 0x12, 0x4F, 0xEE, 0x6C, 0xC1, 0x4D}};
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler = {
    0x6C4819F3, 0xC9B7, 0x4260, {0x81, 0x27, 0xC9, 0xF5, 0xBD, 0xE7, 0xF6, 0x8C}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventHandler = {
    0x57213F19, 0x00E6, 0x49FA, {0x8E, 0x07, 0x89, 0x8E, 0xA0, 0x1E, 0xCB, 0xD2}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventHandler = {
    0x9ADBE429, 0xF36D, 0x432B, {0x9D, 0xDC, 0xF8, 0x88, 0x1F, 0xBD, 0x76, 0xE3}};

struct ICoreWebView2EnvironmentVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2Environment*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2Environment*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2Environment*);
    HRESULT(STDMETHODCALLTYPE* CreateCoreWebView2Controller)(
        ICoreWebView2Environment*, HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*);
};
struct ICoreWebView2Environment {
    const ICoreWebView2EnvironmentVtbl* lpVtbl;
};

struct ICoreWebView2ControllerVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2Controller*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2Controller*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2Controller*);
    unused_slot get_IsVisible;
    HRESULT(STDMETHODCALLTYPE* put_IsVisible)(ICoreWebView2Controller*, BOOL visible);
    unused_slot get_Bounds;
    HRESULT(STDMETHODCALLTYPE* put_Bounds)(ICoreWebView2Controller*, RECT bounds);
    unused_slot get_ZoomFactor;
    unused_slot put_ZoomFactor;
    unused_slot add_ZoomFactorChanged;
    unused_slot remove_ZoomFactorChanged;
    unused_slot SetBoundsAndZoomFactor;
    unused_slot MoveFocus;
    unused_slot add_MoveFocusRequested;
    unused_slot remove_MoveFocusRequested;
    unused_slot add_GotFocus;
    unused_slot remove_GotFocus;
    unused_slot add_LostFocus;
    unused_slot remove_LostFocus;
    unused_slot add_AcceleratorKeyPressed;
    unused_slot remove_AcceleratorKeyPressed;
    unused_slot get_ParentWindow;
    unused_slot put_ParentWindow;
    unused_slot NotifyParentWindowPositionChanged;
    unused_slot Close;
    HRESULT(STDMETHODCALLTYPE* get_CoreWebView2)(ICoreWebView2Controller*, ICoreWebView2** webview);
};
struct ICoreWebView2Controller {
    const ICoreWebView2ControllerVtbl* lpVtbl;
};

// Derives from ICoreWebView2Controller: its table is the controller's, then two more slots.
struct ICoreWebView2Controller2Vtbl {
    ICoreWebView2ControllerVtbl controller;
    unused_slot get_DefaultBackgroundColor;
    HRESULT(STDMETHODCALLTYPE* put_DefaultBackgroundColor)(ICoreWebView2Controller2*, COREWEBVIEW2_COLOR color);
};
struct ICoreWebView2Controller2 {
    const ICoreWebView2Controller2Vtbl* lpVtbl;
};

// The same object seen through the interface it derives from.
inline ICoreWebView2Controller* as_controller(ICoreWebView2Controller2* controller2) {
    return reinterpret_cast<ICoreWebView2Controller*>(controller2);
}

struct ICoreWebView2Vtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2*);
    HRESULT(STDMETHODCALLTYPE* get_Settings)(ICoreWebView2*, ICoreWebView2Settings** settings);
    unused_slot get_Source;
    HRESULT(STDMETHODCALLTYPE* Navigate)(ICoreWebView2*, LPCWSTR uri);
    unused_slot NavigateToString;
    HRESULT(STDMETHODCALLTYPE* add_NavigationStarting)(
        ICoreWebView2*, ICoreWebView2NavigationStartingEventHandler*, EventRegistrationToken*);
    unused_slot remove_NavigationStarting;
    unused_slot add_ContentLoading;
    unused_slot remove_ContentLoading;
    unused_slot add_SourceChanged;
    unused_slot remove_SourceChanged;
    unused_slot add_HistoryChanged;
    unused_slot remove_HistoryChanged;
    unused_slot add_NavigationCompleted;
    unused_slot remove_NavigationCompleted;
    unused_slot add_FrameNavigationStarting;
    unused_slot remove_FrameNavigationStarting;
    unused_slot add_FrameNavigationCompleted;
    unused_slot remove_FrameNavigationCompleted;
    unused_slot add_ScriptDialogOpening;
    unused_slot remove_ScriptDialogOpening;
    unused_slot add_PermissionRequested;
    unused_slot remove_PermissionRequested;
    unused_slot add_ProcessFailed;
    unused_slot remove_ProcessFailed;
    unused_slot AddScriptToExecuteOnDocumentCreated;
    unused_slot RemoveScriptToExecuteOnDocumentCreated;
    unused_slot ExecuteScript;
    unused_slot CapturePreview;
    unused_slot Reload;
    unused_slot PostWebMessageAsJson;
    unused_slot PostWebMessageAsString;
    HRESULT(STDMETHODCALLTYPE* add_WebMessageReceived)(
        ICoreWebView2*, ICoreWebView2WebMessageReceivedEventHandler*, EventRegistrationToken*);
};
struct ICoreWebView2 {
    const ICoreWebView2Vtbl* lpVtbl;
};

struct ICoreWebView2SettingsVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2Settings*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2Settings*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2Settings*);
    unused_slot get_IsScriptEnabled;
    unused_slot put_IsScriptEnabled;
    unused_slot get_IsWebMessageEnabled;
    HRESULT(STDMETHODCALLTYPE* put_IsWebMessageEnabled)(ICoreWebView2Settings*, BOOL enabled);
    unused_slot get_AreDefaultScriptDialogsEnabled;
    unused_slot put_AreDefaultScriptDialogsEnabled;
    unused_slot get_IsStatusBarEnabled;
    HRESULT(STDMETHODCALLTYPE* put_IsStatusBarEnabled)(ICoreWebView2Settings*, BOOL enabled);
    unused_slot get_AreDevToolsEnabled;
    unused_slot put_AreDevToolsEnabled;
    unused_slot get_AreDefaultContextMenusEnabled;
    HRESULT(STDMETHODCALLTYPE* put_AreDefaultContextMenusEnabled)(ICoreWebView2Settings*, BOOL enabled);
};
struct ICoreWebView2Settings {
    const ICoreWebView2SettingsVtbl* lpVtbl;
};

struct ICoreWebView2NavigationStartingEventArgsVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2NavigationStartingEventArgs*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2NavigationStartingEventArgs*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2NavigationStartingEventArgs*);
    // The string is the caller's, to free with CoTaskMemFree.
    HRESULT(STDMETHODCALLTYPE* get_Uri)(ICoreWebView2NavigationStartingEventArgs*, LPWSTR* uri);
    unused_slot get_IsUserInitiated;
    unused_slot get_IsRedirected;
    unused_slot get_RequestHeaders;
    unused_slot get_Cancel;
    HRESULT(STDMETHODCALLTYPE* put_Cancel)(ICoreWebView2NavigationStartingEventArgs*, BOOL cancel);
};
struct ICoreWebView2NavigationStartingEventArgs {
    const ICoreWebView2NavigationStartingEventArgsVtbl* lpVtbl;
};

struct ICoreWebView2WebMessageReceivedEventArgsVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2WebMessageReceivedEventArgs*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2WebMessageReceivedEventArgs*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2WebMessageReceivedEventArgs*);
    unused_slot get_Source;
    unused_slot get_WebMessageAsJson;
    // Fails for anything the page did not post as a string; the string is the caller's to free.
    HRESULT(STDMETHODCALLTYPE* TryGetWebMessageAsString)(ICoreWebView2WebMessageReceivedEventArgs*, LPWSTR* message);
};
struct ICoreWebView2WebMessageReceivedEventArgs {
    const ICoreWebView2WebMessageReceivedEventArgsVtbl* lpVtbl;
};

// The four handler interfaces the launcher implements: IUnknown, then Invoke.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*, REFIID,
                                               void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*, HRESULT result,
                                       ICoreWebView2Environment* environment);
};
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler {
    const ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl* lpVtbl;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*, REFIID,
                                               void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*, HRESULT result,
                                       ICoreWebView2Controller* controller);
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler {
    const ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl* lpVtbl;
};

struct ICoreWebView2WebMessageReceivedEventHandlerVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2WebMessageReceivedEventHandler*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2WebMessageReceivedEventHandler*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2WebMessageReceivedEventHandler*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2WebMessageReceivedEventHandler*, ICoreWebView2* sender,
                                       ICoreWebView2WebMessageReceivedEventArgs* args);
};
struct ICoreWebView2WebMessageReceivedEventHandler {
    const ICoreWebView2WebMessageReceivedEventHandlerVtbl* lpVtbl;
};

struct ICoreWebView2NavigationStartingEventHandlerVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ICoreWebView2NavigationStartingEventHandler*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ICoreWebView2NavigationStartingEventHandler*);
    ULONG(STDMETHODCALLTYPE* Release)(ICoreWebView2NavigationStartingEventHandler*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2NavigationStartingEventHandler*, ICoreWebView2* sender,
                                       ICoreWebView2NavigationStartingEventArgs* args);
};
struct ICoreWebView2NavigationStartingEventHandler {
    const ICoreWebView2NavigationStartingEventHandlerVtbl* lpVtbl;
};

// The loader library's one export.
using CreateCoreWebView2EnvironmentWithOptionsFunction = HRESULT(STDAPICALLTYPE*)(
    PCWSTR browser_folder, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// Every slot the launcher calls or implements, pinned to its published position.
constexpr std::size_t slot_offset(std::size_t slot) { return slot * sizeof(void*); }

static_assert(offsetof(ICoreWebView2EnvironmentVtbl, CreateCoreWebView2Controller) == slot_offset(3));
static_assert(offsetof(ICoreWebView2ControllerVtbl, AddRef) == slot_offset(1));
static_assert(offsetof(ICoreWebView2ControllerVtbl, put_IsVisible) == slot_offset(4));
static_assert(offsetof(ICoreWebView2ControllerVtbl, put_Bounds) == slot_offset(6));
static_assert(offsetof(ICoreWebView2ControllerVtbl, get_CoreWebView2) == slot_offset(25));
static_assert(sizeof(ICoreWebView2ControllerVtbl) == slot_offset(26));
static_assert(offsetof(ICoreWebView2Controller2Vtbl, put_DefaultBackgroundColor) == slot_offset(27));
static_assert(offsetof(ICoreWebView2Vtbl, get_Settings) == slot_offset(3));
static_assert(offsetof(ICoreWebView2Vtbl, Navigate) == slot_offset(5));
static_assert(offsetof(ICoreWebView2Vtbl, add_NavigationStarting) == slot_offset(7));
static_assert(offsetof(ICoreWebView2Vtbl, add_WebMessageReceived) == slot_offset(34));
static_assert(offsetof(ICoreWebView2SettingsVtbl, put_IsWebMessageEnabled) == slot_offset(6));
static_assert(offsetof(ICoreWebView2SettingsVtbl, put_IsStatusBarEnabled) == slot_offset(10));
static_assert(offsetof(ICoreWebView2SettingsVtbl, put_AreDefaultContextMenusEnabled) == slot_offset(14));
static_assert(offsetof(ICoreWebView2NavigationStartingEventArgsVtbl, get_Uri) == slot_offset(3));
static_assert(offsetof(ICoreWebView2NavigationStartingEventArgsVtbl, put_Cancel) == slot_offset(8));
static_assert(offsetof(ICoreWebView2WebMessageReceivedEventArgsVtbl, TryGetWebMessageAsString) == slot_offset(5));
static_assert(offsetof(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl, Invoke) == slot_offset(3));
static_assert(offsetof(ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl, Invoke) == slot_offset(3));
static_assert(offsetof(ICoreWebView2WebMessageReceivedEventHandlerVtbl, Invoke) == slot_offset(3));
static_assert(offsetof(ICoreWebView2NavigationStartingEventHandlerVtbl, Invoke) == slot_offset(3));
static_assert(sizeof(COREWEBVIEW2_COLOR) == 4);
static_assert(sizeof(EventRegistrationToken) == 8);
