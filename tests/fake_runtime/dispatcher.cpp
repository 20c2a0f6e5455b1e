#include "dispatcher.h"

#include "fake_log.h"

#include <deque>
#include <string>
#include <utility>
#include <variant>

namespace fake_runtime {
namespace {

constexpr UINT kRunNextMessage = WM_APP + 1;
constexpr UINT_PTR kWaitTimer = 1;
constexpr wchar_t kWindowClass[] = L"FakeWebView2Dispatcher";

struct Wait {
  unsigned milliseconds;
};
using QueuedItem = std::variant<std::function<void()>, Wait>;

// At most one message or timer is outstanding at a time; that is what keeps the order, and
// what keeps an action queued from inside a running one from starting before it returns.
enum class State { idle, posted, running, waiting };

struct Queue {
  HWND window = nullptr;
  std::deque<QueuedItem> items;
  State state = State::idle;
};

Queue& queue() {
  static Queue instance;
  return instance;
}

void post_next() {
  queue().state = State::posted;
  PostMessageW(queue().window, kRunNextMessage, 0, 0);
}

void finish_step() {
  if (queue().items.empty()) {
    queue().state = State::idle;
    record(L"Event queue empty");
  } else {
    post_next();
  }
}

void run_next() {
  Queue& q = queue();
  q.state = State::running;
  QueuedItem item = std::move(q.items.front());
  q.items.pop_front();
  if (const auto* wait = std::get_if<Wait>(&item)) {
    record(L"Event wait " + std::to_wstring(wait->milliseconds));
    q.state = State::waiting;
    SetTimer(q.window, kWaitTimer, wait->milliseconds, nullptr);
    return;
  }
  std::get<std::function<void()>>(item)();
  finish_step();
}

LRESULT CALLBACK dispatcher_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunNextMessage) {
    run_next();
    return 0;
  }
  if (message == WM_TIMER && wparam == kWaitTimer) {
    KillTimer(window, kWaitTimer);
    finish_step();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The window procedure lives in this DLL, so the DLL stays loaded for as long as the window
// may receive messages, even if the host frees its handle to it.
HMODULE pinned_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&dispatcher_window_proc), &module);
  return module;
}

void add_item(QueuedItem item) {
  queue().items.push_back(std::move(item));
  if (queue().state == State::idle) post_next();
}

}  // namespace

bool start_dispatcher() {
  Queue& q = queue();
  if (q.window) return true;
  const HMODULE module = pinned_module();
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = dispatcher_window_proc;
  window_class.hInstance = module;
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);
  q.window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                             nullptr);
  return q.window != nullptr;
}

void enqueue(std::function<void()> action) { add_item(std::move(action)); }

void enqueue_wait(unsigned milliseconds) { add_item(Wait{milliseconds}); }

}  // namespace fake_runtime
