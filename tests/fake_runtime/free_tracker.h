// Tells whether the host gave back, with CoTaskMemFree, each string the fake handed it.
// It watches the COM task allocator through a registered IMallocSpy; when the spy cannot be
// registered the answer is "unknown" rather than a guess.
#pragma once

#include <string>
#include <vector>

namespace fake_runtime {

// Registers the spy once per process and records whether that worked.
void start_free_tracking();

// A copy of text in COM task memory, for an out parameter the host must free.
wchar_t* hand_out_string(const std::wstring& text);

// "1" every string handed out was freed, "0" at least one was not, "none" none was handed
// out, "unknown" freeing cannot be observed.
std::wstring freed_text(const std::vector<void*>& handed_out);

}  // namespace fake_runtime
