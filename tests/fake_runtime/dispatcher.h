// Delivers the fake runtime's completions and events the way the real runtime does: later,
// through the message loop of the thread that asked, never inside the call that asked.
#pragma once

#include <windows.h>

#include <functional>

namespace fake_runtime {

// Creates the message-only window on the calling thread the first time; false if that failed.
bool start_dispatcher();

// Each action runs alone from one posted message, in the order queued, so the host's loop
// handles its own messages between them. "Event queue empty" is recorded whenever the last
// queued action has run.
void enqueue(std::function<void()> action);

// Holds back the actions queued after it for the given time.
void enqueue_wait(unsigned milliseconds);

}  // namespace fake_runtime
