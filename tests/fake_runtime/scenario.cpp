#include "scenario.h"

#include "wide_text.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace fake_runtime {
namespace {

constexpr std::pair<std::string_view, Step> kStepNames[] = {
    {"environment-request", Step::environment_request},
    {"environment-completion", Step::environment_completion},
    {"environment-null", Step::environment_null},
    {"controller-completion", Step::controller_completion},
    {"controller-null", Step::controller_null},
    {"controller2", Step::controller2},
    {"get-corewebview2", Step::get_corewebview2},
    {"get-settings", Step::get_settings},
};

std::optional<std::string> read_file(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return content;
}

std::string_view trim_left(std::string_view text) {
  const auto start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

std::string_view trim_right(std::string_view text) {
  const auto end = text.find_last_not_of(" \t");
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::optional<Step> step_named(std::string_view name) {
  for (const auto& [step_name, step] : kStepNames) {
    if (step_name == name) return step;
  }
  return std::nullopt;
}

std::optional<unsigned> parse_milliseconds(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Message text and addresses run verbatim to the end of the line, inner spaces included.
bool apply_directive(std::string_view line, Scenario& scenario) {
  const auto space = line.find(' ');
  const std::string_view word = line.substr(0, space);
  const std::string_view rest = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
  if (word == "fail") {
    const auto step = step_named(trim_right(trim_left(rest)));
    if (!step) return false;
    scenario.failing[static_cast<std::size_t>(*step)] = true;
    return true;
  }
  if (word == "navigate" && !rest.empty()) {
    scenario.events.push_back({PageEvent::Kind::navigate, to_utf16(rest)});
    return true;
  }
  if (word == "message-string") {
    scenario.events.push_back({PageEvent::Kind::message_string, to_utf16(rest)});
    return true;
  }
  if (word == "message-json" && !rest.empty()) {
    scenario.events.push_back({PageEvent::Kind::message_json, to_utf16(rest)});
    return true;
  }
  if (word == "wait") {
    const auto milliseconds = parse_milliseconds(trim_right(trim_left(rest)));
    if (!milliseconds) return false;
    scenario.events.push_back({PageEvent::Kind::wait, {}, *milliseconds});
    return true;
  }
  return false;
}

LoadedScenario parse_scenario(std::string_view content, const std::wstring& path) {
  LoadedScenario loaded;
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  int line_number = 0;
  while (!content.empty()) {
    ++line_number;
    const auto newline = content.find('\n');
    std::string_view line = content.substr(0, newline);
    content = newline == std::string_view::npos ? std::string_view{} : content.substr(newline + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = trim_left(line);
    if (line.empty() || line.starts_with('#')) continue;
    if (!apply_directive(line, loaded.scenario)) {
      loaded.error = L"Scenario error line " + std::to_wstring(line_number) + L": " + to_utf16(line);
      break;
    }
  }
  loaded.description = L"Scenario read " + path;
  return loaded;
}

}  // namespace

LoadedScenario load_scenario() {
  const auto path = environment_variable(L"FAKE_WEBVIEW2_SCENARIO");
  if (!path || path->empty()) return {{}, L"Scenario default", std::nullopt};
  const auto content = read_file(*path);
  if (!content) return {{}, L"Scenario missing " + *path, std::nullopt};
  return parse_scenario(*content, *path);
}

}  // namespace fake_runtime
