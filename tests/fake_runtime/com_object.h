// How the fake runtime lays out its COM objects. Each function table is an array filled by
// explicit slot number, independently of any interface declaration the host uses, so a host
// that calls the wrong slot reaches a different method here and the record shows it.
#pragma once

#include "fake_log.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fake_runtime {

// A slot that the host is not expected to use gets a stub taking only the object pointer.
// That is safe for any real parameter list only where the caller removes the arguments;
// under the x86 stdcall convention the callee would have to pop the exact size.
static_assert(sizeof(void*) == 8, "the fake runtime is built for 64-bit hosts only");

using AnyMethod = void (*)();

template <class Function>
AnyMethod as_method(Function function) {
  return reinterpret_cast<AnyMethod>(function);
}

// Interface is a tag type with the interface's name and its table length.
template <class Interface, std::size_t Slot>
HRESULT STDMETHODCALLTYPE unexpected_method(void*) {
  record(L"Unexpected " + std::wstring(Interface::name) + L" slot " + std::to_wstring(Slot));
  return E_NOTIMPL;
}

template <class Interface, std::size_t... Slots>
std::array<AnyMethod, sizeof...(Slots)> unexpected_methods(std::index_sequence<Slots...>) {
  return {as_method(&unexpected_method<Interface, Slots>)...};
}

template <class Interface>
std::array<AnyMethod, Interface::slot_count> table_of_unexpected() {
  return unexpected_methods<Interface>(std::make_index_sequence<Interface::slot_count>{});
}

struct InterfaceEntry {
  GUID iid;
  void* pointer;
};

// The common head of every fake object. Objects are never deleted: a host that releases one
// time too many then shows a negative count in the record instead of crashing the test.
struct ComObject {
  ComObject(const AnyMethod* methods, std::wstring_view record_name)
      : table(methods), name(record_name) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  const AnyMethod* table;  // must stay first: the host sees the object as a table pointer
  std::wstring_view name;
  long own_refs = 1;
  long* refs = &own_refs;  // a second interface of an object counts on the object's count
  std::vector<InterfaceEntry> interfaces;
};

HRESULT STDMETHODCALLTYPE query_interface(ComObject* self, const GUID* iid, void** out);
ULONG STDMETHODCALLTYPE add_ref(ComObject* self);
ULONG STDMETHODCALLTYPE release(ComObject* self);

template <class Table>
void set_unknown_methods(Table& table) {
  table[0] = as_method(&query_interface);
  table[1] = as_method(&add_ref);
  table[2] = as_method(&release);
}

// Calls slot `slot` of a COM object the host implements.
template <class Result, class... Args>
Result call_host(void* object, std::size_t slot, Args... args) {
  using Method = Result(STDMETHODCALLTYPE*)(void*, Args...);
  const AnyMethod* table = *static_cast<const AnyMethod* const*>(object);
  return reinterpret_cast<Method>(table[slot])(object, args...);
}

// Keeps a reference on a host object for as long as a queued action or a registration needs it.
using HostReference = std::shared_ptr<void>;
HostReference hold_host_object(void* object);

}  // namespace fake_runtime
