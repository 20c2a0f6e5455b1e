// The call record of the fake runtime: one line per call or event, in the file named by
// FAKE_WEBVIEW2_LOG. The line format is documented in README.md; tests parse it.
#pragma once

#include "wide_text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace fake_runtime {

// The variable is read for every line so that an in-process test can redirect the record.
inline void record(std::wstring_view line) {
  const auto path = environment_variable(L"FAKE_WEBVIEW2_LOG");
  if (!path || path->empty()) return;
  append_utf8(*path, escape_controls(line) + L"\n");
}

inline std::wstring hresult_text(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

inline std::wstring handle_text(const void* handle) {
  wchar_t text[24];
  swprintf(text, 24, L"0x%08llX",
           static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
  return text;
}

inline std::wstring presence_text(const void* pointer) { return pointer ? L"set" : L"<null>"; }

// Paths may hold spaces, so they are quoted; a Windows path never holds a quote.
inline std::wstring quoted_or_null(const wchar_t* text) {
  return text ? L"\"" + std::wstring(text) + L"\"" : L"<null>";
}

inline std::wstring guid_text(const GUID& guid) {
  wchar_t text[40];
  swprintf(text, 40, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
           static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
           guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
           guid.Data4[6], guid.Data4[7]);
  return text;
}

}  // namespace fake_runtime
