// Text helpers shared by the fake WebView2 loader and the game-client recorder: both read their
// output path from the environment and append UTF-8 lines that a test reads while they run.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace fake_runtime {

inline std::string to_utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

inline std::wstring to_utf16(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), units);
  return out;
}

inline std::optional<std::wstring> environment_variable(const wchar_t* name) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD written = GetEnvironmentVariableW(name, value.data(), needed);
  value.resize(written);
  return value;
}

// Control characters are written as \xNN so that one record never spans two lines.
inline std::wstring escape_controls(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    if (c < 0x20) {
      wchar_t code[8];
      swprintf(code, 8, L"\\x%02X", static_cast<unsigned>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

// Opens, appends and closes per call: each write reaches the file at once, and several
// processes (or a test reading concurrently) see whole lines.
inline bool append_utf8(const std::wstring& path, std::wstring_view text) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string bytes = to_utf8(text);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace fake_runtime
