// Stands in for the game client that the system opens for fivem:// links. It only writes down
// how it was started, so a test can check the exact address handed over and that nothing else
// was added to its command line. README.md documents the two lines it appends.

#include "wide_text.h"

#include <shellapi.h>

#include <string>
#include <string_view>

namespace {

std::wstring json_string(std::wstring_view text) {
  std::wstring out = L"\"";
  for (const wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += L'\\';
      out += c;
    } else if (c < 0x20) {
      wchar_t code[8];
      swprintf(code, 8, L"\\u%04X", static_cast<unsigned>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out + L"\"";
}

std::wstring arguments_line(const wchar_t* command_line) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(command_line, &count);
  std::wstring line = L"argc=" + std::to_wstring(count) + L" argv=[";
  for (int i = 0; i < count; ++i) {
    if (i > 0) line += L',';
    line += json_string(arguments[i]);
  }
  LocalFree(arguments);
  return line + L"]";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const auto record_path = fake_runtime::environment_variable(L"GAME_CLIENT_RECORD");
  if (!record_path || record_path->empty()) return 2;
  const wchar_t* command_line = GetCommandLineW();
  // Both lines in one write, so two clients started together cannot interleave them.
  const std::wstring record = L"cmdline " + fake_runtime::escape_controls(command_line) + L"\n" +
                              arguments_line(command_line) + L"\n";
  return fake_runtime::append_utf8(*record_path, record) ? 0 : 1;
}
