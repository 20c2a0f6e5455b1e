#include "free_tracker.h"

#include "fake_log.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

namespace fake_runtime {
namespace {

// Task memory can be freed on any thread, so the set of live strings is shared under a lock.
class StringFreeSpy final : public IMallocSpy {
 public:
  void watch(void* pointer) {
    const std::lock_guard lock(mutex_);
    live_.insert(pointer);
  }

  bool is_live(void* pointer) {
    const std::lock_guard lock(mutex_);
    return live_.contains(pointer);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IMallocSpy))) {
      *out = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The spy lives as long as the process, so reference counts do not matter.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
    const std::lock_guard lock(mutex_);
    live_.erase(request);
    return request;
  }
  // The rest passes every request through unchanged.
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override { return actual; }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** new_request, BOOL) override {
    *new_request = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

 private:
  std::mutex mutex_;
  std::set<void*> live_;
};

StringFreeSpy& spy() {
  static StringFreeSpy instance;
  return instance;
}

bool tracking = false;

}  // namespace

void start_free_tracking() {
  static std::once_flag once;
  std::call_once(once, [] {
    const HRESULT hr = CoRegisterMallocSpy(&spy());
    tracking = SUCCEEDED(hr);
    record(tracking ? L"FreeTracking malloc-spy" : L"FreeTracking unavailable hr=" + hresult_text(hr));
  });
}

wchar_t* hand_out_string(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  if (!copy) return nullptr;
  std::memcpy(copy, text.c_str(), bytes);
  if (tracking) spy().watch(copy);
  return copy;
}

std::wstring freed_text(const std::vector<void*>& handed_out) {
  if (!tracking) return L"unknown";
  if (handed_out.empty()) return L"none";
  const bool all_freed = std::none_of(handed_out.begin(), handed_out.end(),
                                      [](void* pointer) { return spy().is_live(pointer); });
  return all_freed ? L"1" : L"0";
}

}  // namespace fake_runtime
