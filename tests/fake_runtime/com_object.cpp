#include "com_object.h"

#include <cstring>

namespace fake_runtime {
namespace {

constexpr std::size_t kAddRefSlot = 1;
constexpr std::size_t kReleaseSlot = 2;

// IIDs are compared byte for byte: a host that declares one digit wrong must not match.
bool same_iid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

}  // namespace

HRESULT STDMETHODCALLTYPE query_interface(ComObject* self, const GUID* iid, void** out) {
  HRESULT hr = E_NOINTERFACE;
  if (!iid || !out) {
    hr = E_POINTER;
  } else {
    *out = nullptr;
    for (const InterfaceEntry& entry : self->interfaces) {
      if (same_iid(entry.iid, *iid)) {
        *out = entry.pointer;
        ++*self->refs;
        hr = S_OK;
        break;
      }
    }
  }
  record(std::wstring(self->name) + L".QueryInterface " + (iid ? guid_text(*iid) : L"<null>") +
         L" hr=" + hresult_text(hr));
  return hr;
}

ULONG STDMETHODCALLTYPE add_ref(ComObject* self) {
  const long refs = ++*self->refs;
  record(std::wstring(self->name) + L".AddRef refs=" + std::to_wstring(refs));
  return static_cast<ULONG>(refs);
}

ULONG STDMETHODCALLTYPE release(ComObject* self) {
  const long refs = --*self->refs;
  record(std::wstring(self->name) + L".Release refs=" + std::to_wstring(refs));
  return static_cast<ULONG>(refs);
}

HostReference hold_host_object(void* object) {
  call_host<ULONG>(object, kAddRefSlot);
  return HostReference(object, [](void* held) { call_host<ULONG>(held, kReleaseSlot); });
}

}  // namespace fake_runtime
