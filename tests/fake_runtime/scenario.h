// What a test asks the fake runtime to do: which step of the start-up fails, and which page
// events follow the host's first Navigate. The file format is documented in README.md.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace fake_runtime {

enum class Step {
  environment_request,     // the export itself returns E_FAIL
  environment_completion,  // environment completion with E_FAIL
  environment_null,        // environment completion with S_OK and no environment
  controller_completion,   // controller completion with E_FAIL
  controller_null,         // controller completion with S_OK and no controller
  controller2,             // QueryInterface for ICoreWebView2Controller2 answers E_NOINTERFACE
  get_corewebview2,        // get_CoreWebView2 returns E_FAIL
  get_settings,            // get_Settings returns E_FAIL
  count
};

struct PageEvent {
  enum class Kind { navigate, message_string, message_json, wait };
  Kind kind;
  std::wstring text;        // the address or the message
  unsigned milliseconds{};  // for wait
};

struct Scenario {
  std::array<bool, static_cast<std::size_t>(Step::count)> failing{};
  std::vector<PageEvent> events;

  bool fails(Step step) const { return failing[static_cast<std::size_t>(step)]; }
};

struct LoadedScenario {
  Scenario scenario;
  std::wstring description;          // the Scenario line of the record
  std::optional<std::wstring> error;  // the first line that could not be understood
};

// Reads the file named by FAKE_WEBVIEW2_SCENARIO; no variable or no file means the default
// scenario, in which every step succeeds and no page event follows.
LoadedScenario load_scenario();

}  // namespace fake_runtime
